#pragma once

#include <QPoint>
#include <QPointF>

#include <vector>

// Arranging handles on the map, in whole game units (corners: pixels).
namespace arrange {

enum class Alignment { Left, Right, Top, Bottom, HorizontalCentre, VerticalCentre };

// Every point takes the leftmost X, the rightmost, the top Y, the bottom one,
// or the middle between the extremes (HorizontalCentre: the same X; an odd
// distance leaves half a unit, which goes to the left or the top).
std::vector<QPoint> aligned(std::vector<QPoint> points, Alignment alignment);

// Equal steps along the axis from the first point to the last in order of
// position (ties in the order given): those two stay. Where the distance does
// not divide, the first steps are one unit longer, as many as the remainder.
std::vector<QPoint> distributed(std::vector<QPoint> points, Qt::Orientation axis);

// Shift held: the larger of the two moves only.
QPoint constrained(QPoint offset);

// A drag's offset caught by other handles: the dragged handle, moved from
// start, takes the X or the Y of the nearest of others within tolerance
// (game units), each axis on its own. toX and toY: the index in others
// whose X or Y it took, or -1.
struct Snap {
    QPoint offset;
    int toX = -1;
    int toY = -1;
};
Snap snapped(QPoint start, QPoint offset, const std::vector<QPointF>& others, double tolerance);

} // namespace arrange
