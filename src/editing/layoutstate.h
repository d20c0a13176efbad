#pragma once

#include "fieldtable.h"

#include <QString>

#include <array>

class Baza;
class EditorPanel;

namespace editing {

// The layout as it is on show: each box's value and its own text (which need
// not agree), the 44 text fields, and the record. Box N is element N - 1.
struct LayoutState {
    std::array<int, layout::kFieldCount> boxValues{};
    std::array<QString, layout::kFieldCount> boxTexts;
    std::array<QString, layout::kFieldCount> texts;
    layout::Record record{};

    bool operator==(const LayoutState&) const = default;
};

LayoutState captureState(const EditorPanel& panel, const Baza& baza);

// Puts a whole state back: first each box (its value, then its text), then
// the 44 text fields, then the record through its setters, so that the
// record ends exact to the unit, also where no box can show the value. The
// boxes' and text fields' own reactions run on the way and are overwritten.
void putBackState(EditorPanel& panel, Baza& baza, const LayoutState& state);

// The state with a panel's corners turned over, as the help text tells it:
// A and C exchange boxes, texts and values, and so do B and D, both rows.
// team is "home" or "away".
LayoutState invertedState(const LayoutState& state, std::string_view team);

} // namespace editing
