#pragma once

#include "fieldtable.h"

#include <QString>

#include <optional>

class Baza;
class EditorPanel;

// Values flow from the panel's text fields into the record on every text
// change, and from the record onto the panel once after each load.
namespace editing {

// The store pass: reads all 44 text fields and stores each one that reads as
// a number and fits into its record field; vertex points as whole pixels x 16.
// Touches nothing but the record.
void txt_Change(const EditorPanel& panel, Baza& baza);

// What the store pass stores for a text field's text: a number that rounds
// (halves to even) to a whole one that fits, vertex points as pixels x 16;
// nothing for any other text.
std::optional<qint16> storableValue(const QString& text, layout::FieldKind kind);

// How a record value is shown in its text field: vertex points in pixels.
QString shownText(qint16 value, layout::FieldKind kind);

// Runs the store pass on every text change of every text field.
void connectStorePass(EditorPanel& panel, Baza& baza);

// Writes the 44 texts from the record (vertex points in pixels), then sets
// each box from its text. The nested relays and store passes run inside, in
// that order, and decide the record that results.
void Show_Data(EditorPanel& panel, const Baza& baza);

} // namespace editing
