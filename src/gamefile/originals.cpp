#include "originals.h"

#include "containerbytes.h"
#include "filereplace.h"
#include "readablefile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace gamefile
{

namespace
{

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString originalFor(const QString& gameFile, const QString& originalsFolder)
{
    const QFileInfo game(gameFile);
    // A file that is gone has no canonical path; its folder may still have one.
    const QString canonicalFolder = QFileInfo(game.absolutePath()).canonicalFilePath();
    const QString path = game.exists()               ? game.canonicalFilePath()
                         : canonicalFolder.isEmpty() ? QDir::cleanPath(game.absoluteFilePath())
                                                     : canonicalFolder + u'/' + game.fileName();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256);
    return originalsFolder + game.fileName() + u'-' + QString::fromLatin1(hash.toHex().left(8));
}

std::optional<QDateTime> keptAt(const QString& original)
{
    const QFileInfo kept(original);
    if (!kept.isFile())
        return std::nullopt;
    return kept.lastModified();
}

StepResult keepOriginal(const QString& gameFile, const QString& original)
{
    if (!QFileInfo(gameFile).isFile() || QFileInfo::exists(original))
        return StepResult::done();
    const QString folder = QFileInfo(original).path();
    const QString step = QStringLiteral("keeping the original in %1").arg(native(folder));
    QString error;
    if (!QDir().mkpath(folder))
        return StepResult::failed(step, QStringLiteral("cannot make the folder %1").arg(native(folder)));
    if (!copyOver(gameFile, original, &error))
        return StepResult::failed(step, error);
    return StepResult::done();
}

StepResult readOriginal(const QString& original, QByteArray* bytes)
{
    const QString step = QStringLiteral("reading the original %1").arg(native(original));
    if (StepResult read = readWholeFile(original, kMaxGameFileSize, step, bytes); !read.ok())
        return read;
    try {
        unpackContainer(*bytes);
    } catch (const zlibcodec::Error& error) {
        return StepResult::failed(step, QString::fromStdString(error.what()));
    }
    return StepResult::done();
}

StepResult restoreOriginal(const QString& original, const QString& gameFile)
{
    QByteArray bytes;
    if (StepResult read = readOriginal(original, &bytes); !read.ok())
        return read;
    QString error;
    if (!writeOver(bytes, gameFile, &error))
        return StepResult::failed(QStringLiteral("replacing the game file"), error);
    return StepResult::done();
}

} // namespace gamefile
