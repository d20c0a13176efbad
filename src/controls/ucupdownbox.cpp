#include "ucupdownbox.h"

#include "numbertext.h"
#include "outline.h"
#include "paintcachestyle.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>

#include <array>
#include <limits>
#include <stdexcept>
#include <string>

namespace
{

// Palette roles for the system colour indices Windows uses (the low byte of a
// stored colour with the top bit set).
constexpr std::array<QPalette::ColorRole, 25> systemColorRoles = {
    QPalette::Button,          // 0 scroll bar
    QPalette::Window,          // 1 desktop
    QPalette::Highlight,       // 2 active caption
    QPalette::Window,          // 3 inactive caption
    QPalette::Window,          // 4 menu
    QPalette::Base,            // 5 window background
    QPalette::Shadow,          // 6 window frame
    QPalette::WindowText,      // 7 menu text
    QPalette::Text,            // 8 window text
    QPalette::HighlightedText, // 9 caption text
    QPalette::Window,          // 10 active border
    QPalette::Window,          // 11 inactive border
    QPalette::Mid,             // 12 application workspace
    QPalette::Highlight,       // 13 highlight
    QPalette::HighlightedText, // 14 highlighted text
    QPalette::Button,          // 15 button face
    QPalette::Dark,            // 16 button shadow
    QPalette::PlaceholderText, // 17 grey text
    QPalette::ButtonText,      // 18 button text
    QPalette::WindowText,      // 19 inactive caption text
    QPalette::Light,           // 20 button highlight
    QPalette::Shadow,          // 21 dark 3D shadow
    QPalette::Midlight,        // 22 3D light
    QPalette::ToolTipText,     // 23 tooltip text
    QPalette::ToolTipBase,     // 24 tooltip background
};

// Both checks a 16-bit property performs on the int it is given.
void checkSixteenBits(int value, const char* what)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw std::overflow_error(std::string(what) + ": value does not fit 16 bits");
}

Qt::Alignment textAlignment(int alignment)
{
    switch (alignment) {
    case 1:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 2:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
        return true;
    default:
        return false;
    }
}

// A key press that types a character: it carries text and is neither a
// navigation key nor a shortcut such as Ctrl+V (Ctrl together with Alt is
// AltGr on some keyboards and still types).
bool typesCharacter(const QKeyEvent& key)
{
    if (key.text().isEmpty() || isNavigationKey(key.key()))
        return false;
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    const bool shortcut =
        (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier);
    return !shortcut;
}

// Undo and redo belong to the window's commands, not to the text field's
// own little history of typing.
bool isUndoOrRedo(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           key.keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

bool isAllowedCharacter(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Backspace)
        return true;
    const QString text = key.text();
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

} // namespace

ucUpDownBox::ucUpDownBox(QWidget* parent) : QFrame(parent)
{
    m_ambientFont = QFrame::font();
    build();
}

ucUpDownBox::ucUpDownBox(QWidget* parent, const QFont& font) : QFrame(parent)
{
    m_ambientFont = QFrame::font();
    // Set before the children exist, so that they are made with it rather
    // than made and then laid out again.
    QFrame::setFont(font);
    build();
}

void ucUpDownBox::build()
{
    m_barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);

    m_txt = new QLineEdit(this);
    m_txt->setObjectName(QStringLiteral("txtValue"));
    m_txt->setFrame(false); // the box draws the border
    // What is dropped on a box is the window's: a file's name is never typed in.
    m_txt->setAcceptDrops(false);
    m_txt->installEventFilter(this);
    setFocusProxy(m_txt);

    m_bar = new QScrollBar(Qt::Vertical, this);
    m_bar->setStyle(PaintCacheStyle::instance());
    m_bar->setObjectName(QStringLiteral("ucBar"));
    m_bar->setRange(-1, 1);
    m_bar->setSingleStep(1);
    m_bar->setPageStep(1);
    m_bar->setValue(0);
    m_bar->setFocusPolicy(Qt::NoFocus); // typing stays in the text field

    connect(m_txt, &QLineEdit::textChanged, this, &ucUpDownBox::onTextChanged);
    connect(m_bar, &QScrollBar::valueChanged, this, &ucUpDownBox::onBarValueChanged);

    setAutoFillBackground(true);
    applySurfaceBackColor(m_backColor);
    setBorderStyle(m_borderStyle);
    setAlignment(m_alignment);
    applyTextBackColor(m_backColor);
    applyForeColor(m_foreColor);
    setFont(QFrame::font());
    writeValueText(m_value);
}

