#pragma once

#include <QByteArray>

class QMainWindow;

// The floor under the editor's own start-up: the controls of its window made
// again of plain Qt widgets, with none of the editor's classes, settings or
// cached drawing. A sketch carries, for every widget inside the central
// widget, parents first: its kind, place, visibility, own font and palette,
// and its text.
namespace plainwidgets {

QByteArray sketch(const QMainWindow& window);

// Fills `window` (menus and central widget) after `sketch`: QLineEdit,
// QScrollBar and QLabel as such; a captioned frame as a widget that fills its
// background and draws its caption; anything else as a plain QWidget.
// Returns false when the sketch cannot be read.
bool build(const QByteArray& sketch, QMainWindow& window);

} // namespace plainwidgets
