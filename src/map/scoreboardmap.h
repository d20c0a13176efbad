#pragma once

#include <QWidget>

#include <functional>

class Baza;
class EditorPanel;
class MapCanvas;
class QAction;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QToolBar;
namespace editing {
class LayoutHistory;
}

// The "Scoreboard Map" window: the map canvas under a tool bar of its
// commands (fit, align, distribute), the backdrop and its placement, and a
// status line that says where the selection stands.
class ScoreboardMap : public QWidget {
    Q_OBJECT
public:
    // chooseImage asks the person for an image file; empty when cancelled.
    ScoreboardMap(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history,
                  std::function<QString()> chooseImage, QWidget* parent = nullptr);

    MapCanvas* canvas() const { return m_canvas; }
    // The game file on show: the backdrop remembered for it comes back, and
    // both views fit its layout.
    void setGameFile(const QString& path);

private:
    QToolBar* buildTools();
    QWidget* buildBackdropRow();
    void chooseBackdrop();
    void placeBackdrop(); // from the fields
    void showBackdrop();  // in the fields, and remembered
    void showStatus();

    MapCanvas* m_canvas;
    std::function<QString()> m_chooseImage;
    QString m_gameFile;
    QLabel* m_status = nullptr;
    QList<QAction*> m_aligns, m_distributes;
    QDoubleSpinBox *m_backdropX = nullptr, *m_backdropY = nullptr, *m_backdropScale = nullptr;
    QSpinBox* m_backdropOpacity = nullptr;
    QWidget* m_backdropFields = nullptr;
};
