#include "panelframe.h"

#include <QFontMetrics>
#include <QPainter>

PanelFrame::PanelFrame(const QString& caption, const QColor& captionColor, const QColor& background,
                       const QFont& font, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_captionColor(captionColor), m_background(background)
{
    setFont(font);
    setAutoFillBackground(false);
}

void PanelFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    const QFontMetrics metrics(font());
    const int top = m_caption.isEmpty() ? 0 : metrics.height() / 2;
    const QRect border = rect().adjusted(0, top, -1, -1);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(border);
    painter.setPen(Qt::white);
    painter.drawRect(border.adjusted(1, 1, 1, 1));
    if (m_caption.isEmpty())
        return;
    // The caption sits on the top edge, on the frame's own background.
    const QRect text(8, 0, metrics.horizontalAdvance(m_caption) + 4, metrics.height());
    painter.fillRect(text, m_background);
    painter.setPen(m_captionColor);
    painter.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}
