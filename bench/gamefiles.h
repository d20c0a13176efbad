#pragma once

#include <QByteArray>

// The game files the benchmark works on, decompressed.
namespace gamefiles {

inline constexpr qsizetype kLargeSize = 4 * 1024 * 1024;

// The bundled sample's decompressed layout (4096 bytes).
QByteArray samplePlain(const QString& samplePath);

// 4 MiB: the sample's 4096 bytes, so that the 44 values sit at their offsets,
// followed by a made-up table of 32-byte records, each 8 bytes of noise from
// a fixed generator and 24 bytes of the record's number, as in the sample.
QByteArray largePlain(const QByteArray& samplePlain);

// The inverse; empty when `packed` is not a valid container.
QByteArray unpack(const QByteArray& packed);

} // namespace gamefiles
