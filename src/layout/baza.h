#pragma once

#include "fieldtable.h"
#include "layoutwriteerror.h"

#include <QString>

#include <array>

class QIODevice;

// All 44 values at once, named and ordered as the record; built with
// designated initializers: {.PozycjaX = 1, ..., .KroY = 2}.
struct LayoutValues {
#define VARNEL_LAYOUT_MEMBER(i, name, offset, text, kind, group, key) qint16 name = 0;
    VARNEL_LAYOUT_FIELDS(VARNEL_LAYOUT_MEMBER)
#undef VARNEL_LAYOUT_MEMBER
};

// The scoreboard layout in memory: 44 raw signed 16-bit values, loaded from and
// saved into the decompressed data file at fixed offsets. Every other byte of
// that file belongs to the game and is never read or written here.
class Baza {
public:
    Baza() = default;

    // Replaces all 44 values, but only once a layout has been loaded. Its
    // result is false whatever happens; nothing reads it.
    bool Zmien_Dane(const LayoutValues& values);

    // Fallback target of Zapisz when it is given an empty path.
    QString Path() const { return m_path; }
    void Path(const QString& Str_Path) { m_path = Str_Path; }

    // Plain storage of each value: no range check, no conversion.
#define VARNEL_LAYOUT_ACCESSORS(i, name, offset, text, kind, group, key)                                          \
    qint16 name() const { return m_values[i]; }                                                              \
    void name(qint16 NewValue) { m_values[i] = NewValue; }
    VARNEL_LAYOUT_FIELDS(VARNEL_LAYOUT_ACCESSORS)
#undef VARNEL_LAYOUT_ACCESSORS

    // The same values by record index, for code that walks the field table.
    qint16 value(int index) const { return m_values.at(static_cast<std::size_t>(index)); }
    void setValue(int index, qint16 NewValue) { m_values.at(static_cast<std::size_t>(index)) = NewValue; }
    // All of them; setting them is plain storage too, loaded or not.
    const layout::Record& record() const { return m_values; }
    void setRecord(const layout::Record& values) { m_values = values; }

    bool Loaded() const { return m_loaded; }

    // Reads the 44 values; false, with nothing changed, when the file is
    // missing or cannot be read. Bytes beyond the end of a short file read as 0.
    bool Wczytaj(const QString& Str_Path);
    bool Wczytaj(QIODevice& device);

    // Writes the 44 values (and the two time-box copies) into an existing file
    // without truncating it, or creates it. False when nothing has been loaded;
    // throws LayoutWriteError when the file cannot be opened or written.
    bool Zapisz(const QString& Str_Path);
    bool Zapisz(QIODevice& device, const QString& fileName);

    // Whether anything, a folder included, exists at the path.
    static bool File_Exists(const QString& Str_Path);

private:
    layout::Record m_values{};
    QString m_path;
    bool m_loaded = false;
};
