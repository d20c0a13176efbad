// Writes the window icon as PNG files for the desktop's icon theme:
//
//   varnel-icons FOLDER        FOLDER/16x16/apps/io.varnel.Varnel.png, 32x32, 48x48

#include "artwork.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: varnel-icons FOLDER\n";
        return 1;
    }
    const QIcon icon = artwork::windowIcon();
    for (const QSize& size : icon.availableSizes()) {
        const QString folder = QStringLiteral("%1/%2x%3/apps").arg(app.arguments()[1]).arg(size.width()).arg(size.height());
        if (!QDir().mkpath(folder) || !icon.pixmap(size).save(folder + QStringLiteral("/io.varnel.Varnel.png"))) {
            QTextStream(stderr) << "varnel-icons: cannot write into " << folder << "\n";
            return 1;
        }
    }
    return 0;
}
