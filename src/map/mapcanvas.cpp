#include "mapcanvas.h"

#include "baza.h"
#include "layoutdrawing.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

using maphandles::View;

namespace {

// The smallest of 1, 2, 5, 10, 20, ... game pixels that is at least `least`.
double roundStep(double least)
{
    const double decade = std::pow(10, std::floor(std::log10(std::max(least, 1.0))));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * decade >= least)
            return step * decade;
    return 10 * decade;
}

// Grid lines at least 8 screen pixels apart, numbered about every 60, over
// the exposed part only: far-out values at a high zoom cost no more.
void drawGrid(QPainter& painter, const MapView& view, const QRectF& exposed)
{
    const ViewTransform& transform = view.transform;
    const double step = roundStep(8 / transform.scale), numbered = roundStep(60 / transform.scale);
    const QRectF game = transform.toGame(exposed);
    for (const bool vertical : {true, false}) {
        const double from = vertical ? game.left() : game.top(), to = vertical ? game.right() : game.bottom();
        for (double k = std::ceil(from / step); k * step <= to; ++k) {
            const double value = k * step;
            const bool isNumbered = std::fmod(value, numbered) == 0;
            const QPointF at = transform.toScreen({value, value});
            painter.setPen(QColor(isNumbered ? 0xc8c8c8 : 0xececec));
            vertical ? painter.drawLine(QPointF(at.x(), exposed.top()), QPointF(at.x(), exposed.bottom()))
                     : painter.drawLine(QPointF(exposed.left(), at.y()), QPointF(exposed.right(), at.y()));
            if (!isNumbered)
                continue;
            painter.setPen(Qt::gray);
            vertical ? painter.drawText(QPointF(at.x() + 2, view.rect.top() + 12), QString::number(value))
                     : painter.drawText(QPointF(view.rect.left() + 2, at.y() - 2), QString::number(value));
        }
    }
}

// The ring round a selected handle, drawn once: it is drawn often.
const QImage& selectionRing(qreal pixelRatio)
{
    static QImage ring;
    if (ring.isNull() || ring.devicePixelRatio() != pixelRatio) {
        ring = QImage(QSize(20, 20) * pixelRatio, QImage::Format_ARGB32_Premultiplied);
        ring.setDevicePixelRatio(pixelRatio);
        ring.fill(Qt::transparent);
        QPainter painter(&ring);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawEllipse(QPointF(10, 10), 8, 8);
    }
    return ring;
}

} // namespace

MapCanvas::MapCanvas(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history, QWidget* parent)
    : QWidget(parent), m_baza(baza), m_editor(panel, history), m_input(m_scene, m_editor, m_backdrop)
{
    setObjectName(QStringLiteral("mapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // the label and tooltip of the marker under the mouse
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
    refresh();
}

void MapCanvas::refresh()
{
    // Only a view whose handles moved is drawn again: a nudge redraws one.
    const maphandles::Points points = maphandles::positions(m_baza.record());
    for (const View view : maphandles::kViews)
        if (!std::equal(points.begin() + maphandles::firstOf(view), points.begin() + maphandles::endOf(view),
                        m_scene.positions().begin() + maphandles::firstOf(view)))
            update(m_scene.view(view).rect.toAlignedRect());
    m_scene.setPositions(points);
}

bool MapCanvas::loadBackdrop(const QString& path, QString* why)
{
    Backdrop loaded;
    if (!loaded.load(path, why))
        return false;
    m_backdrop = loaded;
    handled(true);
    return true;
}

void MapCanvas::setBackdropPlacement(const Backdrop::Placement& placement)
{
    m_backdrop.setPlacement(placement);
    handled(true);
}

void MapCanvas::clearBackdrop()
{
    m_backdrop.clear();
    handled(true);
}

void MapCanvas::recallBackdrop(const QString& gameFile)
{
    m_backdrop.recall(gameFile);
    handled(true);
}

void MapCanvas::fit()
{
    m_scene.fit();
    handled(true);
}

void MapCanvas::align(arrange::Alignment alignment)
{
    if (m_scene.selection().size() >= 2)
        m_input.arrangeSelection(
            [alignment](std::vector<QPoint> points) { return arrange::aligned(points, alignment); });
    handled(true);
}

void MapCanvas::distribute(Qt::Orientation axis)
{
    if (m_scene.selection().size() >= 3)
        m_input.arrangeSelection(
            [axis](std::vector<QPoint> points) { return arrange::distributed(points, axis); });
    handled(true);
}

QString MapCanvas::status() const
{
    const QList<int>& selection = m_scene.selection();
    if (const std::optional<QPoint> offset = m_input.dragOffset())
        return QStringLiteral("Moving %1 by %2, %3")
            .arg(selection.size() == 1 ? maphandles::name(selection.front())
                                       : QStringLiteral("%1 handles").arg(selection.size()))
            .arg(offset->x())
            .arg(offset->y());
    if (selection.isEmpty())
        return QStringLiteral("Click a marker or a corner, Shift+click for more, drag around several; Ctrl+A "
                              "selects all, Escape none. Alt+drag moves the backdrop.");
    // As the boxes show them: corners in pixels.
    QRect box(m_editor.shown(selection.front()), QSize(1, 1));
    for (const int h : selection)
        box |= QRect(m_editor.shown(h), QSize(1, 1));
    if (selection.size() == 1)
        return QStringLiteral("%1   X %2   Y %3")
            .arg(maphandles::name(selection.front()))
            .arg(box.x())
            .arg(box.y());
    return QStringLiteral("%1 selected   X %2 to %3   Y %4 to %5")
        .arg(selection.size())
        .arg(box.left())
        .arg(box.right())
        .arg(box.top())
        .arg(box.bottom());
}

void MapCanvas::handled(bool taken)
{
    if (!taken)
        return;
    if (m_scene.takeLookChanged())
        update();
    emit changed();
    if (const auto shown = std::pair(m_backdrop.path(), m_backdrop.placement()); shown != m_shownBackdrop) {
        m_shownBackdrop = shown;
        update();
        emit backdropChanged();
    }
}

bool MapCanvas::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_input.key(*static_cast<QKeyEvent*>(event))) {
        handled(true);
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        // Each marker's name is its tooltip.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int handle = m_scene.handleAt(help->pos());
        handle < 0 ? QToolTip::hideText()
                   : QToolTip::showText(help->globalPos(), maphandles::name(handle), this);
        return true;
    }
    return QWidget::event(event);
}

