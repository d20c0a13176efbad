// Writes the program's icon for the desktop's icon theme, from the drawing
// the window uses:
//
//   varnel-icons FOLDER        FOLDER/SIZExSIZE/apps/io.varnel.Varnel.png, 16 to 256 px,
//                              and FOLDER/scalable/apps/io.varnel.Varnel.svg

#include "artwork.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>
#include <QTextStream>

namespace
{

QByteArray scalableIcon()
{
    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\">\n";
    for (const artwork::IconShape& shape : artwork::iconShapes())
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(shape.rect.x())
                   .arg(shape.rect.y())
                   .arg(shape.rect.width())
                   .arg(shape.rect.height())
                   .arg(shape.color.name())
                   .toUtf8();
    return svg + "</svg>\n";
}

bool write(const QString& folder, const QString& name, const std::function<bool(QSaveFile&)>& content)
{
    QSaveFile file(folder + u'/' + name);
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && content(file) && file.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: varnel-icons FOLDER\n";
        return 1;
    }
    const QString root = app.arguments()[1], name = QStringLiteral("io.varnel.Varnel");
    bool written = write(root + QStringLiteral("/scalable/apps"), name + QStringLiteral(".svg"),
                         [](QSaveFile& file) { return file.write(scalableIcon()) > 0; });
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        written = written &&
                  write(QStringLiteral("%1/%2x%2/apps").arg(root).arg(size), name + QStringLiteral(".png"),
                        [size](QSaveFile& file) { return artwork::iconPicture(size).save(&file, "PNG"); });
    if (!written)
        QTextStream(stderr) << "varnel-icons: cannot write into " << root << "\n";
    return written ? 0 : 1;
}
