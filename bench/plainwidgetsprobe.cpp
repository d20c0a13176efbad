// The floor under the editor's own start-up: its window's controls made of
// plain Qt widgets (see plainwidgets.h), run until shown and idle; then it
// reports the time and its peak memory and quits.
//
//   varnel-plain-widgets-probe SKETCH     a file written by plainwidgets::sketch

#include "idleprobe.h"
#include "plainwidgets.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>

#include <cstdio>

int main(int argc, char* argv[])
{
    idleprobe::mark("main");
    QApplication app(argc, argv);
    idleprobe::mark("application");
    QFile file(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "varnel-plain-widgets-probe: cannot read the sketch\n");
        return 1;
    }
    const QByteArray sketch = file.readAll();
    QMainWindow window;
    if (!plainwidgets::build(sketch, window)) {
        std::fprintf(stderr, "varnel-plain-widgets-probe: the sketch is damaged\n");
        return 1;
    }
    return idleprobe::showAndReport(window);
}
