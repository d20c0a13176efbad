// varnel-thumbnailer [-s SIZE] INPUT OUTPUT
//
// Writes a PNG picture of the layout a game file or a preset holds, at most
// SIZE pixels each way (128 unless given), for file managers, which expect
// of a thumbnailer that nothing is written, and the exit status is not 0,
// when the input is damaged or of another kind.

#include "thumbnail.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <memory>
#include <optional>

namespace
{

int usage()
{
    QTextStream(stderr) << "usage: varnel-thumbnailer [-s SIZE] INPUT OUTPUT\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int size = 128;
    if (arguments.value(0) == u"-s") {
        bool number = false;
        size = arguments.value(1).toInt(&number);
        if (!number || size < 1 || size > 4096)
            return usage();
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 2)
        return usage();
    QString problem;
    const std::optional<layout::Record> record = thumbnail::layoutIn(arguments[0], &problem);
    if (!record) {
        QTextStream(stderr) << "varnel-thumbnailer: " << problem << "\n";
        return 1;
    }
    // Only labels need the font system; it starts without a display.
    std::unique_ptr<QGuiApplication> fonts;
    if (size >= thumbnail::kLabelledSize) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        fonts = std::make_unique<QGuiApplication>(argc, argv);
    }
    // Whole or not at all: a file manager must never see half a picture.
    QSaveFile output(arguments[1]);
    if (!output.open(QIODevice::WriteOnly) || !thumbnail::draw(*record, size).save(&output, "PNG") ||
        !output.commit()) {
        QTextStream(stderr) << "varnel-thumbnailer: " << arguments[1] << ": " << output.errorString() << "\n";
        return 1;
    }
    return 0;
}
