// A second reference for the editor's start-up and memory: a main window of
// a given size with a menu and one line of text, and nothing else. It shows
// what any window of the editor's size pays for its backing store and for
// starting the font system, before the first control of the editor exists.
//
//   varnel-text-window-probe WIDTH HEIGHT

#include "idleprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    idleprobe::mark("main");
    QApplication app(argc, argv);
    idleprobe::mark("application");
    QMainWindow window;
    if (argc > 2)
        window.resize(QString::fromLocal8Bit(argv[1]).toInt(), QString::fromLocal8Bit(argv[2]).toInt());
    window.menuBar()->addMenu(QStringLiteral("Menu"));
    window.setCentralWidget(new QLabel(QStringLiteral("One line of text")));
    return idleprobe::showAndReport(window);
}
