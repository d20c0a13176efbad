#pragma once

#include <QRect>
#include <QWidget>

// The window is drawn in twips (1/1440 inch); widgets are placed in pixels.
namespace twips {

inline double perPixel(const QWidget* widget) { return 1440.0 / widget->logicalDpiX(); }

inline int toPixels(int twipValue, const QWidget* widget)
{
    return qRound(twipValue / perPixel(widget));
}

inline QRect toPixels(const QRect& twipRect, const QWidget* widget)
{
    return {toPixels(twipRect.x(), widget), toPixels(twipRect.y(), widget), toPixels(twipRect.width(), widget),
            toPixels(twipRect.height(), widget)};
}

} // namespace twips
