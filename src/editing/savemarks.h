#pragma once

#include "fieldtable.h"

#include <QObject>
#include <QPalette>

#include <array>
#include <optional>

class Baza;
class EditorPanel;
class QWidget;

namespace editing
{

// Why a shown number is not what Save writes for a field holding
// recordValue, in words for a tooltip ("Save writes 4000: 40000 does not
// fit"); nothing when it is. text is as a grey field or a box shows it.
std::optional<QString> saveMismatch(const QString& text, layout::FieldKind kind, qint16 recordValue);

// Marks, where it stands, every grey field (or box without one) whose number
// the record does not hold, so that what is shown is what Save writes or is
// marked: a colour, and a tooltip naming what Save writes. What the record
// takes is the store pass's business; this only looks.
class SaveMarks : public QObject
{
    Q_OBJECT
public:
    SaveMarks(EditorPanel& panel, const Baza& baza, QObject* parent = nullptr);

    // The mark on text field k's number, empty while there is none.
    const QString& mark(int textField) const { return m_marks.at(std::size_t(textField)); }
    // Where text field k's number is shown: the field, or its box when the
    // field is hidden under it.
    QWidget* shownBy(int textField) const;

    // After the record was set as a whole (an undo, an Open).
    void updateAll();

private:
    void update(int textField);

    EditorPanel& m_panel;
    const Baza& m_baza;
    std::array<QString, layout::kFieldCount> m_marks;
    std::array<QPalette, layout::kFieldCount> m_unmarked; // while marked
};

} // namespace editing
