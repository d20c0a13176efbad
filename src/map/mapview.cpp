#include "mapview.h"

#include "layoutdrawing.h"

#include <algorithm>

void MapView::fit(const QRectF& content)
{
    const double margin = mapdrawing::kFitMargin;
    transform = ViewTransform::fitting(content, rect.adjusted(margin, margin, -margin, -margin));
    fitted = true;
}

void MapView::zoomAbout(double factor, QPointF at)
{
    const QPointF game = transform.toGame(at);
    transform.scale = std::clamp(transform.scale * factor, kMinScale, kMaxScale);
    transform.offset = at - game * transform.scale;
    fitted = false;
}

void MapView::pan(QPointF by)
{
    transform.offset += by;
    fitted = false;
}

void MapView::reveal(QPointF at, double margin)
{
    const QRectF inside = rect.adjusted(margin, margin, -margin, -margin);
    const QPointF by(std::min(0.0, inside.right() - at.x()) + std::max(0.0, inside.left() - at.x()),
                     std::min(0.0, inside.bottom() - at.y()) + std::max(0.0, inside.top() - at.y()));
    if (!by.isNull())
        pan(by);
}
