// Renders the main window with a layout loaded, offscreen, into a PNG, and
// the scoreboard map of that layout into another, with two handles selected
// and dragged until a guide catches them:
//
//   varnel-screenshot PROGRAM_FOLDER GAME_FILE OUT.png [MAP.png]
//
// and, with --thumbnails, the thumbnails of presets side by side, each with
// its name, as a file manager shows them:
//
//   varnel-screenshot --thumbnails OUT.png PRESET...
//
// The editor takes no options; this small program drives the same window
// through the open-file seam instead.

#include "frmmain.h"
#include "mapcanvas.h"
#include "scn_common_dialog.h"
#include "scoreboardmap.h"
#include "thumbnail.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>
#include <QTextStream>

namespace
{

int thumbnails(const QString& out, const QStringList& presets)
{
    constexpr int size = 256, gap = 24, caption = 28;
    QList<QImage> pictures;
    int height = 0;
    for (const QString& preset : presets) {
        QString problem;
        const std::optional<layout::Record> record = thumbnail::layoutIn(preset, &problem);
        if (!record) {
            QTextStream(stderr) << "varnel-screenshot: " << problem << "\n";
            return 1;
        }
        pictures << thumbnail::draw(*record, size);
        height = std::max(height, int(pictures.last().height()));
    }
    QImage sheet((size + gap) * int(presets.size()) + gap, height + caption + 2 * gap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < presets.size(); ++i) {
        const QPoint at(gap + i * (size + gap), gap + (height - pictures[i].height()) / 2);
        painter.drawImage(at, pictures[i]);
        painter.setPen(QColor(200, 200, 200));
        painter.drawRect(QRect(at, pictures[i].size()).adjusted(-1, -1, 0, 0));
        painter.setPen(Qt::black);
        painter.drawText(QRect(at.x(), gap + height, size, caption), Qt::AlignCenter,
                         QFileInfo(presets[i]).fileName());
    }
    return sheet.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Driving the window must not change what the person's own runs remember.
    QStandardPaths::setTestModeEnabled(true);
    const QStringList args = app.arguments();
    if (args.value(1) == u"--thumbnails" && args.size() > 3)
        return thumbnails(args[2], args.mid(3));
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
