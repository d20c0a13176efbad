#include "editorpanel.h"

#include "editorpaneltable.h"
#include "fieldtable.h"
#include "fonts.h"
#include "paintcachestyle.h"
#include "panelframe.h"
#include "settingsbag.h"
#include "twips.h"
#include "ucupdownbox.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace {

QColor toColor(const panel::Rgb& rgb) { return {rgb.r, rgb.g, rgb.b}; }

bool isVertexFrame(const PanelFrame* frame)
{
    return frame->caption().startsWith(QLatin1String("Points"));
}

bool isClockSubFrame(const PanelFrame* frame) { return frame->caption().isEmpty(); }

// A dark desktop's text is pale. The grey level, not the lightness, tells a
// pale colour: yellow is as "light" as pure red.
bool onDarkDesktop() { return qGray(QGuiApplication::palette().color(QPalette::WindowText).rgb()) > 128; }

} // namespace

EditorPanel::EditorPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EditorPanel"));
    fonts::installSubstitutions();
    setFont(fonts::designFont(QStringLiteral("MS Sans Serif"), 8.25));
    // Font and palette are set before any child exists: set later, each
    // would be passed down to some 300 widgets.
    takeDesktopPalette();
    setAutoFillBackground(true);
    resize(twips::toPixels(panel::kPanelWidth, this), twips::toPixels(panel::kPanelHeight, this));
    buildFrames();
    buildClock();
    buildBoxes();
    buildTabOrder();
}

ucUpDownBox* EditorPanel::box(int number) const { return m_boxes.at(static_cast<std::size_t>(number - 1)); }

QLineEdit* EditorPanel::txt(int index) const { return m_txt.at(static_cast<std::size_t>(index)); }

// A white surface in the desktop's colours. A dark desktop's pale text
// (white, grey, or a high-contrast yellow) would vanish on the white, and its
// dark buttons and fields would look like holes in it: the panel is then drawn
// in the style's light colours.
void EditorPanel::takeDesktopPalette()
{
    m_onDarkDesktop = onDarkDesktop();
    QPalette sheet = QGuiApplication::palette();
    if (m_onDarkDesktop) {
        sheet = style()->standardPalette();
        sheet.setResolveMask(~QPalette::ResolveMask(0)); // every colour its own, none the desktop's
    }
    sheet.setColor(QPalette::Window, Qt::white);
    setPalette(sheet);
}

// A desktop that turns dark while the window is open. (One that turns light
// again leaves the panel in the style's light colours until the next start.)
void EditorPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && !m_onDarkDesktop && onDarkDesktop())
        takeDesktopPalette();
    QWidget::changeEvent(event);
}

PanelFrame* EditorPanel::frame(const QString& name) const
{
    return findChild<PanelFrame*>(name);
}

void EditorPanel::buildFrames()
{
    for (const panel::FrameSpec& entry : panel::kFrames) {
        QWidget* parent = entry.parent ? static_cast<QWidget*>(frame(QString::fromLatin1(entry.parent))) : this;
        Q_ASSERT(parent);
        const QColor captionColor =
            entry.captionColor ? toColor(*entry.captionColor) : palette().color(QPalette::WindowText);
        const QFont captionFont = fonts::designFont(
            entry.arialCaption ? QStringLiteral("Arial") : QStringLiteral("MS Sans Serif"), 8.25, true);
        auto* frame = new PanelFrame(entry.caption ? QString::fromLatin1(entry.caption) : QString(), captionColor,
                                     toColor(entry.background), captionFont, parent);
        frame->setObjectName(QString::fromLatin1(entry.name));
        frame->setGeometry(twips::toPixels(QRect(entry.left, entry.top, entry.width, entry.height), this));
    }
}

void EditorPanel::buildClock()
{
    PanelFrame* timeValue = frame(QStringLiteral("Frame15"));
    const QFont clockFont = fonts::designFont(QStringLiteral("Arial"), 12, true);
    for (const panel::ClockLabelSpec& entry : panel::kClockLabels) {
        auto* label = new QLabel(QString::fromLatin1(entry.text), timeValue);
        label->setObjectName(QString::fromLatin1(entry.name));
        label->setFont(clockFont);
        if (entry.color) {
            QPalette colours = label->palette();
            colours.setColor(QPalette::WindowText, toColor(*entry.color));
            label->setPalette(colours);
        }
        label->move(twips::toPixels(entry.left, this), twips::toPixels(panel::kClockTop, this));
        label->adjustSize();
    }
}

