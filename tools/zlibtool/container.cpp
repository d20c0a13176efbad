#include "container.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <limits>
#include <new>
#include <string>

namespace zlibcodec {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x00, 0x01, 0x01, 0x57, 0x45, 0x53, 0x59, 0x53};

// Deflate cannot expand more than 1032:1 (a 258-byte match coded in two bits),
// so a header claiming more is lying and is refused before anything is allocated.
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::uint32_t readLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void writeLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string bytes(std::uint64_t n)
{
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

struct InflateGuard {
    z_stream* s;
    ~InflateGuard() { inflateEnd(s); }
};

struct DeflateGuard {
    z_stream* s;
    ~DeflateGuard() { deflateEnd(s); }
};

// Inflates all of `stream`. The output starts at `initial` bytes and may grow
// up to `limit`; anything beyond `limit` throws `overflow`. When the stream
// ends early, `leftover` receives the number of unused input bytes; the caller
// decides whether that is an error.
std::vector<std::uint8_t> inflateAll(std::span<const std::uint8_t> stream, std::size_t initial,
                                     std::size_t limit, const std::string& overflow,
                                     std::size_t& leftover)
{
    z_stream s{};
    if (inflateInit(&s) != Z_OK)
        throw Error("cannot start inflate");
    InflateGuard guard{&s};

    std::vector<std::uint8_t> out(std::min(initial, limit));
    std::size_t filled = 0;        // bytes of `out` handed to zlib before the current window
    std::size_t inputLeft = stream.size();
    const std::uint8_t* input = stream.data();
    std::uint8_t probe = 0;
    bool probing = false;          // `out` is full; one spare byte tells whether more is coming

    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size(), UINT_MAX));

    for (;;) {
        if (s.avail_in == 0 && inputLeft > 0) {
            // uInt may be narrower than size_t, so feed large streams in pieces.
            const std::size_t chunk = std::min<std::size_t>(inputLeft, UINT_MAX);
            s.next_in = const_cast<Bytef*>(input);
            s.avail_in = static_cast<uInt>(chunk);
            input += chunk;
            inputLeft -= chunk;
        }
        if (s.avail_out == 0 && !probing) {
            filled = static_cast<std::size_t>(s.next_out - out.data());
            if (filled < out.size()) {
                s.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - filled, UINT_MAX));
            } else if (out.size() < limit) {
                const std::size_t grown = std::min(limit, std::max<std::size_t>(out.size() * 2, 64 * 1024));
                out.resize(grown);
                s.next_out = out.data() + filled;
                s.avail_out = static_cast<uInt>(std::min<std::size_t>(grown - filled, UINT_MAX));
            } else {
                probing = true;
                filled = out.size();
                s.next_out = &probe;
                s.avail_out = 1;
            }
        }

        const int ret = inflate(&s, Z_NO_FLUSH);
        if (probing && s.avail_out == 0)
            throw Error(overflow);
        if (ret == Z_STREAM_END)
            break;
        switch (ret) {
        case Z_OK:
            continue;
        case Z_NEED_DICT:
            throw Error("stream needs a preset dictionary");
        case Z_DATA_ERROR:
            throw Error(std::string("stream is corrupt: ") + (s.msg ? s.msg : "invalid data"));
        case Z_MEM_ERROR:
            throw std::bad_alloc();
        case Z_BUF_ERROR:
            // Room to write is always provided above, so no progress means no input.
            if (s.avail_in == 0 && inputLeft == 0)
                throw Error("stream is truncated");
            [[fallthrough]];
        default:
            throw Error("inflate failed (zlib error " + std::to_string(ret) + ")");
        }
    }

    leftover = s.avail_in + inputLeft;
    out.resize(probing ? filled : static_cast<std::size_t>(s.next_out - out.data()));
    return out;
}

} // namespace

