#include "arrange.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace arrange {

namespace {

int& along(QPoint& point, Qt::Orientation axis)
{
    return axis == Qt::Horizontal ? point.rx() : point.ry();
}

} // namespace

std::vector<QPoint> aligned(std::vector<QPoint> points, Alignment alignment)
{
    const Qt::Orientation axis = alignment == Alignment::Left || alignment == Alignment::Right ||
                                         alignment == Alignment::HorizontalCentre
                                     ? Qt::Horizontal
                                     : Qt::Vertical;
    const auto [low, high] = std::minmax_element(
        points.begin(), points.end(), [axis](QPoint a, QPoint b) { return along(a, axis) < along(b, axis); });
    const int first = along(*low, axis), last = along(*high, axis);
    const int to = alignment == Alignment::Left || alignment == Alignment::Top ? first
                   : alignment == Alignment::Right || alignment == Alignment::Bottom
                       ? last
                       : int(std::floor((first + last) / 2.0));
    for (QPoint& point : points)
        along(point, axis) = to;
    return points;
}

std::vector<QPoint> distributed(std::vector<QPoint> points, Qt::Orientation axis)
{
    std::vector<std::size_t> order(points.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return along(points[a], axis) < along(points[b], axis);
    });
    const int first = along(points[order.front()], axis);
    const int steps = int(points.size()) - 1, distance = along(points[order.back()], axis) - first;
    for (int i = 1; i < steps; ++i)
        along(points[order[std::size_t(i)]], axis) =
            first + i * (distance / steps) + std::min(i, distance % steps);
    return points;
}

QPoint constrained(QPoint offset)
{
    return std::abs(offset.x()) >= std::abs(offset.y()) ? QPoint(offset.x(), 0) : QPoint(0, offset.y());
}

Snap snapped(QPoint start, QPoint offset, const std::vector<QPointF>& others, double tolerance)
{
    Snap snap{offset};
    const QPoint at = start + offset;
    double nearestX = tolerance, nearestY = tolerance;
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (const double dx = std::abs(others[i].x() - at.x()); dx <= nearestX)
            nearestX = dx, snap.toX = int(i);
        if (const double dy = std::abs(others[i].y() - at.y()); dy <= nearestY)
            nearestY = dy, snap.toY = int(i);
    }
    if (snap.toX >= 0)
        snap.offset.setX(int(std::lround(others[std::size_t(snap.toX)].x())) - start.x());
    if (snap.toY >= 0)
        snap.offset.setY(int(std::lround(others[std::size_t(snap.toY)].y())) - start.y());
    return snap;
}

} // namespace arrange