void EditorPanel::buildBoxes()
{
    const QFont boxFont = fonts::designFont(QStringLiteral("MS Sans Serif"), 8.25);
    for (const panel::BoxSpec& entry : panel::kBoxes) {
        PanelFrame* parent = frame(QString::fromLatin1(entry.frame));
        Q_ASSERT(parent);
        const int index = entry.number - 1;

        // The text field goes first, so that a hidden one lies under its box.
        auto* text = new QLineEdit(parent);
        text->setObjectName(QStringLiteral("txt_%1").arg(index));
        text->setAlignment(Qt::AlignCenter);
        const int textLeft = isVertexFrame(parent) ? 120 : 360;
        const int textHeight = index <= 15 ? 315 : 285;
        text->setGeometry(
            twips::toPixels(QRect(textLeft, entry.top, panel::kTextFieldWidth, textHeight), this));
        text->setEnabled(entry.textField == panel::TextFieldState::Hidden);
        text->setVisible(entry.textField == panel::TextFieldState::ShownDisabled);
        text->setStyle(PaintCacheStyle::instance());
        m_txt[static_cast<std::size_t>(index)] = text;

        auto* box = new ucUpDownBox(parent, boxFont);
        box->setObjectName(QStringLiteral("ucUpDownBox%1").arg(entry.number));
        // The stored settings: the range first, so that the box starts at 0
        // without announcing a change.
        SettingsBag stored;
        stored.write(QStringLiteral("min"), entry.min, 0);
        stored.write(QStringLiteral("max"), entry.max, 100);
        stored.write(QStringLiteral("font"), boxFont, QFont());
        box->restoreSettings(stored, font());
        const int width = entry.number == 7 ? panel::kWideBoxWidth : panel::kBoxWidth;
        box->setGeometry(twips::toPixels(QRect(entry.left, entry.top, width, panel::kBoxHeight), this));
        m_boxes[static_cast<std::size_t>(index)] = box;
        // What a screen reader says of the box: its group and row, as the
        // captions and labels show them to the eye.
        const std::string_view group = layout::fieldForTextField(index).group;
        box->txtValue()->setAccessibleName(QString::fromUtf8(group.data(), qsizetype(group.size())));

        connect(box, &ucUpDownBox::Change, text, [box, text] { text->setText(QString::number(box->Value())); });

        if (entry.row == panel::Row::X || entry.row == panel::Row::Y) {
            auto* label = new QLabel(entry.row == panel::Row::X ? QStringLiteral("X") : QStringLiteral("Y"), parent);
            label->setObjectName(QStringLiteral("%1_%2").arg(parent->objectName(), label->text()));
            label->setGeometry(twips::toPixels(
                QRect(panel::kRowLabelLeft, entry.top, panel::kRowLabelWidth, panel::kRowLabelHeight), this));
            if (isClockSubFrame(parent)) {
                QPalette colours = label->palette();
                colours.setColor(QPalette::WindowText, Qt::white);
                label->setPalette(colours);
                if (parent->objectName() == QLatin1String("Frame26"))
                    label->setFont(fonts::designFont(QStringLiteral("Arial"), 8.25));
            }
        }
    }
}

void EditorPanel::buildTabOrder()
{
    // The focus goes to each box's text field; the bar takes none.
    auto input = [this](int number) { return box(number)->findChild<QLineEdit*>(QStringLiteral("txtValue")); };
    for (std::size_t i = 1; i < panel::kTabOrder.size(); ++i)
        setTabOrder(input(panel::kTabOrder[i - 1]), input(panel::kTabOrder[i]));
    // Round again from the last box to the first, past nothing else.
    setTabOrder(input(panel::kTabOrder.back()), input(panel::kTabOrder.front()));
}