std::vector<std::uint8_t> compressContainer(std::span<const std::uint8_t> plain)
{
    if (plain.size() > kMaxDeclaredSize)
        throw Error("input of " + bytes(plain.size()) + " is above the 256 MiB limit");

    z_stream s{};
    if (deflateInit(&s, 9) != Z_OK)
        throw Error("cannot start deflate");
    std::vector<std::uint8_t> out;
    {
        DeflateGuard guard{&s};
        // One deflate call into a buffer that is large enough for any input.
        const uLong bound = deflateBound(&s, static_cast<uLong>(plain.size()));
        if (bound > std::numeric_limits<std::uint32_t>::max())
            throw Error("input is too large to compress");
        out.resize(kHeaderSize + bound);
        s.next_in = const_cast<Bytef*>(plain.data());
        s.avail_in = static_cast<uInt>(plain.size());
        s.next_out = out.data() + kHeaderSize;
        s.avail_out = static_cast<uInt>(bound);
        const int ret = deflate(&s, Z_FINISH);
        if (ret != Z_STREAM_END)
            throw Error("deflate failed (zlib error " + std::to_string(ret) + ")");
        out.resize(kHeaderSize + (bound - s.avail_out));
    }

    std::copy(kSignature.begin(), kSignature.end(), out.begin());
    writeLe32(out.data() + 8, static_cast<std::uint32_t>(out.size() - kHeaderSize));
    writeLe32(out.data() + 12, static_cast<std::uint32_t>(plain.size()));

    // Never hand out a container we could not read back ourselves.
    const std::vector<std::uint8_t> check = decompressContainer(out);
    if (!std::equal(check.begin(), check.end(), plain.begin(), plain.end()))
        throw Error("self-check failed: the container does not inflate back to the input");
    return out;
}

std::vector<std::uint8_t> decompressContainer(std::span<const std::uint8_t> container)
{
    const std::size_t head = std::min(container.size(), kSignature.size());
    if (!std::equal(container.begin(), container.begin() + static_cast<std::ptrdiff_t>(head),
                    kSignature.begin()))
        throw Error("not a container: wrong signature");
    if (container.empty())
        throw Error("not a container: the file is empty");
    if (container.size() < kHeaderSize)
        throw Error("header is truncated: only " + std::to_string(container.size()) + " of " +
                    std::to_string(kHeaderSize) + " bytes");

    const std::uint32_t streamSize = readLe32(container.data() + 8);
    const std::uint32_t plainSize = readLe32(container.data() + 12);
    const std::size_t available = container.size() - kHeaderSize;

    if (plainSize > kMaxDeclaredSize)
        throw Error("declared size " + bytes(plainSize) + " is above the 256 MiB limit");
    if (streamSize > available)
        throw Error("stream is truncated: the header declares " + bytes(streamSize) + ", the file holds " +
                    std::to_string(available));
    if (streamSize < available)
        throw Error("file has " + bytes(available - streamSize) + " of trailing data after the declared " +
                    std::to_string(streamSize) + "-byte stream");
    if (plainSize > streamSize * kMaxInflateRatio)
        throw Error("declared size " + bytes(plainSize) + " is more than a " + std::to_string(streamSize) +
                    "-byte stream can hold");

    std::size_t leftover = 0;
    std::vector<std::uint8_t> out =
        inflateAll(container.subspan(kHeaderSize), plainSize, plainSize,
                   "stream inflates to more than the declared " + bytes(plainSize), leftover);
    if (leftover > 0)
        throw Error("stream ends after " + std::to_string(streamSize - leftover) + " of the declared " +
                    bytes(streamSize));
    if (out.size() != plainSize)
        throw Error("stream inflates to only " + bytes(out.size()) + ", less than the declared " +
                    std::to_string(plainSize));
    return out;
}

std::vector<std::uint8_t> decompressRaw(std::span<const std::uint8_t> stream)
{
    // Start near the typical ratio and let the buffer double from there.
    const std::size_t guess =
        static_cast<std::size_t>(std::min<std::uint64_t>(stream.size(), kMaxDeclaredSize) * 4);
    std::size_t leftover = 0;
    std::vector<std::uint8_t> out = inflateAll(stream, std::max<std::size_t>(guess, 64 * 1024), kMaxDeclaredSize,
                                               "stream inflates to more than the 256 MiB limit", leftover);
    if (leftover > 0)
        throw Error("file has " + bytes(leftover) + " of trailing data after the stream");
    return out;
}

} // namespace zlibcodec
