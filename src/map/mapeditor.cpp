#include "mapeditor.h"

#include "editorpanel.h"
#include "layouthistory.h"
#include "ucupdownbox.h"

#include <cmath>
#include <limits>

using maphandles::Axis;

namespace {

ucUpDownBox* boxOf(const EditorPanel& panel, int handle, Axis axis)
{
    return panel.box(maphandles::field(handle, axis).textField + 1);
}

} // namespace

MapEditor::MapEditor(EditorPanel& panel, editing::LayoutHistory& history) : m_panel(panel), m_history(history)
{
}

QPoint MapEditor::start(QPointF drawn)
{
    return {int(std::nearbyint(drawn.x())), int(std::nearbyint(drawn.y()))};
}

QPoint MapEditor::shown(int handle) const
{
    return {boxOf(m_panel, handle, Axis::X)->Value(), boxOf(m_panel, handle, Axis::Y)->Value()};
}

std::pair<int, int> MapEditor::range(int handle, Axis axis) const
{
    // Corners are kept in sixteenths of a pixel.
    const int unit = maphandles::isCorner(handle) ? 16 : 1;
    const ucUpDownBox* box = boxOf(m_panel, handle, axis);
    return {std::max(box->Min(), std::numeric_limits<qint16>::min() / unit),
            std::min(box->Max(), std::numeric_limits<qint16>::max() / unit)};
}

QPoint MapEditor::limited(const Places& starts, QPoint offset) const
{
    for (const auto& [handle, start] : starts) {
        const auto [left, right] = range(handle, Axis::X);
        const auto [top, bottom] = range(handle, Axis::Y);
        // One already past a limit, as a corner below 0 is, goes no further.
        offset.rx() =
            std::max(std::min(offset.x(), std::max(0, right - start.x())), std::min(0, left - start.x()));
        offset.ry() =
            std::max(std::min(offset.y(), std::max(0, bottom - start.y())), std::min(0, top - start.y()));
    }
    return offset;
}

void MapEditor::place(const Places& places, bool alone)
{
    const editing::StepSource source = alone ? editing::StepSource{editing::StepSource::Whole}
                                             : editing::StepSource{editing::StepSource::Map, 0, m_run};
    m_history.recordAs(source, [this, &places] {
        for (const auto& [handle, at] : places) {
            boxOf(m_panel, handle, Axis::X)->setValue(at.x());
            boxOf(m_panel, handle, Axis::Y)->setValue(at.y());
        }
    });
}
