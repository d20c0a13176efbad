#pragma once

#include "settingsbag.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QtGlobal>

class QLineEdit;
class QPalette;
class QScrollBar;

// A whole-number box: a text field ("txtValue") with a small up/down scroll
// bar ("ucBar") beside it.
//
// The value and the text need not agree. Every change of the text, whoever
// makes it, runs the text rule: a non-numeric text makes the value 0 without a
// Change; a number within Min..Max (compared before rounding) becomes the
// value, rounded half-to-even; a number outside the range is left in the text
// and the value stays. Change() is raised when the text rule moves the value,
// and on every step of the bar or of the Up/Down keys, even at a limit.
//
// Colours are stored as 32-bit numbers: with the top bit set, the low byte
// names a system colour (0x80000005 window background, 0x80000008 window text);
// otherwise the number is 0x00BBGGRR.
//
// The container calls restoreSettings() right after creating the box and
// saveSettings() when storing its layout.
class ucUpDownBox : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    static constexpr quint32 SystemWindowBackground = 0x80000005u;
    static constexpr quint32 SystemWindowText = 0x80000008u;

    explicit ucUpDownBox(QWidget* parent = nullptr);
    // Starts with this font instead of the container's; the container's
    // stays the default that saveSettings() leaves out.
    ucUpDownBox(QWidget* parent, const QFont& font);

    // Text alignment in the field: 0 left, 1 right, 2 centre.
    // Throws std::overflow_error for a value outside the 16-bit range and
    // std::invalid_argument for any other value outside 0..2.
    int Alignment() const { return m_alignment; }
    void setAlignment(int New_Alignment);

    // Sets the surface background, then the text field's background.
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 New_BackColor);

    // 0 none, 1 fixed single. Throws std::overflow_error for a value outside
    // the 16-bit range and std::invalid_argument for any other value.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int New_BorderStyle);

    // Enables the text field, then the bar, then the surface. Hides
    // QWidget::setEnabled on purpose: it does the same thing, in that order.
    // Whether the box itself is switched on, whatever its container does.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    void setEnabled(bool New_Enabled);

    // Gives the font to the text field, then to the surface, then lays the
    // children out again (the height follows the font). Hides QWidget::setFont.
    QFont Font() const { return m_font; }
    void setFont(const QFont& New_Font);

    // The text field's text colour.
    quint32 ForeColor() const { return m_foreColor; }
    void setForeColor(quint32 New_ForeColor);

    // The range is only stored; neither the value nor the text changes.
    int Max() const { return m_max; }
    void setMax(int New_Max);
    int Min() const { return m_min; }
    void setMin(int New_Min);

    // Brings the number into Min..Max (Max wins when Min > Max) and writes it
    // into the text field; the value follows through the text rule, which only
    // runs when the text actually changes.
    int Value() const { return m_value; }
    void setValue(int New_Value);

    // Reads every setting (names in any case), missing ones at their default;
    // the default font is the container's. The saved value is written into the
    // text as it is, so the text rule judges it against the restored range.
    // A stored Alignment or BorderStyle out of range throws as its setter does.
    void restoreSettings(const SettingsBag& bag, const QFont& ambientFont);

    // The settings that differ from their defaults, in saving order. The
    // default font is the one last given to restoreSettings(), or the font the
    // box inherited when it was created.
    SettingsBag saveSettings() const;

    // The inner text field, which the value and its text live in.
    QLineEdit* txtValue() const { return m_txt; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The colour a stored colour number stands for: a system colour is
    // taken from `system`.
    static QColor toColor(quint32 storedColor, const QPalette& system);

signals:
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QColor shownColor(quint32 storedColor) const;
    void build();
    void onTextChanged(const QString& text);
    void onBarValueChanged(int barValue);
    void setBarPosition(int position);
    void writeValueText(int value);
    void applySurfaceBackColor(quint32 color);
    void applyTextBackColor(quint32 color);
    void applyForeColor(quint32 color);
    void applyTextFont(const QFont& font);
    void applySurfaceFont(const QFont& font);
    void layoutChildren();
    int innerHeight() const;

    QLineEdit* m_txt = nullptr;
    QScrollBar* m_bar = nullptr;
    int m_barWidth = 0;

    int m_alignment = 0;
    quint32 m_backColor = SystemWindowBackground;
    int m_borderStyle = 1;
    QFont m_font;
    QFont m_ambientFont;
    quint32 m_foreColor = SystemWindowText;
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_value = 0;
};
