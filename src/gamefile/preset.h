#pragma once

#include "fieldtable.h"
#include "stepresult.h"

#include <optional>

// A layout of our own to share, as JSON:
//
//   {"format": "varnel-layout", "version": 1, "values": {"left_shape.x": 24, ...}}
//
// values holds exactly the 44 keys of the field table, each a whole number
// from -32768 to 32767 as the game file stores it (corners in sixteenths of a
// pixel), so that a round trip is exact. Other top-level members are allowed
// and ignored.
namespace gamefile {

// The preset's values, in record order; nothing when any check fails, and
// then *problem names the file and the first problem found.
std::optional<layout::Record> readPreset(const QString& path, QString* problem);

// The same for a preset's text; *problem names only the problem.
std::optional<layout::Record> presetFromText(const QByteArray& text, QString* problem);

// A field's key in a preset and on the command line, such as "home.a.x".
inline QLatin1String presetKey(const layout::FieldInfo& field)
{
    return QLatin1String(field.key.data(), qsizetype(field.key.size()));
}

// A value as a preset or the command line writes it: a whole number from
// -32768 to 32767 with no sign but "-", no leading zero, no fraction and no
// exponent. Nothing for anything else.
std::optional<qint16> recordValue(const QString& text);

// The preset text of a record, keys in the field table's order.
QByteArray presetText(const layout::Record& record);

// Writes a preset, whole or not at all.
StepResult writePreset(const QString& path, const layout::Record& record);

} // namespace gamefile
