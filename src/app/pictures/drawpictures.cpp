// Draws the main window's two pictures at build time, as raw pixels for the
// program's resources:
//
//   varnel-draw-pictures FOLDER     FOLDER/banner.rgb32, FOLDER/corners.rgb32
//
// Each file holds the picture's rows of 32-bit 0xffRRGGBB pixels in the
// machine's byte order, top row first, which the program shows as they are. Drawn at every start, the
// pictures' text in two more fonts and sizes cost some 2 ms; read from a PNG
// file, the image reader alone costs some 0.7 ms.

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

// A panel outline with its four corners labelled, top row then bottom row.
void drawPanel(QPainter& p, const QRect& r, const QString& topLeft, const QString& topRight,
               const QString& bottomLeft, const QString& bottomRight)
{
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(210, 225, 245));
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QColor(200, 0, 0));
    const int d = 12;
    p.drawText(QRect(r.left() - d - 2, r.top() - d, d, d), Qt::AlignCenter, topLeft);
    p.drawText(QRect(r.right() + 3, r.top() - d, d, d), Qt::AlignCenter, topRight);
    p.drawText(QRect(r.left() - d - 2, r.bottom(), d, d), Qt::AlignCenter, bottomLeft);
    p.drawText(QRect(r.right() + 3, r.bottom(), d, d), Qt::AlignCenter, bottomRight);
}

// The 165 x 78 banner in the logo box.
QImage logoBanner()
{
    QImage banner(165, 78, QImage::Format_RGB32);
    banner.fill(QColor(20, 90, 40));
    QPainter p(&banner);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    p.drawRoundedRect(QRectF(4, 4, 157, 70), 8, 8);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 6, 165, 40), Qt::AlignCenter, QStringLiteral("VARNEL"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(11);
    p.setFont(sub);
    p.setPen(QColor(255, 220, 80));
    p.drawText(QRect(0, 44, 165, 24), Qt::AlignCenter, QStringLiteral("scoreboard layout editor"));
    return banner;
}

// The 236 x 165 help picture: how the corners a, b, c, d of a panel lie,
// in the default and the inverted arrangement and on a standing panel.
QImage cornerHelp()
{
    QImage picture(236, 165, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    // The bar-shaped panel: default arrangement, then inverted.
    drawPanel(p, QRect(22, 18, 110, 26), QStringLiteral("b"), QStringLiteral("d"), QStringLiteral("a"),
              QStringLiteral("c"));
    drawPanel(p, QRect(22, 92, 110, 26), QStringLiteral("d"), QStringLiteral("b"), QStringLiteral("c"),
              QStringLiteral("a"));
    // The standing panel.
    drawPanel(p, QRect(178, 24, 30, 100), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
              QStringLiteral("d"));
    QFont caption(QStringLiteral("Arial"));
    caption.setPixelSize(10);
    p.setFont(caption);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 60, 160, 14), Qt::AlignCenter, QStringLiteral("default"));
    p.drawText(QRect(0, 134, 160, 14), Qt::AlignCenter, QStringLiteral("inverted"));
    p.drawText(QRect(160, 140, 70, 14), Qt::AlignCenter, QStringLiteral("standing"));
    return picture;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: varnel-draw-pictures FOLDER\n";
        return 1;
    }
    const QString folder = app.arguments()[1];
    for (const auto& [name, picture] : {std::pair(QStringLiteral("banner.rgb32"), logoBanner()),
                                        std::pair(QStringLiteral("corners.rgb32"), cornerHelp())}) {
        QFile file(folder + u'/' + name);
        const auto bytes = reinterpret_cast<const char*>(picture.constBits());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes, picture.sizeInBytes()) != picture.sizeInBytes()) {
            QTextStream(stderr) << "varnel-draw-pictures: cannot write " << file.fileName() << "\n";
            return 1;
        }
    }
    return 0;
}
