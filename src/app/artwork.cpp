#include "artwork.h"

#include <QImage>
#include <QPainter>
#include <QResource>

namespace artwork {

namespace {

// The pictures are drawn when the program is built (pictures/drawpictures.cpp)
// and carried as raw pixels, which cost nothing to show.
QPixmap builtPicture(const QString& name, const QSize& size)
{
    const QResource pixels(QStringLiteral(":/pictures/") + name);
    if (pixels.compressionAlgorithm() != QResource::NoCompression ||
        pixels.size() != qint64(size.width()) * size.height() * 4)
        return {};
    return QPixmap::fromImage(QImage(pixels.data(), size.width(), size.height(), QImage::Format_RGB32));
}

} // namespace

QPixmap logoBanner() { return builtPicture(QStringLiteral("banner.rgb32"), {165, 78}); }

QPixmap cornerHelp() { return builtPicture(QStringLiteral("corners.rgb32"), {236, 165}); }

const std::vector<IconShape>& iconShapes()
{
    // Posts, then the green board with two red digit pairs and a yellow colon.
    const QColor post(90, 90, 90), board(10, 110, 40), digit(230, 20, 20), colon(255, 230, 60);
    static const std::vector<IconShape> shapes{
        {{3, 11, 2, 5}, post},    {{11, 11, 2, 5}, post},  {{0, 2, 16, 10}, board},
        {{1.5, 4, 2, 6}, digit},  {{4.5, 4, 2, 6}, digit}, {{9.5, 4, 2, 6}, digit},
        {{12.5, 4, 2, 6}, digit}, {{7.5, 5, 1, 1}, colon}, {{7.5, 8, 1, 1}, colon}};
    return shapes;
}

QPixmap iconPicture(int size)
{
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const double unit = size / 16.0;
    for (const IconShape& shape : iconShapes())
        painter.fillRect(QRectF(shape.rect.topLeft() * unit, shape.rect.size() * unit), shape.color);
    return image;
}

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(iconPicture(size));
    return icon;
}

} // namespace artwork
