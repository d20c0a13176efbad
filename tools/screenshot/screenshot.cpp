// Renders the main window with a layout loaded, offscreen, into a PNG, and
// the scoreboard map of that layout into another, with two handles selected
// and dragged until a guide catches them:
//
//   varnel-screenshot PROGRAM_FOLDER GAME_FILE OUT.png [MAP.png]
//
// The editor takes no options; this small program drives the same window
// through the open-file seam instead.

#include "frmmain.h"
#include "mapcanvas.h"
#include "scn_common_dialog.h"
#include "scoreboardmap.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
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
        window.map()->resize(1400, 520);
        QCoreApplication::processEvents();
        MapCanvas* canvas = window.map()->canvas();
        const auto mouse = [canvas](QEvent::Type type, int handle, QPointF by, Qt::KeyboardModifiers modifiers) {
            const QPointF at = canvas->scene().screenPosition(handle) + by * canvas->scale(handle);
            QMouseEvent event(type, at, canvas->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
            QApplication::sendEvent(canvas, &event);
        };
        // Both results, Team A's dragged until it takes Central Shape's X.
        const int teamAResult = 6, teamBResult = 7;
        for (const int handle : {teamAResult, teamBResult}) {
            const Qt::KeyboardModifiers adding = handle == teamBResult ? Qt::ShiftModifier : Qt::NoModifier;
            mouse(QEvent::MouseButtonPress, handle, {}, adding);
            mouse(QEvent::MouseButtonRelease, handle, {}, adding);
        }
        mouse(QEvent::MouseButtonPress, teamAResult, {}, {});
        mouse(QEvent::MouseMove, teamAResult, {19, -12}, {});
        if (!window.map()->grab().save(args[4])) {
            QTextStream(stderr) << "varnel-screenshot: " << args[4] << ": cannot write\n";
            return 1;
        }
    }
    return 0;
}
