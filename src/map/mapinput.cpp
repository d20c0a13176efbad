#include "mapinput.h"

#include "mapscene.h"

#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <cmath>

using maphandles::View;

namespace {

constexpr double kZoomStep = 1.25;   // a notch or Ctrl+plus
constexpr double kScrollStep = 20;   // screen pixels an arrow key scrolls
constexpr double kSnapDistance = 6;  // screen pixels within which a guide catches
constexpr double kClickDistance = 3; // screen pixels a click may wander

MapEditor::Places movedBy(MapEditor::Places places, QPoint offset)
{
    for (auto& [handle, at] : places)
        at += offset;
    return places;
}

} // namespace

MapInput::MapInput(MapScene& scene, MapEditor& editor, Backdrop& backdrop)
    : m_scene(scene), m_editor(editor), m_backdrop(backdrop)
{
}

std::optional<QPoint> MapInput::dragOffset() const
{
    return m_drag == Drag::Handles ? std::optional(m_offset) : std::nullopt;
}

MapEditor::Places MapInput::startsOfSelection() const
{
    MapEditor::Places starts;
    for (const int h : m_scene.selection())
        starts.emplace_back(h, MapEditor::start(m_scene.positions()[std::size_t(h)]));
    return starts;
}

QPointF MapInput::keyZoomCentre() const
{
    // The handle selected last, if it is in sight; else the middle of the view.
    const MapView& view = m_scene.view(m_scene.activeView());
    const int current = m_scene.current();
    const bool inSight = current >= 0 && maphandles::viewOf(current) == m_scene.activeView() &&
                         view.rect.contains(m_scene.screenPosition(current));
    return inSight ? m_scene.screenPosition(current) : view.rect.center();
}

bool MapInput::key(const QKeyEvent& event)
{
    const bool control = event.modifiers() & Qt::ControlModifier;
    const int step = event.modifiers() & Qt::ShiftModifier ? 10 : 1;
    const View active = m_scene.activeView();
    QPoint by;
    if (event.matches(QKeySequence::SelectAll)) {
        QList<int> all;
        for (int h = maphandles::firstOf(active); h < maphandles::endOf(active); ++h)
            all << h;
        m_scene.select(all);
        m_editor.newRun();
        return true;
    }
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        selectNext(event.key() == Qt::Key_Tab ? 1 : -1);
        return true;
    case Qt::Key_Escape:
        m_scene.select({});
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        if (!control)
            return false;
        m_scene.zoom(active, event.key() == Qt::Key_Minus ? 1 / kZoomStep : kZoomStep, keyZoomCentre());
        return true;
    case Qt::Key_Left:
        by = {-step, 0};
        break;
    case Qt::Key_Right:
        by = {step, 0};
        break;
    case Qt::Key_Up:
        by = {0, -step};
        break;
    case Qt::Key_Down:
        by = {0, step};
        break;
    default:
        return false;
    }
    if (m_scene.selection().isEmpty())
        m_scene.pan(active, -QPointF(by) * kScrollStep); // to look around
    else
        nudge(by);
    return true;
}

void MapInput::selectNext(int direction)
{
    const int from = m_scene.current();
    const int next = from < 0 ? (direction > 0 ? 0 : maphandles::kCount - 1)
                              : (from + direction + maphandles::kCount) % maphandles::kCount;
    m_scene.select({next}, next);
    m_scene.reveal(next);
    m_editor.newRun();
}

void MapInput::nudge(QPoint by)
{
    const MapEditor::Places starts = startsOfSelection();
    m_editor.place(movedBy(starts, m_editor.limited(starts, by)));
    m_scene.reveal(m_scene.current() >= 0 ? m_scene.current() : m_scene.selection().front());
}

bool MapInput::press(const QMouseEvent& event)
{
    const QPointF at = event.position();
    m_pressedAt = m_lastAt = at;
    m_moved = false;
    m_drag = Drag::None;
    m_editor.newRun();
    const std::optional<View> view = m_scene.viewAt(at);
    if (!view)
        return false;
    m_scene.setActiveView(*view);
    m_dragView = *view;
    const int handle = m_scene.handleAt(at);
    const bool adding = event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (event.button() == Qt::MiddleButton) {
        m_drag = Drag::Scroll;
    } else if (event.button() == Qt::RightButton) {
        if (handle >= 0 && !m_scene.isSelected(handle))
            m_scene.select({handle}, handle); // what the context menu acts on
    } else if (event.button() != Qt::LeftButton) {
        return false;
    } else if (handle < 0 && event.modifiers() & Qt::AltModifier) {
        m_drag = m_backdrop.isNull() || *view != View::Scoreboard ? Drag::None : Drag::Backdrop;
        m_backdropStart = m_backdrop.placement();
    } else if (handle < 0) {
        m_drag = Drag::Band;
        // A band adds to a selection of its own view only: the two views
        // measure in different units.
        const QList<int>& selected = m_scene.selection();
        m_bandAddsTo = adding && !selected.isEmpty() && maphandles::viewOf(selected.front()) == *view
                           ? selected
                           : QList<int>();
        m_scene.select(m_bandAddsTo);
    } else if (adding) {
        m_scene.toggle(handle);
    } else {
        // A handle of the selection drags all of it.
        m_scene.select(m_scene.isSelected(handle) ? m_scene.selection() : QList<int>{handle}, handle);
        m_drag = Drag::Handles;
        m_pressed = handle;
        m_starts = startsOfSelection();
        m_offset = {};
    }
    return true;
}

