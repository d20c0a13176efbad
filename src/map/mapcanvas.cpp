#include "mapcanvas.h"

#include "baza.h"
#include "editorpanel.h"
#include "layouthistory.h"
#include "panelframe.h"
#include "ucupdownbox.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <string>

namespace {

struct Handle {
    const char* key; // of its fields, without ".x" and ".y"
    const char* label;
};

// In the order Tab goes through them: the placed elements, the clock
// characters from left to right as the panel shows them, then the corners.
constexpr std::array<Handle, MapCanvas::kHandleCount> kHandles{{
    {"left_shape", "Left Shape"},     {"central_shape", "Central Shape"}, {"team_a_shape", "Team A Shape"},
    {"team_b_shape", "Team B Shape"}, {"team_a_name", "Team A Name"},     {"team_b_name", "Team B Name"},
    {"team_a_result", "Team A Result"}, {"team_b_result", "Team B Result"}, {"time_shape", "Time Shape"},
    {"clock.digit1", "Digit 1"},      {"clock.digit2", "Digit 2"},        {"clock.colon", "Colon"},
    {"clock.digit3", "Digit 3"},      {"clock.digit4", "Digit 4"},        {"home.a", "a"},
    {"home.b", "b"},                  {"home.c", "c"},                    {"home.d", "d"},
    {"away.a", "a"},                  {"away.b", "b"},                    {"away.c", "c"},
    {"away.d", "d"},
}};
constexpr int kFirstCorner = 14;
constexpr int kMargin = 24;  // around each area, room for its title and labels
constexpr int kGap = 48;     // between the two areas
constexpr int kReach = 8;    // how near the mouse must be to grab a handle

const layout::FieldInfo& fieldOf(int handle, const char* axis)
{
    const layout::FieldInfo* field = layout::fieldByKey(std::string(kHandles[std::size_t(handle)].key) + axis);
    Q_ASSERT(field);
    return *field;
}

int boxOf(int handle, const char* axis) { return fieldOf(handle, axis).textField + 1; }

// A handle takes the colour of its group on the panel: the caption of the
// frame its boxes sit in, the background of a clock character's coloured
// frame, or, for a corner, the colour of HOME or AWAY.
QColor panelColour(const ucUpDownBox* box)
{
    for (auto* frame = qobject_cast<const PanelFrame*>(box->parentWidget()); frame;
         frame = qobject_cast<const PanelFrame*>(frame->parentWidget())) {
        if (frame->caption().isEmpty())
            return frame->background();
        if (!frame->caption().startsWith(QLatin1String("Points")))
            return frame->captionColor();
    }
    return Qt::black;
}

} // namespace

