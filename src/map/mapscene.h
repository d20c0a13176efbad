#pragma once

#include "labelplacement.h"
#include "mapview.h"

#include <QList>

#include <optional>
#include <vector>

// What the map shows, as geometry: the handles where the record puts them,
// the two views and how each is zoomed and scrolled, the selection, the
// guides and the rubber band of a drag, and the labels placed for all that.
// No widget: the canvas draws it and the input handling changes it.
class MapScene {
public:
    static constexpr double kReach = 8; // how near the mouse must be to take a handle

    struct Guide {
        maphandles::Axis axis; // X: a vertical line through the X it took
        int to;                // the handle whose X or Y it took
    };

    void setPositions(const maphandles::Points& points);
    const maphandles::Points& positions() const { return m_points; }
    QPointF screenPosition(int handle) const;

    // Lays both views out in area; fitted views fit again.
    void setArea(const QRectF& area);
    const MapView& view(maphandles::View view) const { return m_views[std::size_t(view)]; }
    std::optional<maphandles::View> viewAt(QPointF screen) const;
    void fit();
    void zoom(maphandles::View view, double factor, QPointF at);
    void pan(maphandles::View view, QPointF by);
    void reveal(int handle);

    // The view that has the keyboard focus: Ctrl+A selects its handles.
    maphandles::View activeView() const { return m_active; }
    void setActiveView(maphandles::View view) { m_active = view, m_lookChanged = true; }

    // The handle drawn nearest to `at` within reach, the last drawn of equals; -1.
    int handleAt(QPointF at) const;
    QList<int> handlesIn(const QRectF& screen, maphandles::View view) const;

    // In ascending order, all of one view: the two measure in different units.
    const QList<int>& selection() const { return m_selection; }
    bool isSelected(int handle) const { return m_selection.contains(handle); }
    // The handle clicked or tabbed to last, where Tab goes on from; -1.
    int current() const { return m_current; }
    void select(QList<int> handles, int current = -1);
    void toggle(int handle);

    int hovered() const { return m_hovered; }
    bool setHovered(int handle); // true when it changed
    const std::vector<Guide>& guides() const { return m_guides; }
    void setGuides(std::vector<Guide> guides) { m_guides = std::move(guides), m_lookChanged = true; }
    const QRectF& band() const { return m_band; }
    void setBand(const QRectF& band) { m_band = band, m_lookChanged = true; }

    // Whether anything besides the handles' places changed since last asked:
    // then all of the map is drawn again, else only a view whose handles moved.
    bool takeLookChanged() { return std::exchange(m_lookChanged, false); }

    // Placed when first asked for after a change of positions or views.
    const std::vector<labels::Placed>& labels(maphandles::View view) const;

private:
    MapView& viewToChange(maphandles::View view) { return m_views[std::size_t(view)]; }
    void viewsChanged() { m_labels = {}, m_lookChanged = true; }

    maphandles::Points m_points{};
    std::array<MapView, 2> m_views;
    maphandles::View m_active = maphandles::View::Scoreboard;
    QList<int> m_selection;
    int m_current = -1;
    int m_hovered = -1;
    std::vector<Guide> m_guides;
    QRectF m_band;
    bool m_lookChanged = true;
    mutable std::array<std::optional<std::vector<labels::Placed>>, 2> m_labels;
};