bool MapInput::move(const QMouseEvent& event)
{
    const QPointF at = event.position();
    m_moved = m_moved || QLineF(at, m_pressedAt).length() > kClickDistance;
    const double scale = m_scene.view(m_dragView).transform.scale;
    switch (m_drag) {
    case Drag::None:
        return m_scene.setHovered(m_scene.handleAt(at));
    case Drag::Scroll:
        m_scene.pan(m_dragView, at - std::exchange(m_lastAt, at));
        return true;
    case Drag::Backdrop: {
        Backdrop::Placement placement = m_backdropStart;
        placement.at += (at - m_pressedAt) / scale;
        m_backdrop.setPlacement(placement);
        return true;
    }
    case Drag::Band: {
        const QRectF band = QRectF(m_pressedAt, at).normalized().intersected(m_scene.view(m_dragView).rect);
        m_scene.setBand(band);
        m_scene.select(m_bandAddsTo + m_scene.handlesIn(band, m_dragView));
        return true;
    }
    case Drag::Handles:
        dragHandles(at, event.modifiers());
        return true;
    }
    return false;
}

void MapInput::dragHandles(QPointF at, Qt::KeyboardModifiers modifiers)
{
    const double scale = m_scene.view(m_dragView).transform.scale;
    const QPointF moved = (at - m_pressedAt) / scale;
    QPoint offset(int(std::lround(moved.x())), int(std::lround(moved.y())));
    if (modifiers & Qt::ShiftModifier)
        offset = arrange::constrained(offset);
    std::vector<MapScene::Guide> guides;
    if (!(modifiers & Qt::AltModifier)) {
        // Caught by the handles of the view that stay where they are.
        std::vector<int> still;
        std::vector<QPointF> others;
        for (int h = maphandles::firstOf(m_dragView); h < maphandles::endOf(m_dragView); ++h)
            if (!m_scene.isSelected(h))
                still.push_back(h), others.push_back(m_scene.positions()[std::size_t(h)]);
        const QPoint start = std::find_if(m_starts.begin(), m_starts.end(), [this](const auto& place) {
                                 return place.first == m_pressed;
                             })->second;
        arrange::Snap snap = arrange::snapped(start, offset, others, kSnapDistance / scale);
        const bool alongX = !(modifiers & Qt::ShiftModifier) || offset.y() == 0;
        const bool alongY = !(modifiers & Qt::ShiftModifier) || offset.x() == 0;
        if (snap.toX >= 0 && alongX)
            offset.setX(snap.offset.x()),
                guides.push_back({maphandles::Axis::X, still[std::size_t(snap.toX)]});
        if (snap.toY >= 0 && alongY)
            offset.setY(snap.offset.y()),
                guides.push_back({maphandles::Axis::Y, still[std::size_t(snap.toY)]});
    }
    m_scene.setGuides(guides);
    offset = m_editor.limited(m_starts, offset);
    if (offset != m_offset) {
        m_offset = offset;
        m_editor.place(movedBy(m_starts, offset));
    }
}

bool MapInput::release(const QMouseEvent& event)
{
    // A click without a drag on one of several selected takes it alone.
    if (m_drag == Drag::Handles && !m_moved &&
        !(event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        m_scene.select({m_pressed}, m_pressed);
    m_drag = Drag::None;
    m_scene.setGuides({});
    m_scene.setBand({});
    m_editor.newRun(); // nudges after a drag are a step of their own
    return true;
}

bool MapInput::doubleClick(const QMouseEvent& event)
{
    m_drag = Drag::None;
    const int handle = m_scene.handleAt(event.position());
    if (std::find(maphandles::kClock.begin(), maphandles::kClock.end(), handle) == maphandles::kClock.end())
        return false;
    m_scene.select(QList<int>(maphandles::kClock.begin(), maphandles::kClock.end()), handle);
    return true;
}

bool MapInput::wheel(const QWheelEvent& event)
{
    const QPoint turn = event.angleDelta();
    const View view = m_scene.viewAt(event.position()).value_or(m_scene.activeView());
    if (event.modifiers() & Qt::AltModifier) {
        // Some systems turn the wheel sideways while Alt is held.
        scaleBackdrop((turn.x() + turn.y()) / 120.0, event.position());
    } else if (event.modifiers() & Qt::ControlModifier) {
        // A notch is 120; a touchpad sends it in small parts, and a sideways
        // turn is no zoom at all.
        m_wheel += turn.y();
        const int notches = m_wheel / 120;
        m_wheel -= notches * 120;
        if (notches)
            m_scene.zoom(view, std::pow(kZoomStep, notches), event.position());
    } else {
        const QPointF by = QPointF(turn) * kScrollStep / 60;
        m_scene.pan(view, event.modifiers() & Qt::ShiftModifier ? QPointF(by.y(), by.x()) : by);
    }
    return true;
}

void MapInput::scaleBackdrop(double notches, QPointF at)
{
    if (m_backdrop.isNull())
        return;
    // The point of the image under the mouse stays there.
    Backdrop::Placement placement = m_backdrop.placement();
    const QPointF under = m_scene.view(View::Scoreboard).transform.toGame(at);
    const double scale = std::clamp(placement.scalePercent + notches, 1.0, 1000.0);
    placement.at = under - (under - placement.at) * scale / placement.scalePercent;
    placement.scalePercent = scale;
    m_backdrop.setPlacement(placement);
}

void MapInput::arrangeSelection(const std::function<std::vector<QPoint>(std::vector<QPoint>)>& arranged)
{
    MapEditor::Places places = startsOfSelection();
    std::vector<QPoint> points;
    for (const auto& [handle, at] : places)
        points.push_back(at);
    points = arranged(points);
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i].second = points[i];
    m_editor.place(places, true);
    m_editor.newRun();
}
