// The reference for the thumbnailer's time: a program linking the same Qt
// modules that writes a blank PNG of the same size and does nothing else.
//
//   varnel-blank-png-probe WIDTH HEIGHT OUTPUT

#include <QImage>
#include <QString>

int main(int argc, char* argv[])
{
    if (argc != 4)
        return 2;
    QImage blank(QString::fromLocal8Bit(argv[1]).toInt(), QString::fromLocal8Bit(argv[2]).toInt(),
                 QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::white);
    return blank.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
