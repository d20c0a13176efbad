#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole-file and little-endian helpers the test programs share.
namespace testfiles {

// Empty when the file cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline qint16 read16(const QByteArray& bytes, int offset)
{
    return static_cast<qint16>(static_cast<quint16>(static_cast<quint8>(bytes[offset]) |
                                                    (static_cast<quint8>(bytes[offset + 1]) << 8)));
}

inline void write16(QByteArray& bytes, int offset, qint16 value)
{
    bytes[offset] = static_cast<char>(static_cast<quint16>(value) & 0xFF);
    bytes[offset + 1] = static_cast<char>(static_cast<quint16>(value) >> 8);
}

} // namespace testfiles
