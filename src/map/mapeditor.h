#pragma once

#include "maphandles.h"

#include <QPoint>

#include <utility>
#include <vector>

class EditorPanel;
namespace editing {
class LayoutHistory;
}

// Moves handles the way a person typing into the panel would: by setting
// their boxes. Each drag or run of nudges is one step of the undo history,
// however many handles it moves.
class MapEditor {
public:
    using Places = std::vector<std::pair<int, QPoint>>; // handle, X and Y in whole units

    MapEditor(EditorPanel& panel, editing::LayoutHistory& history);

    // Where a move starts from: where the handle is drawn, in whole units as
    // the boxes show it (halves to the even neighbour, as a layout is shown).
    static QPoint start(QPointF drawn);
    // What the handle's boxes show: X and Y, corners in pixels.
    QPoint shown(int handle) const;
    // The part of offset that every handle can move from its start and stay
    // within what the game file holds and its boxes take: the whole
    // selection stops where its first member does, keeping its shape.
    QPoint limited(const Places& starts, QPoint offset) const;
    // Sets every handle's boxes to its place: part of the current drag or run
    // of nudges, or with alone a step of its own.
    void place(const Places& places, bool alone = false);
    // What comes next is another drag or run of nudges.
    void newRun() { ++m_run; }

private:
    std::pair<int, int> range(int handle, maphandles::Axis axis) const;

    EditorPanel& m_panel;
    editing::LayoutHistory& m_history;
    int m_run = 0;
};