MapCanvas::MapCanvas(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history, QWidget* parent)
    : QWidget(parent), m_panel(panel), m_baza(baza), m_history(history)
{
    setObjectName(QStringLiteral("mapCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    for (int h = 0; h < kHandleCount; ++h)
        m_colors[std::size_t(h)] = panelColour(panel.box(boxOf(h, ".x")));
    refresh();
}

QPointF MapCanvas::position(int handle) const
{
    const layout::FieldInfo &x = fieldOf(handle, ".x"), &y = fieldOf(handle, ".y");
    const double scale = x.kind == layout::FieldKind::Vertex ? 16.0 : 1.0;
    return {m_baza.value(x.index) / scale, m_baza.value(y.index) / scale};
}

std::array<MapCanvas::Area, 2> MapCanvas::areas() const
{
    std::array<Area, 2> result;
    for (int part = 0; part < 2; ++part) {
        // The origin, every handle of the area and the backdrop, with room
        // around them, on whole tens so that the grid lines fall on them.
        double left = 0, top = 0, right = 0, bottom = 0;
        if (part == 0 && !m_backdrop.isNull())
            right = m_backdrop.width(), bottom = m_backdrop.height();
        for (int h = part ? kFirstCorner : 0; h < (part ? kHandleCount : kFirstCorner); ++h) {
            const QPointF p = position(h);
            left = std::min(left, p.x()), right = std::max(right, p.x());
            top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
        }
        const auto down = [](double v) { return std::floor(v / 10 - 1) * 10; };
        const auto up = [](double v) { return std::ceil(v / 10 + 1) * 10; };
        result[std::size_t(part)].game = QRectF(QPointF(down(left), down(top)), QPointF(up(right), up(bottom)));
    }
    result[0].origin = QPoint(kMargin, kMargin);
    result[1].origin = QPoint(kMargin + int(result[0].game.width()) * m_zoom + kGap, kMargin);
    return result;
}

QPoint MapCanvas::screenPosition(int handle) const
{
    const Area area = areas()[handle < kFirstCorner ? 0 : 1];
    return area.origin + ((position(handle) - area.game.topLeft()) * m_zoom).toPoint();
}

void MapCanvas::refresh()
{
    const std::array<Area, 2> parts = areas();
    const int height = int(std::max(parts[0].game.height(), parts[1].game.height())) * m_zoom;
    setFixedSize(parts[1].origin.x() + int(parts[1].game.width()) * m_zoom + kMargin, height + 2 * kMargin);
    update();
}

void MapCanvas::setBackdrop(const QImage& image)
{
    m_backdrop = image;
    refresh();
}

void MapCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    const std::array<Area, 2> parts = areas();
    const QStringList titles{QStringLiteral("Scoreboard, in game pixels"), QStringLiteral("Panel corners, in pixels")};
    for (std::size_t part = 0; part < 2; ++part) {
        const Area& area = parts[part];
        const QRect frame(area.origin, (area.game.size() * m_zoom).toSize());
        painter.setPen(Qt::black);
        painter.drawText(frame.topLeft() - QPoint(0, 8), titles[qsizetype(part)]);
        if (part == 0 && !m_backdrop.isNull())
            painter.drawImage(QRectF(area.origin - area.game.topLeft() * m_zoom, m_backdrop.size() * m_zoom),
                              m_backdrop);
        // One line per game pixel when they are far enough apart, a darker
        // one every ten, numbered every fifty.
        for (int axis = 0; axis < 2; ++axis) {
            const double from = axis ? area.game.top() : area.game.left();
            const double to = axis ? area.game.bottom() : area.game.right();
            for (int v = int(from); v <= int(to); v += m_zoom >= 6 ? 1 : 10) {
                const int at = int((v - from) * m_zoom) + (axis ? frame.top() : frame.left());
                painter.setPen(QColor(v % 10 ? 0xf0f0f0 : v % 50 ? 0xdcdcdc : 0xb0b0b0));
                axis ? painter.drawLine(frame.left(), at, frame.right(), at)
                     : painter.drawLine(at, frame.top(), at, frame.bottom());
                if (v % 50 == 0) {
                    painter.setPen(Qt::gray);
                    axis ? painter.drawText(frame.left() - kMargin + 2, at + 4, QString::number(v))
                         : painter.drawText(at + 2, frame.bottom() + 14, QString::number(v));
                }
            }
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    // The corners, outlined a-b-d-c, so that a panel turned over shows at once.
    for (int team = 0; team < 2; ++team) {
        const int a = kFirstCorner + 4 * team;
        QPolygon outline;
        for (int corner : {0, 1, 3, 2})
            outline << screenPosition(a + corner);
        painter.setPen(QPen(m_colors[std::size_t(a)], 2));
        painter.drawPolygon(outline);
        // Below corner a, one under the other: the two panels often coincide.
        painter.drawText(screenPosition(a) + QPoint(10, 18 + 14 * team), team ? QStringLiteral("AWAY")
                                                                                : QStringLiteral("HOME"));
    }
    for (int h = 0; h < kHandleCount; ++h) {
        const QPoint at = screenPosition(h);
        const QColor colour = m_colors[std::size_t(h)];
        painter.setPen(QPen(colour.darker(150), 1));
        painter.setBrush(colour);
        painter.drawEllipse(at, 4, 4);
        painter.setBrush(Qt::NoBrush);
        // Neighbours' labels alternate above and below their markers, so that
        // the clock's close characters stay readable.
        painter.drawText(at + QPoint(7, h % 2 && h < kFirstCorner ? 15 : -5),
                         QString::fromLatin1(kHandles[std::size_t(h)].label));
        if (h == m_selected) {
            painter.setPen(QPen(Qt::black, 2));
            painter.drawEllipse(at, 8, 8);
        }
    }
}

bool MapCanvas::event(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::event(event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    const int step = key->modifiers() & Qt::ShiftModifier ? 10 : 1;
    QPoint by;
    switch (key->key()) {
    case Qt::Key_Tab:
        select(m_selected < 0 ? 0 : (m_selected + 1) % kHandleCount);
        return true;
    case Qt::Key_Backtab:
        select(m_selected <= 0 ? kHandleCount - 1 : m_selected - 1);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (!control)
            return QWidget::event(event);
        setZoom(m_zoom + 1);
        return true;
    case Qt::Key_Minus:
        if (!control)
            return QWidget::event(event);
        setZoom(m_zoom - 1);
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
        return QWidget::event(event);
    }
    if (m_selected < 0)
        return QWidget::event(event); // the scroll area's, to look around
    // From where the handle is drawn, in whole pixels as the boxes show it:
    // halves go to the even neighbour, as when a layout is shown.
    const QPointF at = position(m_selected);
    moveTo(m_selected, QPoint(int(std::nearbyint(at.x())), int(std::nearbyint(at.y()))) + by);
    emit selectionMoved(screenPosition(m_selected));
    return true;
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    int nearest = -1;
    for (int h = 0; h < kHandleCount; ++h)
        if ((screenPosition(h) - event->position().toPoint()).manhattanLength() <= kReach)
            nearest = h;
    select(nearest);
    m_dragging = nearest >= 0 && event->button() == Qt::LeftButton;
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const Area area = areas()[m_selected < kFirstCorner ? 0 : 1];
    const QPointF game = QPointF(event->position() - area.origin) / m_zoom + area.game.topLeft();
    moveTo(m_selected, QPoint(int(std::floor(game.x() + 0.5)), int(std::floor(game.y() + 0.5))));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
    ++m_run; // nudges after a drag are a step of their own
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return QWidget::wheelEvent(event);
    // A notch is 120; a touchpad sends it in small parts, and a sideways
    // turn is no zoom at all.
    m_wheel += event->angleDelta().y();
    for (; m_wheel >= 120; m_wheel -= 120)
        setZoom(m_zoom + 1);
    for (; m_wheel <= -120; m_wheel += 120)
        setZoom(m_zoom - 1);
}

void MapCanvas::select(int handle)
{
    m_selected = handle;
    ++m_run;
    update();
    if (handle >= 0)
        emit selectionMoved(screenPosition(handle));
}

void MapCanvas::moveTo(int handle, QPoint game)
{
    // No further than the game file can hold, so that the boxes never show
    // what a Save would not write: corners are kept in sixteenths of a pixel.
    const int unit = handle < kFirstCorner ? 1 : 16;
    const auto storable = [unit](int pixels) { return std::clamp(pixels, -32768 / unit, 32767 / unit); };
    m_history.setSource(editing::StepSource{editing::StepSource::MapHandle, handle, m_run});
    m_panel.box(boxOf(handle, ".x"))->setValue(storable(game.x()));
    m_panel.box(boxOf(handle, ".y"))->setValue(storable(game.y()));
    m_history.setSource(std::nullopt);
}

void MapCanvas::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, 1, 16);
    refresh();
}
