#pragma once

#include "container.h"
#include "stepresult.h"

#include <QByteArray>

// What may be read as a game file or a preset: only a regular file (a link to
// one counts), and only as large as its format allows. Devices, pipes and
// folders are refused by looking at them, before anything reads them: /dev/zero
// would never end.
namespace gamefile
{

// The container's header and the largest stream it may declare.
inline constexpr qint64 kMaxGameFileSize = qint64(zlibcodec::kHeaderSize) + zlibcodec::kMaxDeclaredSize;
// A preset is a few KiB of text.
inline constexpr qint64 kMaxPresetSize = 1 << 20;

// Empty when path may be read, else why not, in words: "it is a folder".
QString whyNotReadable(const QString& path, qint64 maxSize);

// The whole file after that check; on failure the result names `step`.
StepResult readWholeFile(const QString& path, qint64 maxSize, const QString& step, QByteArray* bytes);

} // namespace gamefile