void ucUpDownBox::setAlignment(int New_Alignment)
{
    checkSixteenBits(New_Alignment, "Alignment");
    if (New_Alignment < 0 || New_Alignment > 2)
        throw std::invalid_argument("Alignment: 0 (left), 1 (right) or 2 (centre) expected");
    m_alignment = New_Alignment;
    m_txt->setAlignment(textAlignment(m_alignment));
}

void ucUpDownBox::setBackColor(quint32 New_BackColor)
{
    m_backColor = New_BackColor;
    applySurfaceBackColor(New_BackColor);
    applyTextBackColor(New_BackColor);
}

void ucUpDownBox::setBorderStyle(int New_BorderStyle)
{
    checkSixteenBits(New_BorderStyle, "BorderStyle");
    if (New_BorderStyle != 0 && New_BorderStyle != 1)
        throw std::invalid_argument("BorderStyle: 0 (none) or 1 (fixed single) expected");
    m_borderStyle = New_BorderStyle;
    if (m_borderStyle == 0) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    // The frame width changed, and with it the outer size the inner line needs.
    layoutChildren();
}

void ucUpDownBox::setEnabled(bool New_Enabled)
{
    m_txt->setEnabled(New_Enabled);
    m_bar->setEnabled(New_Enabled);
    QFrame::setEnabled(New_Enabled);
}

void ucUpDownBox::setFont(const QFont& New_Font)
{
    m_font = New_Font;
    applyTextFont(New_Font);
    applySurfaceFont(New_Font);
    layoutChildren();
}

void ucUpDownBox::setForeColor(quint32 New_ForeColor)
{
    m_foreColor = New_ForeColor;
    applyForeColor(New_ForeColor);
}

void ucUpDownBox::setMax(int New_Max)
{
    m_max = New_Max;
}

void ucUpDownBox::setMin(int New_Min)
{
    m_min = New_Min;
}

void ucUpDownBox::setValue(int New_Value)
{
    qint32 value = New_Value;
    if (value < m_min)
        value = m_min;
    if (value > m_max)
        value = m_max;
    writeValueText(value);
}

void ucUpDownBox::restoreSettings(const SettingsBag& bag, const QFont& ambientFont)
{
    m_ambientFont = ambientFont;

    const quint32 backColor = bag.read(QStringLiteral("BackColor"), SystemWindowBackground).toUInt();
    applySurfaceBackColor(backColor);
    if (const int borderStyle = bag.read(QStringLiteral("BorderStyle"), 1).toInt(); borderStyle != m_borderStyle)
        setBorderStyle(borderStyle);
    if (const bool enabled = bag.read(QStringLiteral("Enabled"), true).toBool(); enabled != Enabled())
        QFrame::setEnabled(enabled);
    const QFont font = bag.read(QStringLiteral("Font"), QVariant::fromValue(ambientFont)).value<QFont>();
    applySurfaceFont(font);
    if (const int alignment = bag.read(QStringLiteral("Alignment"), 0).toInt(); alignment != m_alignment)
        setAlignment(alignment);
    m_backColor = backColor;
    applyTextBackColor(backColor);
    setForeColor(bag.read(QStringLiteral("ForeColor"), SystemWindowText).toUInt());
    m_font = font;
    applyTextFont(font);
    layoutChildren();
    m_min = bag.read(QStringLiteral("Min"), 0).toInt();
    m_max = bag.read(QStringLiteral("Max"), 100).toInt();
    // Not brought into range: the text rule decides whether the value follows.
    writeValueText(bag.read(QStringLiteral("Value"), 0).toInt());
}

