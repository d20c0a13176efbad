#include "container.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <limits>
#include <new>
#include <string>

namespace zlibcodec
{

namespace
{

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

// Inflates all of `stream` into `out`, which has room for `limit` bytes, and
// returns how many it wrote. With a null `out` the data goes to a scratch
// buffer and only the size is learned. A stream that has more than `limit`
// bytes to give throws `overflow`; when it ends early, `leftover` receives the
// number of unused input bytes and the caller decides whether that is an error.
std::size_t inflateInto(std::span<const std::uint8_t> stream, std::uint8_t* out, std::size_t limit,
                        const std::string& overflow, std::size_t& leftover)
{
    z_stream s{};
    if (inflateInit(&s) != Z_OK)
        throw Error("cannot start inflate");
    InflateGuard guard{&s};

    std::array<std::uint8_t, 64 * 1024> scratch;
    std::size_t produced = 0;
    std::size_t inputLeft = stream.size();
    const std::uint8_t* input = stream.data();
    bool probing = false; // `limit` reached; one spare byte tells whether more is coming

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
            if (produced < limit) {
                const std::size_t room = limit - produced;
                s.next_out = out ? out + produced : scratch.data();
                s.avail_out = static_cast<uInt>(std::min<std::size_t>(room, out ? UINT_MAX : scratch.size()));
            } else {
                probing = true;
                s.next_out = scratch.data();
                s.avail_out = 1;
            }
        }

        const uInt room = s.avail_out;
        const int ret = inflate(&s, Z_NO_FLUSH);
        if (probing) {
            if (s.avail_out == 0)
                throw Error(overflow);
        } else {
            produced += room - s.avail_out;
        }
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
            // There is always room to write, so no progress means no input left.
            if (s.avail_in == 0 && inputLeft == 0)
                throw Error("stream is truncated");
            [[fallthrough]];
        default:
            throw Error("inflate failed (zlib error " + std::to_string(ret) + ")");
        }
    }

    leftover = s.avail_in + inputLeft;
    return produced;
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

    // One pass straight into a buffer of the declared size.
    std::vector<std::uint8_t> out(plainSize);
    std::size_t leftover = 0;
    const std::size_t produced =
        inflateInto(container.subspan(kHeaderSize), out.data(), out.size(),
                    "stream inflates to more than the declared " + bytes(plainSize), leftover);
    if (leftover > 0)
        throw Error("stream ends after " + std::to_string(streamSize - leftover) + " of the declared " +
                    bytes(streamSize));
    if (produced != plainSize)
        throw Error("stream inflates to only " + bytes(produced) + ", less than the declared " +
                    std::to_string(plainSize));
    return out;
}

std::vector<std::uint8_t> decompressRaw(std::span<const std::uint8_t> stream)
{
    // Nothing tells the size in advance, so a first pass into scratch space
    // measures (and fully checks) the stream: a bomb is stopped at the limit
    // without ever being allocated, and the output buffer is exactly sized.
    const std::string overflow = "stream inflates to more than the 256 MiB limit";
    std::size_t leftover = 0;
    const std::size_t size = inflateInto(stream, nullptr, kMaxDeclaredSize, overflow, leftover);
    if (leftover > 0)
        throw Error("file has " + bytes(leftover) + " of trailing data after the stream");

    std::vector<std::uint8_t> out(size);
    if (inflateInto(stream, out.data(), out.size(), overflow, leftover) != size)
        throw Error("stream inflated differently the second time");
    return out;
}

} // namespace zlibcodec
