#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace gamefile
{

// What a file held when it was read or written, to tell later whether
// another program has changed it since: its size, and a hash of its bytes
// that decides when the sizes agree; its time, for a quick look.
class FileFingerprint
{
public:
    FileFingerprint() = default; // of no file: it matches none

    // Of the file as it is now; nothing when it cannot be read (gone, a
    // folder or a device, larger than a game file can be).
    static std::optional<FileFingerprint> of(const QString& path);

    // Whether path holds the same bytes now. A different size needs no hash.
    bool matches(const QString& path) const;
    // The same, quickly: the same size and time need no hash either. For a
    // look taken often, as at every activation of the window, where hashing
    // a large game file each time would be felt.
    bool seemsToMatch(const QString& path) const;

    // The time the short cut compares: by default the file's own, when it
    // was hashed; the game file's, for bytes hashed from a copy of it.
    void setModified(const QDateTime& modified) { m_modified = modified; }

    bool operator==(const FileFingerprint& other) const
    {
        return m_size == other.m_size && m_hash == other.m_hash;
    }

private:
    FileFingerprint(qint64 size, QByteArray hash, QDateTime modified)
        : m_size(size), m_hash(std::move(hash)), m_modified(std::move(modified))
    {
    }

    qint64 m_size = -1;
    QByteArray m_hash;
    QDateTime m_modified; // only a short cut: not compared
};

} // namespace gamefile
