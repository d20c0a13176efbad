#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace gamefile
{

// What a file held when it was read or written, to tell later whether
// another program has changed it since: its size, and a hash of its bytes
// that decides when the sizes agree.
class FileFingerprint
{
public:
    FileFingerprint() = default; // of no file: it matches none

    // Of the file as it is now; nothing when it cannot be read (gone, a
    // folder or a device, larger than a game file can be).
    static std::optional<FileFingerprint> of(const QString& path);

    // Whether path holds the same bytes now. A different size needs no hash.
    bool matches(const QString& path) const;

    bool operator==(const FileFingerprint&) const = default;

private:
    FileFingerprint(qint64 size, QByteArray hash) : m_size(size), m_hash(std::move(hash)) {}

    qint64 m_size = -1;
    QByteArray m_hash;
};

} // namespace gamefile
