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

// Reads the desktop's font configuration on a thread of its own; join the
// thread before the first font is used. Reading it is mostly parsing XML
// files, 4 ms here: started before QApplication, it runs while the
// application connects to the display, which takes longer on a real display.
std::jthread readConfigurationAhead();

} // namespace fonts
