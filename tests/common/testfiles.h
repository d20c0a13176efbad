#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QtEndian>

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

// The same bytes for the same seed, so that a failure can be repeated. A small
// mask gives data that compresses well but, unlike a repeated pattern, is not
// periodic.
inline QByteArray randomBytes(qsizetype size, quint32 seed, int mask = 0xff)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& byte : bytes)
        byte = static_cast<char>(random.generate() & quint32(mask));
    return bytes;
}

inline qint16 read16(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<qint16>(bytes.constData() + offset);
}

inline void write16(QByteArray& bytes, int offset, qint16 value)
{
    qToLittleEndian<qint16>(value, bytes.data() + offset);
}

inline void write32(QByteArray& bytes, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

} // namespace testfiles
