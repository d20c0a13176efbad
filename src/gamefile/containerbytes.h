#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

// The container codec for data held in QByteArrays.
namespace gamefile {

inline std::span<const std::uint8_t> bytesOf(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

// The game's container around plain, compressed at level 9 and checked.
QByteArray packContainer(const QByteArray& plain);

// What a container holds; throws zlibcodec::Error, saying what is wrong,
// when it is not a valid container.
QByteArray unpackContainer(const QByteArray& container);

} // namespace gamefile
