#pragma once

#include <QFont>

// The window's fonts are named as the layout was drawn: "MS Sans Serif" and
// "Arial". Liberation Sans, metric-compatible with Arial, stands in for both.
namespace fonts {

// Registers the stand-ins once; safe to call again.
void installSubstitutions();

// A font by family and point size, e.g. designFont("Arial", 12, true): in
// that family where it is installed, else in the first stand-in installed.
QFont designFont(const QString& family, double pointSize, bool bold = false);

} // namespace fonts
