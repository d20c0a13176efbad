#pragma once

#include "arrange.h"
#include "backdrop.h"
#include "mapeditor.h"
#include "mapinput.h"
#include "mapscene.h"

#include <QWidget>

class Baza;
class EditorPanel;
namespace editing {
class LayoutHistory;
}

// The map's drawing surface: the scene drawn, with a grid and the backdrop,
// and the person's input handed to the input handling. Every move sets the
// panel's boxes, as typing into them would.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHandleCount = maphandles::kCount;

    MapCanvas(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history, QWidget* parent = nullptr);

    const MapScene& scene() const { return m_scene; }
    // Where handle h stands, in game pixels (corners: the value / 16).
    QPointF position(int handle) const { return m_scene.positions()[std::size_t(handle)]; }
    // Where it is drawn, in this widget's pixels.
    QPoint screenPosition(int handle) const { return m_scene.screenPosition(handle).toPoint(); }
    // Screen pixels per game pixel in the handle's view.
    double scale(int handle) const { return m_scene.view(maphandles::viewOf(handle)).transform.scale; }
    int selected() const { return m_scene.current(); }
    const QList<int>& selection() const { return m_scene.selection(); }

    const Backdrop& backdrop() const { return m_backdrop; }
    // False, and why, for a file that is no PNG or JPEG image.
    bool loadBackdrop(const QString& path, QString* why);
    void setBackdropPlacement(const Backdrop::Placement& placement);
    void clearBackdrop();
    void recallBackdrop(const QString& gameFile);

    // The selection, its place or the drag in words, for the status line.
    QString status() const;
    void fit();
    void align(arrange::Alignment alignment);
    void distribute(Qt::Orientation axis);

    // Follows the record.
    void refresh();

signals:
    // The selection, a drag or the views changed: the status and the commands follow.
    void changed();
    void backdropChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // After input: drawn again, and those who show what it changed told.
    void handled(bool taken);
    void paintView(QPainter& painter, maphandles::View view, const QRectF& exposed);

    const Baza& m_baza;
    MapScene m_scene;
    MapEditor m_editor;
    Backdrop m_backdrop;
    MapInput m_input;
    std::pair<QString, Backdrop::Placement> m_shownBackdrop; // as the window's fields last heard of it
};
