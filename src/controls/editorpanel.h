#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class PanelFrame;
class ucUpDownBox;

// The working surface of the main window: the 44 boxes in their framed groups,
// the 44 text fields that carry their values as text, the row labels and the
// sample clock. Box N relays every Change into text field N-1; what a text
// change does further is the business of whoever listens to the text fields.
class EditorPanel : public QWidget {
    Q_OBJECT
public:
    explicit EditorPanel(QWidget* parent = nullptr);

    // Box N, 1 to 44.
    ucUpDownBox* box(int number) const;
    // Text field k, 0 to 43.
    QLineEdit* txt(int index) const;
    // A frame by name ("Frame9"), or nullptr.
    PanelFrame* frame(const QString& name) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void takeDesktopPalette();
    void buildFrames();
    void buildClock();
    void buildBoxes();
    void buildTabOrder();

    std::array<ucUpDownBox*, 44> m_boxes{};
    std::array<QLineEdit*, 44> m_txt{};
    bool m_onDarkDesktop = false;
};