void MapCanvas::resizeEvent(QResizeEvent*)
{
    m_scene.setArea(QRectF(rect()).adjusted(8, 24, -8, -8)); // a title above each view
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    handled(m_input.press(*event));
}
void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    handled(m_input.move(*event));
}
void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    handled(m_input.release(*event));
}
void MapCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    handled(m_input.doubleClick(*event));
}
void MapCanvas::wheelEvent(QWheelEvent* event)
{
    handled(m_input.wheel(*event));
}

void MapCanvas::leaveEvent(QEvent*)
{
    if (m_scene.setHovered(-1))
        update(); // a label shown for the marker under the mouse goes
}

void MapCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    const QStringList titles{QStringLiteral("Scoreboard, in game pixels"),
                             QStringLiteral("Panel corners, in pixels")};
    for (const View view : maphandles::kViews) {
        const QRectF area = m_scene.view(view).rect;
        if (!area.contains(QRectF(event->rect()))) { // else neither title nor frame is exposed
            const bool active = view == m_scene.activeView();
            QFont title = font();
            title.setBold(active);
            painter.setFont(title);
            painter.setPen(active ? palette().color(QPalette::Highlight) : QColor(Qt::gray));
            painter.drawText(area.topLeft() - QPointF(0, 6), titles[int(view)]);
            painter.drawRect(area.adjusted(-0.5, -0.5, 0.5, 0.5));
            painter.setFont(font());
        }
        if (const QRectF exposed = area.intersected(event->rect()); !exposed.isEmpty()) {
            painter.save();
            painter.setClipRect(exposed);
            paintView(painter, view, exposed);
            painter.restore();
        }
    }
}

void MapCanvas::paintView(QPainter& painter, View view, const QRectF& exposed)
{
    const ViewTransform& transform = m_scene.view(view).transform;
    drawGrid(painter, m_scene.view(view), exposed);
    if (view == View::Scoreboard)
        m_backdrop.draw(painter, transform, exposed);
    const mapdrawing::LayoutPainter draw(painter, m_scene.positions());
    // The guides a drag snapped to, through the handle each comes from.
    painter.setPen(QPen(QColor(230, 0, 150), 1, Qt::DashLine));
    for (const MapScene::Guide& guide : m_scene.guides()) {
        if (maphandles::viewOf(guide.to) != view)
            continue;
        const QPointF at = m_scene.screenPosition(guide.to);
        guide.axis == maphandles::Axis::X
            ? painter.drawLine(QPointF(at.x(), exposed.top()), QPointF(at.x(), exposed.bottom()))
            : painter.drawLine(QPointF(exposed.left(), at.y()), QPointF(exposed.right(), at.y()));
    }
    draw.drawView(view, transform);
    for (const int h : m_scene.selection())
        if (maphandles::viewOf(h) == view)
            painter.drawImage(m_scene.screenPosition(h) - QPointF(10, 10), selectionRing(devicePixelRatioF()));
    const std::vector<labels::Placed>& placed = m_scene.labels(view);
    draw.drawLabels(view, placed, transform);
    // Where there was no room, the label of the selected marker or of the one under the mouse still shows.
    for (int h = maphandles::firstOf(view); h < maphandles::endOf(view); ++h) {
        const labels::Placed& label = placed[std::size_t(h - maphandles::firstOf(view))];
        if (!label.shown && (h == m_scene.hovered() || m_scene.isSelected(h)))
            draw.drawLabel(h, label, transform);
    }
    if (!m_scene.band().isNull() && m_scene.viewAt(m_scene.band().center()) == view) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(40);
        painter.setBrush(fill);
        painter.drawRect(m_scene.band());
    }
}
