#pragma once

#include "fieldtable.h"
#include "stepresult.h"

#include <QByteArray>

// A game file read and written in this process, by the codec itself, without
// zlibtool: for the command line, which works on many files at once.
namespace gamefile {

// A whole layout lies within the first 3322 bytes of the data.
inline constexpr qsizetype kLayoutEnd = 3322;

struct GameData {
    QByteArray container; // the file as it is
    QByteArray plain;     // what it holds
};

// Reads and decodes a game file, and refuses data too short for a whole
// layout, where the editor would read zeros.
StepResult readGameFile(const QString& path, GameData* data);

// The 44 values the data holds.
layout::Record layoutOf(const GameData& data);

// Writes the values into the data, changing only the 96 bytes a Save writes,
// and packs it anew; the new container must decode to exactly the new data.
StepResult putLayout(GameData* data, const layout::Record& values);

} // namespace gamefile
