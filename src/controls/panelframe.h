#pragma once

#include <QColor>
#include <QStaticText>
#include <QWidget>

// A captioned group frame: a filled background, an etched border and a
// caption set into the top edge. A frame without a caption is a plain
// coloured area.
class PanelFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption)
public:
    PanelFrame(const QString& caption, const QColor& captionColor, const QColor& background, const QFont& font,
               QWidget* parent);

    const QString& caption() const { return m_caption; }
    const QColor& captionColor() const { return m_captionColor; }
    const QColor& background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    // Laid out once per font: its width and its glyphs come from one shaping.
    QStaticText m_captionText;
    QFont m_captionFont;
    QColor m_captionColor;
    QColor m_background;
};
