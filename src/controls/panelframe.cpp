#include "panelframe.h"

#include "outline.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtMath>

PanelFrame::PanelFrame(const QString& caption, const QColor& captionColor, const QColor& background,
                       const QFont& font, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_captionText(caption), m_captionColor(captionColor),
      m_background(background)
{
    m_captionText.setTextFormat(Qt::PlainText);
    setFont(font);
    setAutoFillBackground(false);
    // It paints every one of its pixels, so what lies under it is not
    // painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    const QFontMetrics metrics(font());
    const int top = m_caption.isEmpty() ? 0 : metrics.height() / 2;
    // An etched border: a grey line with a white one beside it.
    const QRect border = rect().adjusted(0, top, 0, 0);
    fillOutline(painter, border, QColor(160, 160, 160));
    fillOutline(painter, border.translated(1, 1), Qt::white);
    if (m_caption.isEmpty())
        return;
    // The caption sits on the top edge, on the frame's own background.
    if (m_captionFont != font()) {
        m_captionFont = font();
        m_captionText.prepare(QTransform(), m_captionFont);
    }
    const QRect text(8, 0, qRound(m_captionText.size().width()) + 4, metrics.height());
    painter.fillRect(text, m_background);
    painter.setPen(m_captionColor);
    painter.drawStaticText(text.topLeft() + QPoint(2, 0), m_captionText);
}
