#pragma once

#include <QString>

namespace gamefile
{

enum class FileKind { GameFile, Preset, Other };

// What a file is by its first bytes, as the desktop's file types tell it: a
// game file by the container's eight signature bytes, a preset by its
// "format": "varnel-layout" near the start, whatever the file's name. Only a
// regular file of a size its kind allows is read at all.
FileKind kindOf(const QString& path);

} // namespace gamefile
