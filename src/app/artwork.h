#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>

#include <vector>

// The pictures of the main window, all the program's own work, so that it
// ships no image files: the icon is drawn at start, the two pictures when
// the program is built.
namespace artwork {

// The 165 x 78 banner in the logo box.
QPixmap logoBanner();
// The 236 x 165 help picture: how the corners a, b, c, d of a panel lie,
// in the default and the inverted arrangement and on a standing panel.
QPixmap cornerHelp();
// The icon: a stadium scoreboard, red digits on a green field, as filled
// rectangles in a 16 x 16 square, drawn in this order. The desktop's
// scalable icon is written from the same list.
struct IconShape {
    QRectF rect;
    QColor color;
};
const std::vector<IconShape>& iconShapes();
// The icon at size x size pixels.
QPixmap iconPicture(int size);
// The window's icon, at 16, 32 and 48 px.
QIcon windowIcon();

} // namespace artwork
