#pragma once

#include "layoutstate.h"

#include <QObject>

#include <functional>

class QUndoStack;

namespace editing {

// Where a step of the layout came from. Consecutive changes from one source
// merge into one step: a box while it keeps the focus, the map's selection
// during one drag or one run of nudges. A whole-state step (an invert, an
// alignment on the map) stands alone.
struct StepSource {
    enum Kind { Box, Map, Whole };
    Kind kind = Box;
    int which = 0; // the box's number
    int run = 0;   // which stretch of focus, drag or nudges
    bool operator==(const StepSource&) const = default;
};

// Makes every change of the layout on show a step of an undo stack: a box
// stepped or typed into (its Change, after the relay and the store pass), an
// edit on the map, an invert. Undo and redo put whole states back, and
// putting a state back records nothing.
class LayoutHistory : public QObject {
    Q_OBJECT
public:
    LayoutHistory(EditorPanel& panel, Baza& baza, QUndoStack& stack, QObject* parent = nullptr);

    // Nothing is recorded while Open empties the fields and shows a layout;
    // then the state on show is where the next step starts, and a new layout
    // starts a new history.
    void pause() { m_recording = false; }
    void resume(bool newLayout);

    // What change does to the boxes is recorded once, when it is done, as a
    // step of source: many boxes set together are one step.
    void recordAs(StepSource source, const std::function<void()>& change);

    void invert(std::string_view team);
    // Shows values as an Open shows a loaded layout (texts emptied, then the
    // display pass with its rounding and the boxes' ranges), as one step.
    void showRecord(const layout::Record& record);
    void putBack(const LayoutState& state);
    const LayoutState& shown() const { return m_shown; }

signals:
    // The state on show may have changed: an edit, an undo or redo, an
    // invert, an Open.
    void changed();

private:
    void record(StepSource source);

    EditorPanel& m_panel;
    Baza& m_baza;
    QUndoStack& m_stack;
    LayoutState m_shown;
    bool m_recording = true;
    int m_focusRun = 0;
};

} // namespace editing
