#pragma once

// The compressed container: a 16-byte header (eight signature bytes, the size
// of the zlib stream and the size of the uncompressed data, both 32-bit little
// endian) followed by the zlib stream and nothing else.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <vector>

namespace zlibcodec
{

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The first eight bytes of every container.
inline constexpr std::array<std::uint8_t, 8> kSignature = {0x00, 0x01, 0x01, 0x57, 0x45, 0x53, 0x59, 0x53};

// Anything bigger is refused, so a forged header cannot make us allocate gigabytes.
inline constexpr std::uint32_t kMaxDeclaredSize = 256u * 1024u * 1024u;
inline constexpr std::size_t kHeaderSize = 16;

// Header plus a level-9 stream. The result is inflated again and compared with
// `plain` before it is returned.
std::vector<std::uint8_t> compressContainer(std::span<const std::uint8_t> plain);

// The most room the container of `plainSize` bytes can take.
std::size_t containerBound(std::size_t plainSize);

// The same into `out`, which must hold containerBound(plain.size()) bytes and
// is written only as far as the container goes; returns its size. For
// callers that bring memory of their own.
std::size_t compressContainerInto(std::span<const std::uint8_t> plain, std::span<std::uint8_t> out);

// Checks everything the header claims; the message of Error says what is wrong.
std::vector<std::uint8_t> decompressContainer(std::span<const std::uint8_t> container);

// Takes the inflated data piece by piece, in order; it may throw to stop.
using Sink = std::function<void(std::span<const std::uint8_t> piece)>;

// The same checks, but the data goes to `sink` in pieces of at most 64 KiB
// instead of into one buffer. The pieces are handed on before the end of the
// stream is checked, so only a normal return says that the container is valid.
void decompressContainer(std::span<const std::uint8_t> container, const Sink& sink);

// A bare zlib stream without header; output is capped at kMaxDeclaredSize.
std::vector<std::uint8_t> decompressRaw(std::span<const std::uint8_t> stream);

} // namespace zlibcodec
