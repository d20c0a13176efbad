// Renders the main window with a layout loaded, offscreen, into a PNG, and
// the scoreboard map of that layout into another:
//
//   varnel-screenshot PROGRAM_FOLDER GAME_FILE OUT.png [MAP.png]
//
// The editor takes no options; this small program drives the same window
// through the open-file seam instead.

#include "frmmain.h"
#include "scn_common_dialog.h"
#include "scoreboardmap.h"

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Driving the window must not change what the person's own runs remember.
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5) {
        QTextStream(stderr) << "usage: varnel-screenshot PROGRAM_FOLDER GAME_FILE OUT.png [MAP.png]\n";
        return 1;
    }
    QueuedFileDialogBackend dialog;
    ScopedFileDialogBackend useDialog(dialog);
    frmMain window(args[1]);
    window.show();
    dialog.enqueue(args[2]);
    window.findChild<QAction*>(QStringLiteral("MnuFileOpen"))->trigger();
    if (!window.baza().Loaded()) {
        QTextStream(stderr) << "varnel-screenshot: " << args[2] << ": could not be opened\n";
        return 1;
    }
    if (!window.grab().save(args[3])) {
        QTextStream(stderr) << "varnel-screenshot: " << args[3] << ": cannot write\n";
        return 1;
    }
    if (args.size() == 5) {
        window.showMap();
        window.map()->resize(1540, 400);
        if (!window.map()->grab().save(args[4])) {
            QTextStream(stderr) << "varnel-screenshot: " << args[4] << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
