#include "backdrop.h"

#include "varnelsettings.h"
#include "viewtransform.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace {

// A group of Varnel's settings per game file.
QString groupFor(const QString& gameFile)
{
    const QByteArray path = QFileInfo(gameFile).absoluteFilePath().toUtf8();
    return QStringLiteral("mapBackdrop/") + QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex();
}

} // namespace

bool Backdrop::load(const QString& path, QString* why)
{
    // A pipe or a device would be read for ever.
    if (!QFileInfo(path).isFile()) {
        *why = QStringLiteral("it is not a regular file");
        return false;
    }
    QImageReader reader(path);
    const QByteArray format = reader.format(); // by what the file holds, not by its name
    const QImage image = reader.read();
    if (image.isNull() || (format != "png" && format != "jpeg")) {
        *why = image.isNull() ? reader.errorString() : QStringLiteral("it is not a PNG or JPEG image");
        return false;
    }
    m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied); // drawn fastest
    m_path = path;
    return true;
}

void Backdrop::clear()
{
    *this = Backdrop();
}

QRectF Backdrop::gameRect() const
{
    return {m_placement.at, QSizeF(m_image.size()) * m_placement.scalePercent / 100};
}

void Backdrop::draw(QPainter& painter, const ViewTransform& transform, const QRectF& exposed) const
{
    const QRectF game = gameRect();
    const QRectF target = QRectF(transform.toScreen(game.topLeft()), transform.toScreen(game.bottomRight()))
                              .intersected(exposed);
    if (isNull() || target.isEmpty())
        return;
    const double imagePerGame = 100 / m_placement.scalePercent;
    const QRectF source((transform.toGame(target.topLeft()) - game.topLeft()) * imagePerGame,
                        target.size() / transform.scale * imagePerGame);
    painter.save();
    painter.setOpacity(m_placement.opacityPercent / 100.0);
    painter.drawImage(target, m_image, source);
    painter.restore();
}

void Backdrop::remember(const QString& gameFile) const
{
    if (gameFile.isEmpty())
        return;
    QSettings store = varnelSettings();
    store.remove(groupFor(gameFile));
    if (isNull())
        return;
    store.beginGroup(groupFor(gameFile));
    store.setValue(QStringLiteral("image"), m_path);
    store.setValue(QStringLiteral("x"), m_placement.at.x());
    store.setValue(QStringLiteral("y"), m_placement.at.y());
    store.setValue(QStringLiteral("scale"), m_placement.scalePercent);
    store.setValue(QStringLiteral("opacity"), m_placement.opacityPercent);
}

bool Backdrop::isRemembered(const QString& gameFile)
{
    return !gameFile.isEmpty() && varnelSettings().contains(groupFor(gameFile) + QStringLiteral("/image"));
}

void Backdrop::recall(const QString& gameFile)
{
    clear();
    QSettings store = varnelSettings();
    store.beginGroup(groupFor(gameFile));
    QString why;
    if (gameFile.isEmpty() || !store.contains(QStringLiteral("image")) ||
        !load(store.value(QStringLiteral("image")).toString(), &why))
        return;
    m_placement = {
        QPointF(store.value(QStringLiteral("x")).toDouble(), store.value(QStringLiteral("y")).toDouble()),
        store.value(QStringLiteral("scale"), 100).toDouble(),
        store.value(QStringLiteral("opacity"), 100).toInt()};
}
