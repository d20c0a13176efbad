#include "filefingerprint.h"

#include "readablefile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace gamefile
{

std::optional<FileFingerprint> FileFingerprint::of(const QString& path)
{
    if (!whyNotReadable(path, kMaxGameFileSize).isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QDateTime modified = file.fileTime(QFileDevice::FileModificationTime);
    // Read in pieces: a game file may be large, and only its hash is kept.
    QCryptographicHash hash(QCryptographicHash::Sha1);
    qint64 size = 0;
    for (QByteArray piece; !(piece = file.read(1 << 20)).isEmpty() && size <= kMaxGameFileSize;) {
        hash.addData(piece);
        size += piece.size();
    }
    if (file.error() != QFileDevice::NoError || size > kMaxGameFileSize)
        return std::nullopt;
    return FileFingerprint(size, hash.result(), modified);
}

bool FileFingerprint::matches(const QString& path) const
{
    if (QFileInfo(path).size() != m_size)
        return false;
    return of(path) == *this;
}

bool FileFingerprint::seemsToMatch(const QString& path) const
{
    const QFileInfo file(path);
    if (file.size() == m_size && file.lastModified() == m_modified && m_modified.isValid())
        return true;
    return matches(path);
}

} // namespace gamefile
