#pragma once

#include "fieldtable.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <array>

// The map's 22 handles, in the order Tab goes through them: the fourteen
// placed elements of the scoreboard (the markers), then the corners a to d of
// HOME and of AWAY.
namespace maphandles {

inline constexpr int kCount = 22;
inline constexpr int kFirstCorner = 14;
inline constexpr int kHomeA = 14;
inline constexpr int kAwayA = 18;
// The clock: the time box, the four digits and the colon.
inline constexpr std::array<int, 6> kClock{8, 9, 10, 11, 12, 13};

// The markers are shown in game pixels, the corners in pixels of their panel:
// each has a view of its own.
enum class View { Scoreboard, Corners };
inline constexpr std::array<View, 2> kViews{View::Scoreboard, View::Corners};
inline View viewOf(int handle)
{
    return handle < kFirstCorner ? View::Scoreboard : View::Corners;
}
inline int firstOf(View view)
{
    return view == View::Scoreboard ? 0 : kFirstCorner;
}
inline int endOf(View view)
{
    return view == View::Scoreboard ? kFirstCorner : kCount;
}

enum class Axis { X, Y };
// The field that places the handle along axis; its box is textField + 1.
const layout::FieldInfo& field(int handle, Axis axis);
inline bool isCorner(int handle)
{
    return handle >= kFirstCorner;
}

// "Team A Name", "HOME a": its label on the map and its tooltip.
QString name(int handle);

// Where each handle stands, in game pixels (corners: the value / 16).
using Points = std::array<QPointF, kCount>;
Points positions(const layout::Record& record);

// Its colour on the editor panel: the caption of the frame its boxes sit in,
// the background of a clock character's coloured frame, or the caption of
// HOME or AWAY for a corner. Read from the panel's table, not its widgets.
QColor colour(int handle);

} // namespace maphandles
