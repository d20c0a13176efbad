#pragma once

#include "stepresult.h"

#include <QDateTime>

#include <optional>

// Before the first replace of a game file, a byte-identical copy of it as it
// was is kept in the originals folder, once per file; it can be put back.
namespace gamefile
{

// Where the original of a game file is kept: originalsFolder + its name,
// "-" and eight hex digits of a hash of its canonical path, so that the file
// reached through a linked folder or ".." has one original, not two.
QString originalFor(const QString& gameFile, const QString& originalsFolder);

// When the original was kept; nothing while none is.
std::optional<QDateTime> keptAt(const QString& original);

// Keeps the game file as it is now as its original, unless one is kept
// already: a copy there stays as it is. Nothing to keep for a game file that
// does not exist (yet).
StepResult keepOriginal(const QString& gameFile, const QString& original);

// The original's bytes, once checked to be a game file.
StepResult readOriginal(const QString& original, QByteArray* bytes);

// Puts the original in place of the game file, whole or not at all, once it
// has been checked to be a game file.
StepResult restoreOriginal(const QString& original, const QString& gameFile);

} // namespace gamefile
