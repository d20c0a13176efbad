#include "mapscene.h"

#include "layoutdrawing.h"

#include <QLineF>

#include <algorithm>

using maphandles::View;

void MapScene::setPositions(const maphandles::Points& points)
{
    if (points == m_points)
        return;
    m_points = points;
    m_labels = {};
}

QPointF MapScene::screenPosition(int handle) const
{
    return view(maphandles::viewOf(handle)).transform.toScreen(m_points[std::size_t(handle)]);
}

void MapScene::setArea(const QRectF& area)
{
    const std::array<QRectF, 2> rects = splitViews(area, mapdrawing::kFitMargin / 2);
    for (const View v : maphandles::kViews) {
        viewToChange(v).rect = rects[std::size_t(v)];
        if (view(v).fitted)
            viewToChange(v).fit(contentBounds(m_points, v));
    }
    viewsChanged();
}

std::optional<View> MapScene::viewAt(QPointF screen) const
{
    for (const View v : maphandles::kViews)
        if (view(v).rect.contains(screen))
            return v;
    return std::nullopt;
}

void MapScene::fit()
{
    for (const View v : maphandles::kViews)
        viewToChange(v).fit(contentBounds(m_points, v));
    viewsChanged();
}

void MapScene::zoom(View v, double factor, QPointF at)
{
    viewToChange(v).zoomAbout(factor, at);
    viewsChanged();
}

void MapScene::pan(View v, QPointF by)
{
    viewToChange(v).pan(by);
    viewsChanged();
}

void MapScene::reveal(int handle)
{
    const View v = maphandles::viewOf(handle);
    const ViewTransform before = view(v).transform;
    viewToChange(v).reveal(screenPosition(handle), 2 * kReach);
    if (view(v).transform != before)
        viewsChanged();
}

int MapScene::handleAt(QPointF at) const
{
    const std::optional<View> v = viewAt(at);
    int nearest = -1;
    double distance = kReach;
    for (int h = v ? maphandles::firstOf(*v) : 0; v && h < maphandles::endOf(*v); ++h)
        if (const double d = QLineF(screenPosition(h), at).length(); d <= distance)
            nearest = h, distance = d;
    return nearest;
}

QList<int> MapScene::handlesIn(const QRectF& screen, View v) const
{
    QList<int> inside;
    for (int h = maphandles::firstOf(v); h < maphandles::endOf(v); ++h)
        if (screen.contains(screenPosition(h)))
            inside << h;
    return inside;
}

void MapScene::select(QList<int> handles, int current)
{
    std::sort(handles.begin(), handles.end());
    handles.erase(std::unique(handles.begin(), handles.end()), handles.end());
    m_selection = handles;
    m_current = current;
    m_lookChanged = true;
    if (!handles.isEmpty())
        m_active = maphandles::viewOf(handles.front());
}

void MapScene::toggle(int handle)
{
    QList<int> handles = m_selection;
    if (!handles.isEmpty() && maphandles::viewOf(handles.front()) != maphandles::viewOf(handle))
        handles.clear();
    if (!handles.removeOne(handle))
        handles << handle;
    select(handles, handles.contains(handle) ? handle : -1);
}

bool MapScene::setHovered(int handle)
{
    const bool changed = std::exchange(m_hovered, handle) != handle;
    m_lookChanged = m_lookChanged || changed;
    return changed;
}

const std::vector<labels::Placed>& MapScene::labels(View v) const
{
    std::optional<std::vector<labels::Placed>>& placed = m_labels[std::size_t(v)];
    if (!placed)
        placed = mapdrawing::placeLabels(m_points, v, view(v).transform, view(v).rect);
    return *placed;
}
