#pragma once

#include <QFont>

#include <thread>

// The window's fonts are named as the layout was drawn: "MS Sans Serif" and
// "Arial". Liberation Sans, metric-compatible with Arial, stands in for both.
namespace fonts {

// Registers the stand-ins once; safe to call again.
void installSubstitutions();

// A font by family and point size, e.g. designFont("Arial", 12, true): in
// that family where it is installed, else in the first stand-in installed.
QFont designFont(const QString& family, double pointSize, bool bold = false);

// Reads the desktop's font configuration on a second thread. Made before
// QApplication, it reads (mostly XML, 4 ms here) while the application
// connects to the display, which takes longer on a real display. Join it
// before the first font is asked for, or the font system reads it again.
// From then on the program's threads share one malloc arena. On Windows
// there is nothing to read (fonts_linux.cpp, fonts_win.cpp).
class ConfigurationReader {
public:
    ConfigurationReader();
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::jthread m_thread;
};

} // namespace fonts
