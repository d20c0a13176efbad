#pragma once

#include <QRectF>

#include <vector>

// Where the labels of markers go so that each can be read: geometry alone,
// in screen pixels.
namespace labels {

struct Request {
    QPointF marker; // the labelled marker's centre
    QSizeF size;    // of the label, plate included
};

struct Placed {
    QRectF rect;
    bool shown = false;  // false: no room; rect is then its place nearest the marker
    bool leader = false; // set apart from its marker: a line leads to it
};

// Every marker is a square of markerRadius around its centre. Each label
// goes beside its marker, where it overlaps no other label and no marker
// and lies inside bounds; where that is taken, farther off in the same
// directions with a leader; where nothing is free, and for a marker outside
// bounds, it is not shown. Earlier requests get the nearer places.
std::vector<Placed> place(const std::vector<Request>& requests, double markerRadius, const QRectF& bounds);

// The square a marker covers.
inline QRectF markerSquare(QPointF centre, double radius)
{
    return {centre - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)};
}

} // namespace labels
