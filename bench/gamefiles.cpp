#include "gamefiles.h"

#include "container.h"
#include "containerbytes.h"

#include <QFile>

#include <cstdint>

namespace gamefiles {

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

QByteArray unpack(const QByteArray& packed)
{
    try {
        return gamefile::unpackContainer(packed);
    } catch (const zlibcodec::Error&) {
        return {};
    }
}

} // namespace gamefiles
