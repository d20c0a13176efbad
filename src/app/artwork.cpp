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

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap image(size, size);
        image.fill(Qt::transparent);
        QPainter p(&image);
        const double u = size / 16.0;
        // Posts, then the green board with two red digit pairs.
        p.fillRect(QRectF(3 * u, 11 * u, 2 * u, 5 * u), QColor(90, 90, 90));
        p.fillRect(QRectF(11 * u, 11 * u, 2 * u, 5 * u), QColor(90, 90, 90));
        p.fillRect(QRectF(0, 2 * u, 16 * u, 10 * u), QColor(10, 110, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 20, 20));
        for (double x : {1.5, 4.5, 9.5, 12.5})
            p.drawRect(QRectF(x * u, 4 * u, 2 * u, 6 * u));
        p.setBrush(QColor(255, 230, 60));
        p.drawRect(QRectF(7.5 * u, 5 * u, 1 * u, 1 * u));
        p.drawRect(QRectF(7.5 * u, 8 * u, 1 * u, 1 * u));
        icon.addPixmap(image);
    }
    return icon;
}

} // namespace artwork