SettingsBag ucUpDownBox::saveSettings() const
{
    SettingsBag bag;
    bag.write(QStringLiteral("Alignment"), m_alignment, 0);
    bag.write(QStringLiteral("BackColor"), QVariant::fromValue(m_backColor),
              QVariant::fromValue(SystemWindowBackground));
    bag.write(QStringLiteral("BorderStyle"), m_borderStyle, 1);
    bag.write(QStringLiteral("ForeColor"), QVariant::fromValue(m_foreColor),
              QVariant::fromValue(SystemWindowText));
    bag.write(QStringLiteral("Enabled"), Enabled(), true);
    bag.write(QStringLiteral("Font"), QVariant::fromValue(m_font), QVariant::fromValue(m_ambientFont));
    bag.write(QStringLiteral("Min"), m_min, 0);
    bag.write(QStringLiteral("Max"), m_max, 100);
    bag.write(QStringLiteral("Value"), m_value, 0);
    return bag;
}

QSize ucUpDownBox::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int textWidth = QFontMetrics(m_font).horizontalAdvance(QStringLiteral("-00000")) + 4;
    const int innerWidth = qMax(2 * m_barWidth, textWidth + 1 + m_barWidth);
    return {innerWidth + margins.left() + margins.right(), innerHeight() + margins.top() + margins.bottom()};
}

QSize ucUpDownBox::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    return {2 * m_barWidth + margins.left() + margins.right(),
            innerHeight() + margins.top() + margins.bottom()};
}

QColor ucUpDownBox::toColor(quint32 storedColor, const QPalette& system)
{
    if (storedColor & 0x80000000u) {
        const quint32 index = storedColor & 0xFFu;
        const QPalette::ColorRole role =
            index < systemColorRoles.size() ? systemColorRoles[index] : QPalette::Window;
        return system.color(QPalette::Active, role);
    }
    return QColor(static_cast<int>(storedColor & 0xFFu), static_cast<int>((storedColor >> 8) & 0xFFu),
                  static_cast<int>((storedColor >> 16) & 0xFFu));
}

bool ucUpDownBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_txt)
        return QFrame::eventFilter(watched, event);

    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        isUndoOrRedo(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            key->accept();
            setBarPosition(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
        if (typesCharacter(*key) && !isAllowedCharacter(*key)) {
            // Kept from the field. A control character (Return, Escape) is
            // left unaccepted so the window still sees it, e.g. for its
            // default and cancel buttons.
            const QChar first = key->text().front();
            if (first.isPrint())
                key->accept();
            else
                key->ignore();
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        // Queued so it comes after the line edit's own focus handling and the
        // mouse press that gave the focus, which would otherwise place the
        // cursor and drop the selection.
        QMetaObject::invokeMethod(m_txt, &QLineEdit::selectAll, Qt::QueuedConnection);
    }
    return QFrame::eventFilter(watched, event);
}

void ucUpDownBox::paintEvent(QPaintEvent* event)
{
    if (m_borderStyle == 0)
        return QFrame::paintEvent(event);
    // The plain single line QFrame would draw, in the text colour.
    QPainter painter(this);
    fillOutline(painter, frameRect(), palette().color(foregroundRole()));
}

void ucUpDownBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    layoutChildren();
}

void ucUpDownBox::onTextChanged(const QString& text)
{
    if (!numbertext::isNumeric(text)) {
        m_value = 0;
        return;
    }
    const qint32 old = m_value;
    const double number = *numbertext::toDouble(text);
    // The range is checked before rounding: 100.5 is refused with Max 100.
    if (number >= static_cast<double>(m_min) && number <= static_cast<double>(m_max))
        m_value = static_cast<qint32>(numbertext::roundHalfEven(number));
    if (m_value != old)
        emit Change();
}

