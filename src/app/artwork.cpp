#include "artwork.h"

#include <QFont>
#include <QPainter>

namespace artwork {

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

} // namespace

QPixmap logoBanner()
{
    QPixmap banner(165, 78);
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

QPixmap cornerHelp()
{
    QPixmap picture(236, 165);
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
