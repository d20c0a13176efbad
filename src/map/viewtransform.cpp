#include "viewtransform.h"

#include <algorithm>

ViewTransform ViewTransform::fitting(const QRectF& content, const QRectF& target, double maxScale)
{
    const double scale = std::min({target.width() / std::max(content.width(), 1.0),
                                   target.height() / std::max(content.height(), 1.0), maxScale});
    return {scale, target.center() - content.center() * scale};
}

QRectF contentBounds(const maphandles::Points& points, maphandles::View view)
{
    const QPointF first = points[std::size_t(maphandles::firstOf(view))];
    QRectF bounds(first, first);
    for (int h = maphandles::firstOf(view); h < maphandles::endOf(view); ++h) {
        const QPointF p = points[std::size_t(h)];
        bounds.setCoords(std::min(bounds.left(), p.x()), std::min(bounds.top(), p.y()),
                         std::max(bounds.right(), p.x()), std::max(bounds.bottom(), p.y()));
    }
    return bounds;
}

std::array<QRectF, 2> splitViews(const QRectF& area, double gap)
{
    const double left = (area.width() - gap) * 2 / 3;
    return {QRectF(area.left(), area.top(), left, area.height()),
            QRectF(area.left() + left + gap, area.top(), area.width() - left - gap, area.height())};
}
