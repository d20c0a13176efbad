// The floor for the editor's start-up and memory: an empty main window, built
// with the same flags, run until it is shown and idle; then it reports the
// time and its peak memory and quits.

#include "idleprobe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    idleprobe::mark("main");
    QApplication app(argc, argv);
    idleprobe::mark("application");
    QMainWindow window;
    return idleprobe::showAndReport(window);
}