void ucUpDownBox::onBarValueChanged(int barValue)
{
    const int position = -barValue; // the bar's top end is +1
    if (position == 0)
        return;
    if (position > 0 && m_value < m_max)
        ++m_value;
    else if (position < 0 && m_value > m_min)
        --m_value;
    m_bar->setValue(0); // comes back here with position 0
    writeValueText(m_value);
    m_txt->selectAll();
    emit Change();
}

// Positions run from +1 at the bar's top end to -1 at its bottom end, while
// QScrollBar has its minimum at the top; the top arrow thus gives +1.
void ucUpDownBox::setBarPosition(int position)
{
    m_bar->setValue(-position);
}

void ucUpDownBox::writeValueText(int value)
{
    const QString text = numbertext::fromInt(value);
    if (m_txt->text() != text)
        m_txt->setText(text);
}

// System colours are those of the container, which may draw itself in other
// colours than the desktop's.
QColor ucUpDownBox::shownColor(quint32 storedColor) const
{
    return toColor(storedColor, parentWidget() ? parentWidget()->palette() : QGuiApplication::palette());
}

// Each of these leaves a widget alone when it already holds what is asked as
// its own: a palette or font set on a widget is passed down to its children,
// which lay themselves out again, and a panel of 44 boxes pays for each.
void ucUpDownBox::applySurfaceBackColor(quint32 color)
{
    const QColor wanted = shownColor(color);
    if (testAttribute(Qt::WA_SetPalette) && palette().color(QPalette::Window) == wanted)
        return;
    QPalette surface = palette();
    surface.setColor(QPalette::Window, wanted);
    QFrame::setPalette(surface);
}

void ucUpDownBox::applyTextBackColor(quint32 color)
{
    const QColor wanted = shownColor(color);
    if (m_txt->testAttribute(Qt::WA_SetPalette) && m_txt->palette().color(QPalette::Base) == wanted)
        return;
    QPalette field = m_txt->palette();
    field.setColor(QPalette::Base, wanted);
    m_txt->setPalette(field);
}

void ucUpDownBox::applyForeColor(quint32 color)
{
    const QColor wanted = shownColor(color);
    QPalette field = m_txt->palette();
    if (m_txt->testAttribute(Qt::WA_SetPalette) && field.color(QPalette::Active, QPalette::Text) == wanted &&
        field.color(QPalette::Inactive, QPalette::Text) == wanted)
        return;
    // Disabled text keeps the style's grey.
    field.setColor(QPalette::Active, QPalette::Text, wanted);
    field.setColor(QPalette::Inactive, QPalette::Text, wanted);
    m_txt->setPalette(field);
}

// The field may take the font from the surface, whose font is always its own
// once setFont() or restoreSettings() has run.
void ucUpDownBox::applyTextFont(const QFont& font)
{
    if (m_txt->font() != font)
        m_txt->setFont(font);
}

void ucUpDownBox::applySurfaceFont(const QFont& font)
{
    if (testAttribute(Qt::WA_SetFont) && QFrame::font() == font)
        return;
    QFrame::setFont(font);
}

int ucUpDownBox::innerHeight() const
{
    return QFontMetrics(m_font).height() + 4;
}

// The inner height is always one text line plus 4, whatever the container
// asks; the inner width is at least two bar widths. Fixing the height and the
// minimum width lets QWidget clamp every resize, so no resize loop arises.
void ucUpDownBox::layoutChildren()
{
    const QMargins margins = contentsMargins();
    const int inner = innerHeight();
    setFixedHeight(inner + margins.top() + margins.bottom());
    setMinimumWidth(2 * m_barWidth + margins.left() + margins.right());

    const QRect contents = contentsRect();
    const int innerWidth = qMax(contents.width(), 2 * m_barWidth);
    m_txt->setGeometry(contents.x() + 1, contents.y() + 1, innerWidth - m_barWidth - 1, inner);
    m_bar->setGeometry(contents.x() + m_txt->width() + 1, contents.y(), m_barWidth, inner);
}
