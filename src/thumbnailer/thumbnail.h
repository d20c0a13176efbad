#pragma once

#include "fieldtable.h"

#include <QImage>
#include <QString>

#include <optional>

// Pictures of a game file's or a preset's layout for file managers, drawn as
// the map draws it.
namespace thumbnail
{

// Labels are left out below this size: they could not be read.
inline constexpr int kLabelledSize = 512;

// The picture's size for at most `size` pixels each way: as wide as asked,
// and as high as the layout's proportions want, from half the width (a
// scoreboard is a strip) to all of it.
QSize pictureSize(const layout::Record& record, int size);

// The layout on a white picture of pictureSize(). Labels need the font
// system, and with it a QGuiApplication.
QImage draw(const layout::Record& record, int size);

// The layout a game file or a preset holds, told apart by what it holds;
// nothing, and why in *problem, for anything else or a damaged file.
std::optional<layout::Record> layoutIn(const QString& path, QString* problem);

} // namespace thumbnail
