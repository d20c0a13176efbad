#include "labelplacement.h"

#include <algorithm>
#include <array>

namespace labels {

namespace {

// Beside, then above and below, then on the diagonals: a row of markers, as a
// scoreboard mostly is, keeps its labels above and below it.
constexpr std::array<QPoint, 8> kDirections{
    {{1, 0}, {-1, 0}, {0, -1}, {0, 1}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}}};
constexpr int kRings = 10;   // places farther off, each a label's height further
constexpr double kSpace = 3; // between a label and its marker, and around labels

QRectF candidate(const Request& request, QPoint direction, double gap)
{
    if (direction.x() && direction.y())
        gap *= 0.7; // as far from the marker as a label beside it
    const QPointF centre(request.marker.x() + direction.x() * (gap + request.size.width() / 2),
                         request.marker.y() + direction.y() * (gap + request.size.height() / 2));
    return {centre - QPointF(request.size.width() / 2, request.size.height() / 2), request.size};
}

} // namespace

std::vector<Placed> place(const std::vector<Request>& requests, double markerRadius, const QRectF& bounds)
{
    std::vector<QRectF> taken; // markers, then labels as they are placed
    for (const Request& request : requests)
        taken.push_back(markerSquare(request.marker, markerRadius));
    const auto isFree = [&](const QRectF& rect) {
        const QRectF spaced = rect.adjusted(-kSpace / 2, -kSpace / 2, kSpace / 2, kSpace / 2);
        return bounds.contains(rect) && std::none_of(taken.begin(), taken.end(),
                                                     [&](const QRectF& t) { return t.intersects(spaced); });
    };
    std::vector<Placed> placed;
    for (const Request& request : requests) {
        const double gap = markerRadius + kSpace;
        Placed label{candidate(request, kDirections[0], gap)};
        for (int ring = 0; ring <= kRings && !label.shown && bounds.contains(request.marker); ++ring)
            for (const QPoint direction : kDirections) {
                const QRectF rect =
                    candidate(request, direction, gap + ring * (request.size.height() + kSpace));
                if (isFree(rect)) {
                    label = {rect, true, ring > 0};
                    taken.push_back(rect);
                    break;
                }
            }
        placed.push_back(label);
    }
    return placed;
}

} // namespace labels
