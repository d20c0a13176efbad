#pragma once

#include "arrange.h"
#include "backdrop.h"
#include "mapeditor.h"

#include <QList>

#include <functional>
#include <optional>

class MapScene;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

// What the keys, the mouse and the wheel do on the map: select handles,
// move the selection through the editor with guides to snap to, draw a
// rubber band, zoom and scroll the views, place the backdrop.
class MapInput {
public:
    MapInput(MapScene& scene, MapEditor& editor, Backdrop& backdrop);

    // Each answers whether the map took the event.
    bool key(const QKeyEvent& event);
    bool press(const QMouseEvent& event);
    bool move(const QMouseEvent& event);
    bool release(const QMouseEvent& event);
    bool doubleClick(const QMouseEvent& event);
    bool wheel(const QWheelEvent& event);

    // By how much the handles being dragged have moved; nothing between drags.
    std::optional<QPoint> dragOffset() const;
    // Moves every handle of the selection to where arranged puts it, as one step.
    void arrangeSelection(const std::function<std::vector<QPoint>(std::vector<QPoint>)>& arranged);

private:
    enum class Drag { None, Handles, Band, Backdrop, Scroll };

    MapEditor::Places startsOfSelection() const;
    QPointF keyZoomCentre() const;
    void selectNext(int direction);
    void nudge(QPoint by);
    void dragHandles(QPointF at, Qt::KeyboardModifiers modifiers);
    void scaleBackdrop(double notches, QPointF at);

    MapScene& m_scene;
    MapEditor& m_editor;
    Backdrop& m_backdrop;
    Drag m_drag = Drag::None;
    maphandles::View m_dragView = maphandles::View::Scoreboard;
    QPointF m_pressedAt, m_lastAt;
    bool m_moved = false; // further than a click from where the button went down
    int m_pressed = -1;   // the handle that is dragged
    MapEditor::Places m_starts;
    QPoint m_offset;
    QList<int> m_bandAddsTo;
    Backdrop::Placement m_backdropStart;
    int m_wheel = 0; // turned with Ctrl and not yet a whole notch
};
