#include "layoutdrawing.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace mapdrawing {

namespace {

constexpr QSizeF kPlatePadding(8, 2);

QSizeF labelSize(int handle)
{
    static const auto sizes = [] {
        const QFontMetricsF metrics(labelFont());
        std::array<QSizeF, maphandles::kCount> found;
        for (int h = 0; h < maphandles::kCount; ++h)
            found[std::size_t(h)] =
                QSizeF(metrics.horizontalAdvance(maphandles::name(h)), metrics.height()) + kPlatePadding;
        return found;
    }();
    return sizes[std::size_t(handle)];
}

// A leader: from the marker's edge to the nearest point of its label.
QLineF leader(QPointF centre, const QRectF& rect, double radius)
{
    const QLineF line(centre, QPointF(std::clamp(centre.x(), rect.left(), rect.right()),
                                      std::clamp(centre.y(), rect.top(), rect.bottom())));
    return QLineF(line.pointAt(radius / std::max(line.length(), radius)), line.p2());
}

} // namespace

QFont labelFont()
{
    QFont font;
    font.setPixelSize(11);
    return font;
}

std::vector<labels::Placed> placeLabels(const maphandles::Points& points, maphandles::View view,
                                        const ViewTransform& transform, const QRectF& bounds,
                                        double markerRadius)
{
    std::vector<labels::Request> requests;
    for (int h = maphandles::firstOf(view); h < maphandles::endOf(view); ++h)
        requests.push_back({transform.toScreen(points[std::size_t(h)]), labelSize(h)});
    return labels::place(requests, markerRadius, bounds);
}

LayoutPainter::LayoutPainter(QPainter& painter, const maphandles::Points& points, double markerRadius)
    : m_painter(painter), m_points(points), m_radius(markerRadius)
{
}

void LayoutPainter::drawView(maphandles::View view, const ViewTransform& transform) const
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setBrush(Qt::NoBrush);
    // The corners outlined a-b-d-c, so that a panel turned over shows at once.
    if (view == maphandles::View::Corners)
        for (const int a : {maphandles::kHomeA, maphandles::kAwayA}) {
            QPolygonF outline;
            for (const int corner : {0, 1, 3, 2})
                outline << transform.toScreen(m_points[std::size_t(a + corner)]);
            m_painter.setPen(QPen(maphandles::colour(a), std::min(2.0, m_radius / 2)));
            m_painter.drawPolygon(outline);
        }
    for (int h = maphandles::firstOf(view); h < maphandles::endOf(view); ++h) {
        const QColor colour = maphandles::colour(h);
        m_painter.setPen(QPen(colour.darker(150), 1));
        m_painter.setBrush(colour);
        m_painter.drawEllipse(transform.toScreen(m_points[std::size_t(h)]), m_radius, m_radius);
    }
    m_painter.restore();
}

void LayoutPainter::drawLabel(int handle, const labels::Placed& label, const ViewTransform& transform) const
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = maphandles::colour(handle);
    if (label.leader) {
        m_painter.setPen(QPen(colour, 1));
        m_painter.drawLine(leader(transform.toScreen(m_points[std::size_t(handle)]), label.rect, m_radius));
    }
    // A pale plate with the marker's colour round it: readable over any backdrop.
    m_painter.setPen(QPen(colour, 1));
    m_painter.setBrush(QColor(255, 255, 255, 230));
    m_painter.drawRoundedRect(label.rect.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    m_painter.setFont(labelFont());
    m_painter.setPen(QColor(32, 32, 32));
    m_painter.drawText(label.rect, Qt::AlignCenter, maphandles::name(handle));
    m_painter.restore();
}

void LayoutPainter::drawLabels(maphandles::View view, const std::vector<labels::Placed>& placed,
                               const ViewTransform& transform) const
{
    for (std::size_t i = 0; i < placed.size(); ++i)
        if (placed[i].shown)
            drawLabel(maphandles::firstOf(view) + int(i), placed[i], transform);
}

void drawLayout(QPainter& painter, const layout::Record& record, const QRectF& target, bool withLabels)
{
    const maphandles::Points points = maphandles::positions(record);
    // Small pictures still show each marker as a dot of its colour.
    const double radius = std::clamp(target.height() / 40, 2.0, kMarkerRadius);
    const double margin = withLabels ? kFitMargin : 2 * radius;
    const std::array<QRectF, 2> areas = splitViews(target, 2 * margin);
    const LayoutPainter draw(painter, points, radius);
    for (const maphandles::View view : maphandles::kViews) {
        const QRectF area = areas[std::size_t(view)];
        const ViewTransform transform = ViewTransform::fitting(
            contentBounds(points, view), area.adjusted(margin, margin, -margin, -margin));
        draw.drawView(view, transform);
        if (withLabels)
            draw.drawLabels(view, placeLabels(points, view, transform, area, radius), transform);
    }
}

} // namespace mapdrawing
