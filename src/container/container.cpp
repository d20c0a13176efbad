#include "container.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace zlibcodec
{

namespace
{

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
// buffer that is reused piece by piece: each piece goes to `sink` if there is
// one, otherwise only the size is learned. A stream that has more than `limit`
// bytes to give throws `overflow`; when it ends early, `leftover` receives the
// number of unused input bytes and the caller decides whether that is an error.
std::size_t inflateInto(std::span<const std::uint8_t> stream, std::uint8_t* out, std::size_t limit,
                        const std::string& overflow, std::size_t& leftover, const Sink* sink = nullptr)
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
            const std::size_t written = room - s.avail_out;
            produced += written;
            if (sink && written > 0)
                (*sink)({s.next_out - written, written});
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

struct Header {
    std::uint32_t streamSize;
    std::uint32_t plainSize;
};

Header checkHeader(std::span<const std::uint8_t> container)
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
    return {streamSize, plainSize};
}

// Inflates the container's stream into `out` (room for the declared size) or,
// with a null `out`, to `sink`, and checks that it fills the declared sizes.
void inflateContainer(std::span<const std::uint8_t> container, const Header& header, std::uint8_t* out,
                      const Sink* sink)
{
    std::size_t leftover = 0;
    const std::size_t produced =
        inflateInto(container.subspan(kHeaderSize), out, header.plainSize,
                    "stream inflates to more than the declared " + bytes(header.plainSize), leftover, sink);
    if (leftover > 0)
        throw Error("stream ends after " + std::to_string(header.streamSize - leftover) + " of the declared " +
                    bytes(header.streamSize));
    if (produced != header.plainSize)
        throw Error("stream inflates to only " + bytes(produced) + ", less than the declared " +
                    std::to_string(header.plainSize));
}


// Inflates a zlib stream while deflate is still writing it and compares what
// comes out with `expected`, on a thread of its own: on a machine with a
// second core, the check of a fresh container then costs next to no time.
class ConcurrentCheck
{
public:
    ConcurrentCheck(const std::uint8_t* stream, std::span<const std::uint8_t> expected)
        : stream_(stream), expected_(expected), thread_([this] { run(); })
    {
    }
    ConcurrentCheck(const ConcurrentCheck&) = delete;
    ConcurrentCheck& operator=(const ConcurrentCheck&) = delete;
    ~ConcurrentCheck()
    {
        if (!thread_.joinable())
            return;
        {
            std::lock_guard lock(mutex_);
            abandoned_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    // The first `size` bytes of the stream are written and stay as they are.
    void published(std::size_t size)
    {
        {
            std::lock_guard lock(mutex_);
            available_ = size;
        }
        wake_.notify_one();
    }

    // The stream is complete at `size` bytes. Waits for the check; throws
    // when the stream does not inflate to exactly `expected`.
    void finish(std::size_t size)
    {
        {
            std::lock_guard lock(mutex_);
            available_ = size;
            complete_ = true;
        }
        wake_.notify_one();
        thread_.join();
        if (!passed_ || streamEnd_ != size || checked_ != expected_.size())
            throw Error("self-check failed: the container does not inflate back to the input");
    }

private:
    void run()
    {
        try {
            check();
        } catch (...) {
            passed_ = false; // finish() reports it
        }
    }

    void check()
    {
        z_stream s{};
        if (inflateInit(&s) != Z_OK)
            return;
        InflateGuard guard{&s};
        std::array<std::uint8_t, 64 * 1024> scratch;
        std::size_t fed = 0;
        for (;;) {
            bool complete = false;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this, fed] { return available_ > fed || complete_ || abandoned_; });
                if (abandoned_)
                    return;
                s.next_in = const_cast<Bytef*>(stream_ + fed);
                s.avail_in = static_cast<uInt>(available_ - fed);
                fed = available_;
                complete = complete_;
            }
            for (;;) {
                s.next_out = scratch.data();
                s.avail_out = static_cast<uInt>(scratch.size());
                const int ret = inflate(&s, Z_NO_FLUSH);
                const std::size_t n = scratch.size() - s.avail_out;
                if (n > expected_.size() - checked_ ||
                    !std::equal(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(n),
                                expected_.begin() + static_cast<std::ptrdiff_t>(checked_)))
                    return;
                checked_ += n;
                if (ret == Z_STREAM_END) {
                    streamEnd_ = fed - s.avail_in;
                    passed_ = true;
                    return;
                }
                if (ret == Z_BUF_ERROR && s.avail_in == 0)
                    break; // wants more of the stream
                if (ret != Z_OK)
                    return;
            }
            if (complete)
                return; // the stream ended without its end mark
        }
    }

    const std::uint8_t* stream_;
    std::span<const std::uint8_t> expected_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::size_t available_ = 0;
    bool complete_ = false;
    bool abandoned_ = false;
    // Written by the thread, read after it has been joined.
    bool passed_ = false;
    std::size_t streamEnd_ = 0;
    std::size_t checked_ = 0;
    std::thread thread_; // last: starts once everything above is set up
};

} // namespace

