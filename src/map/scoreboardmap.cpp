#include "scoreboardmap.h"

#include "editorpanel.h"
#include "layouthistory.h"
#include "mapcanvas.h"

#include <QAction>
#include <QDir>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

using arrange::Alignment;

ScoreboardMap::ScoreboardMap(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history,
                             std::function<QString()> chooseImage, QWidget* parent)
    : QWidget(parent, Qt::Window), m_canvas(new MapCanvas(panel, baza, history)),
      m_chooseImage(std::move(chooseImage))
{
    setObjectName(QStringLiteral("ScoreboardMap"));
    setWindowTitle(QStringLiteral("Scoreboard Map"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("mapStatus"));
    m_status->setSizePolicy(QSizePolicy::Ignored,
                            QSizePolicy::Preferred); // a long hint does not widen the window
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildTools());
    layout->addWidget(buildBackdropRow());
    layout->addWidget(m_canvas, 1);
    layout->addWidget(m_status);
    // Wide enough for a scoreboard, which is a strip across the game's screen.
    const QSize screen = this->screen()->availableGeometry().size();
    resize(std::min(screen.width() * 9 / 10, 1600), std::min(screen.height() * 7 / 10, 900));

    // Any change of the record shows at once: the store pass after every
    // text field change, and whole states put back.
    for (int k = 0; k < layout::kFieldCount; ++k)
        connect(panel.txt(k), &QLineEdit::textChanged, m_canvas, &MapCanvas::refresh);
    connect(&history, &editing::LayoutHistory::changed, this, [this] { m_canvas->refresh(), showStatus(); });
    connect(m_canvas, &MapCanvas::changed, this, &ScoreboardMap::showStatus);
    connect(m_canvas, &MapCanvas::backdropChanged, this, &ScoreboardMap::showBackdrop);
    showStatus();
    showBackdrop();
    m_canvas->setFocus();
}

QToolBar* ScoreboardMap::buildTools()
{
    auto* tools = new QToolBar;
    tools->setObjectName(QStringLiteral("mapTools"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [this, tools](const char* name, const QString& text, const QString& shortText,
                                   auto act) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setIconText(shortText);
        connect(action, &QAction::triggered, m_canvas, act);
        tools->addAction(action);
        m_canvas->addAction(action); // the context menu
        return action;
    };
    QAction* fit = add("fitAction", QStringLiteral("Fit"), QStringLiteral("Fit"), &MapCanvas::fit);
    fit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    tools->addSeparator();
    const std::array<std::tuple<const char*, const char*, const char*, Alignment>, 6> aligns{{
        {"alignLeftAction", "Align Left", "Left", Alignment::Left},
        {"alignRightAction", "Align Right", "Right", Alignment::Right},
        {"alignTopAction", "Align Top", "Top", Alignment::Top},
        {"alignBottomAction", "Align Bottom", "Bottom", Alignment::Bottom},
        {"alignHorizontalCentreAction", "Align Horizontal Centres (same X)", "Centre X",
         Alignment::HorizontalCentre},
        {"alignVerticalCentreAction", "Align Vertical Centres (same Y)", "Centre Y",
         Alignment::VerticalCentre},
    }};
    for (const auto& [name, text, shortText, alignment] : aligns)
        m_aligns << add(name, QLatin1String(text), QLatin1String(shortText),
                        [this, a = alignment] { m_canvas->align(a); });
    tools->addSeparator();
    m_distributes << add("distributeHorizontallyAction", QStringLiteral("Distribute Horizontally"),
                         QStringLiteral("Spread X"), [this] { m_canvas->distribute(Qt::Horizontal); })
                  << add("distributeVerticallyAction", QStringLiteral("Distribute Vertically"),
                         QStringLiteral("Spread Y"), [this] { m_canvas->distribute(Qt::Vertical); });
    m_canvas->setContextMenuPolicy(Qt::ActionsContextMenu);
    return tools;
}

QWidget* ScoreboardMap::buildBackdropRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choose = new QPushButton(QStringLiteral("Backdrop..."));
    choose->setObjectName(QStringLiteral("backdropButton"));
    choose->setFocusPolicy(Qt::NoFocus); // Tab belongs to the map's handles
    connect(choose, &QPushButton::clicked, this, &ScoreboardMap::chooseBackdrop);
    auto* chooseByKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this);
    chooseByKey->setObjectName(QStringLiteral("backdropShortcut"));
    connect(chooseByKey, &QShortcut::activated, this, &ScoreboardMap::chooseBackdrop);
    layout->addWidget(choose);

    // Where the image's top-left corner lies and how large it is drawn, in
    // game pixels, and how strongly.
    m_backdropFields = new QWidget;
    auto* fields = new QHBoxLayout(m_backdropFields);
    fields->setContentsMargins(0, 0, 0, 0);
    const auto field = [fields](auto* box, const char* name, const char* caption, double low, double high) {
        box->setObjectName(QLatin1String(name));
        box->setRange(low, high);
        box->setKeyboardTracking(false);
        fields->addWidget(new QLabel(QLatin1String(caption)));
        fields->addWidget(box);
        return box;
    };
    m_backdropX = field(new QDoubleSpinBox, "backdropX", "X", -99999, 99999);
    m_backdropY = field(new QDoubleSpinBox, "backdropY", "Y", -99999, 99999);
    m_backdropScale = field(new QDoubleSpinBox, "backdropScale", "Scale", 1, 1000);
    m_backdropScale->setSuffix(QStringLiteral(" %"));
    m_backdropOpacity = field(new QSpinBox, "backdropOpacity", "Opacity", 0, 100);
    m_backdropOpacity->setSuffix(QStringLiteral(" %"));
    for (QDoubleSpinBox* box : {m_backdropX, m_backdropY, m_backdropScale}) {
        box->setDecimals(1);
        connect(box, &QDoubleSpinBox::valueChanged, this, &ScoreboardMap::placeBackdrop);
    }
    connect(m_backdropOpacity, &QSpinBox::valueChanged, this, &ScoreboardMap::placeBackdrop);
    auto* clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("backdropClear"));
    connect(clear, &QPushButton::clicked, m_canvas, &MapCanvas::clearBackdrop);
    fields->addWidget(clear);
    layout->addWidget(m_backdropFields);
    layout->addStretch(1);
    return row;
}

