#include "scoreboardmap.h"

#include "editorpanel.h"
#include "layouthistory.h"
#include "mapcanvas.h"

#include <QDir>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

ScoreboardMap::ScoreboardMap(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history,
                             std::function<QString()> chooseImage, QWidget* parent)
    : QWidget(parent, Qt::Window), m_canvas(new MapCanvas(panel, baza, history)),
      m_chooseImage(std::move(chooseImage))
{
    setObjectName(QStringLiteral("ScoreboardMap"));
    setWindowTitle(QStringLiteral("Scoreboard Map"));
    auto* backdrop = new QPushButton(QStringLiteral("Backdrop..."));
    backdrop->setObjectName(QStringLiteral("backdropButton"));
    backdrop->setFocusPolicy(Qt::NoFocus); // Tab belongs to the map's handles
    connect(backdrop, &QPushButton::clicked, this, &ScoreboardMap::chooseBackdrop);
    auto* hint = new QLabel(QStringLiteral("Drag a marker or a corner, or select one with Tab and move it with the "
                                           "arrow keys (with Shift by ten). Ctrl+wheel or Ctrl+plus and minus zoom. "
                                           "Ctrl+B chooses a backdrop."));
    hint->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(backdrop);
    top->addWidget(hint, 1);
    // The button takes no focus, for Tab belongs to the map's handles.
    auto* chooseByKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this);
    chooseByKey->setObjectName(QStringLiteral("backdropShortcut"));
    connect(chooseByKey, &QShortcut::activated, this, &ScoreboardMap::chooseBackdrop);
    auto* scroll = new QScrollArea;
    // The game's screen reads from the left on every desktop; mirrored
    // scrolling would hide the handles Tab selects.
    scroll->setLayoutDirection(Qt::LeftToRight);
    scroll->setWidget(m_canvas);
    connect(m_canvas, &MapCanvas::selectionMoved, scroll,
            [scroll](QPoint at) { scroll->ensureVisible(at.x(), at.y(), 60, 60); });
    scroll->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scroll, 1);
    resize(900, 600);

    // Any change of the record shows at once: the store pass after every
    // text field change, and whole states put back.
    for (int k = 0; k < layout::kFieldCount; ++k)
        connect(panel.txt(k), &QLineEdit::textChanged, m_canvas, &MapCanvas::refresh);
    connect(&history, &editing::LayoutHistory::changed, m_canvas, &MapCanvas::refresh);
    m_canvas->setFocus();
}

void ScoreboardMap::chooseBackdrop()
{
    const QString path = m_chooseImage();
    if (path.isEmpty())
        return;
    QImageReader reader(path);
    const QByteArray format = reader.format(); // by what the file holds, not by its name
    const QImage image = reader.read();
    if (image.isNull() || (format != "png" && format != "jpeg")) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("%1 cannot be shown under the map: %2")
                                 .arg(QDir::toNativeSeparators(path),
                                      image.isNull() ? reader.errorString()
                                                     : QStringLiteral("it is not a PNG or JPEG image")));
        return;
    }
    m_canvas->setBackdrop(image);
}
