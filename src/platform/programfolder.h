#pragma once

#include <QString>

// The folder that holds the program, always ending with the native separator.
// Every working path (the tool, the working folder, the readme) hangs off it.
namespace programfolder {

QString withTrailingSeparator(const QString& folder);

// The running executable's folder.
QString ofExecutable();

} // namespace programfolder
