#pragma once

#include <QWidget>

#include <functional>

class Baza;
class EditorPanel;
class MapCanvas;
namespace editing {
class LayoutHistory;
}

// The "Scoreboard Map" window: the map canvas in a scroll area, and a button
// that puts a screenshot of the game under the markers.
class ScoreboardMap : public QWidget {
    Q_OBJECT
public:
    // chooseImage asks the person for an image file; empty when cancelled.
    ScoreboardMap(EditorPanel& panel, const Baza& baza, editing::LayoutHistory& history,
                  std::function<QString()> chooseImage, QWidget* parent = nullptr);

    MapCanvas* canvas() const { return m_canvas; }

private:
    void chooseBackdrop();

    MapCanvas* m_canvas;
    std::function<QString()> m_chooseImage;
};
