#pragma once

#include <QStringList>

class QTextStream;

// varnel-cli: the layout of game files shown, set and replaced by presets
// from the command line, through the same game-file steps as the editor's
// Save, without widgets and without zlibtool.
namespace cli {

// Runs one command line (without the program's name). Answers the exit
// status: 0 done, 1 a failure (told on err with the file, the step and the
// reason), 2 a usage error (with the usage text).
int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progressOnErr = false);

} // namespace cli
