#include "layouthistory.h"

#include "baza.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "ucupdownbox.h"

#include <QApplication>
#include <QLineEdit>
#include <QUndoStack>

namespace editing {

namespace {

// One step: the states before and after it. The change has happened when
// the step is pushed, so its first redo does nothing.
class LayoutStep : public QUndoCommand {
public:
    LayoutStep(LayoutHistory& history, StepSource source, LayoutState before, LayoutState after)
        : m_history(history), m_source(source), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    int id() const override { return m_source.kind == StepSource::Whole ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        // A step once undone or redone is closed: what comes next is new.
        const auto* next = static_cast<const LayoutStep*>(other);
        if (m_closed || next->m_source != m_source)
            return false;
        m_after = next->m_after;
        // Typing that ends where it began is no step at all.
        setObsolete(m_after == m_before);
        return true;
    }
    void undo() override
    {
        m_closed = true;
        m_history.putBack(m_before);
    }
    void redo() override
    {
        if (std::exchange(m_pushed, false))
            return; // pushed when the change had happened already
        m_closed = true;
        m_history.putBack(m_after);
    }

private:
    LayoutHistory& m_history;
    StepSource m_source;
    LayoutState m_before, m_after;
    bool m_pushed = true;
    bool m_closed = false;
};

} // namespace

LayoutHistory::LayoutHistory(EditorPanel& panel, Baza& baza, QUndoStack& stack, QObject* parent)
    : QObject(parent), m_panel(panel), m_baza(baza), m_stack(stack), m_shown(captureState(panel, baza))
{
    // Connected after the panel's relay, so a box's change has reached the
    // record by the time it is recorded. A box's text counts too where its
    // value stays (emptied, a lone "-", past the box's range): it is on show,
    // and Undo must not carry it into the next step.
    for (int n = 1; n <= layout::kFieldCount; ++n) {
        const auto recordBox = [this, n] { record(StepSource{StepSource::Box, n, m_focusRun}); };
        connect(panel.box(n), &ucUpDownBox::Change, this, recordBox);
        connect(panel.box(n)->txtValue(), &QLineEdit::textChanged, this, recordBox);
    }
    connect(qApp, &QApplication::focusChanged, this, [this] { ++m_focusRun; });
}

void LayoutHistory::resume(bool newLayout)
{
    if (newLayout)
        m_stack.clear();
    m_shown = captureState(m_panel, m_baza);
    m_recording = true;
    emit changed();
}

void LayoutHistory::record(StepSource source)
{
    if (!m_recording)
        return;
    LayoutState now = captureState(m_panel, m_baza);
    if (now == m_shown)
        return;
    m_stack.push(new LayoutStep(*this, source, std::exchange(m_shown, now), now));
    emit changed();
}

void LayoutHistory::recordAs(StepSource source, const std::function<void()>& change)
{
    const bool recording = std::exchange(m_recording, false);
    change();
    m_recording = recording;
    record(source);
}

void LayoutHistory::invert(std::string_view team)
{
    LayoutState before = captureState(m_panel, m_baza);
    putBack(invertedState(before, team));
    if (m_shown == before)
        return; // the panel is its own mirror: nothing to undo
    m_stack.push(new LayoutStep(*this, {StepSource::Whole}, std::move(before), m_shown));
}

void LayoutHistory::showRecord(const layout::Record& record)
{
    LayoutState before = captureState(m_panel, m_baza);
    m_recording = false;
    for (int k = 0; k < layout::kFieldCount; ++k)
        m_panel.txt(k)->clear();
    m_baza.setRecord(record);
    Show_Data(m_panel, m_baza);
    m_recording = true;
    m_shown = captureState(m_panel, m_baza);
    if (m_shown != before) // a preset of what is on show is no step
        m_stack.push(new LayoutStep(*this, {StepSource::Whole}, std::move(before), m_shown));
    emit changed();
}

void LayoutHistory::putBack(const LayoutState& state)
{
    m_recording = false;
    putBackState(m_panel, m_baza, state);
    m_recording = true;
    m_shown = captureState(m_panel, m_baza);
    emit changed();
}

} // namespace editing