void ScoreboardMap::setGameFile(const QString& path)
{
    if (path == m_gameFile)
        return;
    // A backdrop put up before any game file was open goes with the first one
    // opened, unless that file has one of its own.
    const bool carried =
        m_gameFile.isEmpty() && !m_canvas->backdrop().isNull() && !Backdrop::isRemembered(path);
    m_gameFile = path;
    if (carried)
        showBackdrop(); // and remembered for this file
    else
        m_canvas->recallBackdrop(path);
    m_canvas->fit();
}

void ScoreboardMap::chooseBackdrop()
{
    const QString path = m_chooseImage();
    QString why;
    if (!path.isEmpty() && !m_canvas->loadBackdrop(path, &why))
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("%1 cannot be shown under the map: %2").arg(QDir::toNativeSeparators(path), why));
}

void ScoreboardMap::placeBackdrop()
{
    m_canvas->setBackdropPlacement({QPointF(m_backdropX->value(), m_backdropY->value()),
                                    m_backdropScale->value(), m_backdropOpacity->value()});
}

void ScoreboardMap::showBackdrop()
{
    const Backdrop& backdrop = m_canvas->backdrop();
    m_backdropFields->setEnabled(!backdrop.isNull());
    const Backdrop::Placement& placement = backdrop.placement();
    const QSignalBlocker x(m_backdropX), y(m_backdropY), scale(m_backdropScale), opacity(m_backdropOpacity);
    m_backdropX->setValue(placement.at.x());
    m_backdropY->setValue(placement.at.y());
    m_backdropScale->setValue(placement.scalePercent);
    m_backdropOpacity->setValue(placement.opacityPercent);
    backdrop.remember(m_gameFile);
}

void ScoreboardMap::showStatus()
{
    m_status->setText(m_canvas->status());
    const qsizetype selected = m_canvas->selection().size();
    for (QAction* align : m_aligns)
        align->setEnabled(selected >= 2);
    for (QAction* distribute : m_distributes)
        distribute->setEnabled(selected >= 3);
}
