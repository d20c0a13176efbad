#pragma once

#include "labelplacement.h"
#include "maphandles.h"
#include "viewtransform.h"

#include <QFont>

#include <vector>

class QPainter;

// The drawing of a layout that the map and anything else showing a layout
// share: the fourteen markers in their panel colours, the HOME and AWAY
// outlines a-b-d-c, and labels where they can be read. Widget-free: it draws
// into any painter.
namespace mapdrawing {

inline constexpr double kMarkerRadius = 4;
// Room around a fitted view's handles, in screen pixels, for their labels.
inline constexpr double kFitMargin = 48;

QFont labelFont();

// The labels of a view's handles, placed for this transform inside bounds.
std::vector<labels::Placed> placeLabels(const maphandles::Points& points, maphandles::View view,
                                        const ViewTransform& transform, const QRectF& bounds,
                                        double markerRadius = kMarkerRadius);

// Draws the handles of one layout, placed at `points`, in screen terms.
class LayoutPainter {
public:
    LayoutPainter(QPainter& painter, const maphandles::Points& points, double markerRadius = kMarkerRadius);

    // A view's markers; for the corners, the two outlines under them.
    void drawView(maphandles::View view, const ViewTransform& transform) const;
    // A label on its plate, with its leader when it is set apart.
    void drawLabel(int handle, const labels::Placed& label, const ViewTransform& transform) const;
    void drawLabels(maphandles::View view, const std::vector<labels::Placed>& placed,
                    const ViewTransform& transform) const;

private:
    QPainter& m_painter;
    const maphandles::Points& m_points;
    double m_radius;
};

// The whole layout fitted into target, both views side by side as the map
// lays them out; labels only when asked, for they cannot be read small.
void drawLayout(QPainter& painter, const layout::Record& record, const QRectF& target, bool withLabels);

} // namespace mapdrawing
