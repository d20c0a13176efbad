#include "gamefiles.h"

#include "container.h"

#include <QFile>

#include <cstdint>

namespace gamefiles {

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

QByteArray samplePlain(const QString& samplePath)
{
    QFile file(samplePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return unpack(file.readAll());
}

QByteArray largePlain(const QByteArray& samplePlain)
{
    QByteArray bytes = samplePlain;
    bytes.resize(kLargeSize);
    std::uint32_t state = 0x9E3779B9u;
    for (qsizetype i = samplePlain.size(); i < bytes.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const qsizetype record = i / 32;
        bytes[i] = static_cast<char>(i % 32 < 8 ? state >> 24 : static_cast<std::uint32_t>(record));
    }
    return bytes;
}

QByteArray container(const QByteArray& plain)
{
    return toByteArray(zlibcodec::compressContainer(bytesOf(plain)));
}

QByteArray unpack(const QByteArray& packed)
{
    try {
        return toByteArray(zlibcodec::decompressContainer(bytesOf(packed)));
    } catch (const zlibcodec::Error&) {
        return {};
    }
}

} // namespace gamefiles
