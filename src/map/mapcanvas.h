#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

class Baza;
class EditorPanel;
namespace editing {
class LayoutHistory;
}

// The scoreboard drawn from the record: the fourteen placed elements as
// labelled markers in game pixels over an optional backdrop, and beside them
// the HOME and AWAY corners as two quadrilaterals on one grid. Its 22 handles
// are dragged with the mouse or selected with Tab and moved with the arrow
// keys; every move sets the panel's boxes, as typing into them would.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHandleCount = 22;

    MapCanvas(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history, QWidget* parent = nullptr);

    // Where handle h stands, in game pixels (corners: the value / 16).
    QPointF position(int handle) const;
    // Where it is drawn, in this widget's pixels.
    QPoint screenPosition(int handle) const;
    int selected() const { return m_selected; }
    int zoom() const { return m_zoom; }
    void setBackdrop(const QImage& image);

    // Follows the record: new size, new picture.
    void refresh();

signals:
    // A handle was selected or moved with the keys, and is drawn at `at`:
    // whoever shows a part of the map shows that.
    void selectionMoved(QPoint at);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Area {
        QRectF game; // what it shows, in game pixels
        QPoint origin; // where that starts on the widget
    };
    std::array<Area, 2> areas() const; // markers, corners
    void select(int handle);
    void moveTo(int handle, QPoint game);
    void setZoom(int zoom);

    EditorPanel& m_panel;
    const Baza& m_baza;
    editing::LayoutHistory& m_history;
    std::array<QColor, kHandleCount> m_colors;
    QImage m_backdrop;
    int m_zoom = 2;
    int m_selected = -1;
    bool m_dragging = false;
    int m_run = 0; // each drag and each run of nudges is a step of its own
    int m_wheel = 0; // turned with Ctrl and not yet a whole notch
};