namespace
{

// Writes the container of `plain` into `out`, which has room for `capacity`
// bytes and does not move, and returns its size. Memory is written only as
// far as deflate gets: `makeRoom(n)`, if given, is told before the first n
// bytes are written.
std::size_t compressInto(std::span<const std::uint8_t> plain, std::uint8_t* out, std::size_t capacity,
                         const std::function<void(std::size_t)>& makeRoom)
{
    if (plain.size() > kMaxDeclaredSize)
        throw Error("input of " + bytes(plain.size()) + " is above the 256 MiB limit");
    if (capacity < containerBound(plain.size()))
        throw Error("no room for the container");

    z_stream s{};
    if (deflateInit(&s, 9) != Z_OK)
        throw Error("cannot start deflate");
    std::size_t size = kHeaderSize;
    {
        DeflateGuard guard{&s};
        // Never hand out a container we could not read back ourselves: each
        // piece of the stream is checked as soon as deflate has written it.
        // Small pieces keep the part left to check at the end small.
        constexpr std::size_t kStep = 64 * 1024;
        ConcurrentCheck check(out + kHeaderSize, plain);
        s.next_in = const_cast<Bytef*>(plain.data());
        s.avail_in = static_cast<uInt>(plain.size());
        for (;;) {
            const std::size_t room = std::min(capacity - size, kStep);
            if (makeRoom)
                makeRoom(size + room);
            s.next_out = out + size;
            s.avail_out = static_cast<uInt>(room);
            const int ret = deflate(&s, Z_FINISH);
            size += room - s.avail_out;
            if (ret == Z_STREAM_END)
                break;
            if (ret != Z_OK || size == capacity)
                throw Error("deflate failed (zlib error " + std::to_string(ret) + ")");
            check.published(size - kHeaderSize);
        }
        check.finish(size - kHeaderSize);
    }

    std::copy(kSignature.begin(), kSignature.end(), out);
    writeLe32(out + 8, static_cast<std::uint32_t>(size - kHeaderSize));
    writeLe32(out + 12, static_cast<std::uint32_t>(plain.size()));
    // The stream is checked; the header must say what it holds.
    const Header header = checkHeader({out, size});
    if (header.plainSize != plain.size())
        throw Error("self-check failed: the header does not declare the input's size");
    return size;
}

} // namespace

std::size_t containerBound(std::size_t plainSize)
{
    // compressBound holds for zlib's default window and memory level, which
    // level 9 uses.
    return kHeaderSize + compressBound(static_cast<uLong>(std::min<std::size_t>(plainSize, kMaxDeclaredSize)));
}

std::vector<std::uint8_t> compressContainer(std::span<const std::uint8_t> plain)
{
    if (plain.size() > kMaxDeclaredSize)
        throw Error("input of " + bytes(plain.size()) + " is above the 256 MiB limit");
    // Room for any input is reserved at once, so the buffer never moves, but
    // it only grows (and its memory is only touched) as deflate fills it: the
    // stream is often a fraction of the bound.
    std::vector<std::uint8_t> out;
    out.reserve(containerBound(plain.size()));
    out.resize(kHeaderSize);
    out.resize(compressInto(plain, out.data(), out.capacity(), [&out](std::size_t n) { out.resize(n); }));
    return out;
}

std::size_t compressContainerInto(std::span<const std::uint8_t> plain, std::span<std::uint8_t> out)
{
    return compressInto(plain, out.data(), out.size(), {});
}

std::vector<std::uint8_t> decompressContainer(std::span<const std::uint8_t> container)
{
    const Header header = checkHeader(container);
    // One pass straight into a buffer of the declared size.
    std::vector<std::uint8_t> out(header.plainSize);
    inflateContainer(container, header, out.data(), nullptr);
    return out;
}

void decompressContainer(std::span<const std::uint8_t> container, const Sink& sink)
{
    inflateContainer(container, checkHeader(container), nullptr, &sink);
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
