#include "readablefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace gamefile
{

namespace
{

QString tooLarge(qint64 maxSize)
{
    return QStringLiteral("it is larger than the %1 such a file can hold")
        .arg(QLocale::c().formattedDataSize(maxSize, 0, QLocale::DataSizeIecFormat));
}

} // namespace

QString whyNotReadable(const QString& path, qint64 maxSize)
{
    if (path.isEmpty())
        return QStringLiteral("no file name was given");
    const QFileInfo file(path);
    if (!file.exists())
        return QStringLiteral("it does not exist");
    if (file.isDir())
        return QStringLiteral("it is a folder");
    if (!file.isFile())
        return QStringLiteral("it is not a regular file (a device, a pipe or a socket)");
    if (file.size() > maxSize)
        return tooLarge(maxSize);
    return {};
}

StepResult readWholeFile(const QString& path, qint64 maxSize, const QString& step, QByteArray* bytes)
{
    if (const QString why = whyNotReadable(path, maxSize); !why.isEmpty())
        return StepResult::failed(step, why);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StepResult::failed(step, file.errorString());
    // Never more than the limit, whatever the file has grown to since.
    *bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return StepResult::failed(step, file.errorString());
    if (bytes->size() > maxSize)
        return StepResult::failed(step, tooLarge(maxSize));
    return StepResult::done();
}

} // namespace gamefile
