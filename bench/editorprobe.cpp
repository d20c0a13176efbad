// The editor's own start-up, as in src/main.cpp, run until the window is shown
// and idle; then it reports the time and its peak memory and quits.
//
//   varnel-editor-probe            start up only
//   varnel-editor-probe FILE       then open FILE (the dialog answered with it)
//                                  and report once the loaded window is idle
//
// It lives in a program folder of its own, laid out like the editor's, since
// the window takes its program folder from the executable's place.

#include "fonts.h"
#include "frmmain.h"
#include "idleprobe.h"
#include "scn_common_dialog.h"

#include <QAction>
#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char* argv[])
{
    idleprobe::mark("main");
    fonts::ConfigurationReader fontConfiguration;
    QApplication app(argc, argv);
    fontConfiguration.join();
    idleprobe::mark("application");
    // Driving the window must not change what the person's own runs remember.
    QStandardPaths::setTestModeEnabled(true);
    frmMain window;
    idleprobe::mark("built");
    window.show();
    idleprobe::mark("shown");

    QueuedFileDialogBackend dialog;
    ScopedFileDialogBackend answered(dialog);
    std::function<void()> open;
    if (argc > 1) {
        open = [&] {
            dialog.enqueue(QString::fromLocal8Bit(argv[1]));
            window.findChild<QAction*>(QStringLiteral("MnuFileOpen"))->trigger();
        };
    }
    const long long idle = idleprobe::runUntilIdle(window, open);
    if (argc > 1 && !window.baza().Loaded()) {
        std::fprintf(stderr, "varnel-editor-probe: %s did not open\n", argv[1]);
        return 1;
    }
    idleprobe::printReport(idle);
    return 0;
}
