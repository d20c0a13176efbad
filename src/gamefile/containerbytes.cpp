#include "containerbytes.h"

#include "container.h"

namespace gamefile {

namespace {

QByteArray toByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

QByteArray packContainer(const QByteArray& plain)
{
    return toByteArray(zlibcodec::compressContainer(bytesOf(plain)));
}

QByteArray unpackContainer(const QByteArray& container)
{
    return toByteArray(zlibcodec::decompressContainer(bytesOf(container)));
}

} // namespace gamefile
