#pragma once

#include <QByteArray>
#include <QString>

// Puts a copy of one file, or bytes, in place of another: the copy is written to a
// temporary file in the target's folder and renamed over the target, so the
// target is always either the old file or the complete new one. An existing
// target keeps its permissions; a read-only one is refused.
namespace gamefile {

// False with the platform's reason in *error when any step fails; the target
// is then untouched and no temporary file is left.
bool copyOver(const QString& source, const QString& target, QString* error);

// The same with the new content in memory.
bool writeOver(const QByteArray& bytes, const QString& target, QString* error);

} // namespace gamefile
