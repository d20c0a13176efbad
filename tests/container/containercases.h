#pragma once

// The files that the codec's test (tst_codec) and zlibtool's (tst_zlibtool)
// put through: data for round trips, and damaged containers and streams with
// the part of the codec's message that matters. Plain C++, for Windows too.
// Streams come from zlib itself, so that it and the codec cannot agree on a mistake.

#include "container.h"

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace containercases
{

using Bytes = std::vector<std::uint8_t>;

inline Bytes zlibStream(const Bytes& plain, int level)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    Bytes out(size);
    compress2(out.data(), &size, plain.data(), static_cast<uLong>(plain.size()), level);
    out.resize(size);
    return out;
}

inline Bytes container(const Bytes& stream, std::uint32_t plainSize)
{
    Bytes out{0x00, 0x01, 0x01, 0x57, 0x45, 0x53, 0x59, 0x53};
    for (const std::uint32_t value : {static_cast<std::uint32_t>(stream.size()), plainSize})
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

// The same bytes for the same seed on every system. A small mask gives data
// that compresses well but, unlike a repeated pattern, is not periodic.
inline Bytes randomBytes(std::size_t size, std::uint32_t seed, unsigned mask = 0xff)
{
    std::mt19937 random(seed);
    Bytes out(size);
    for (std::uint8_t& byte : out)
        byte = static_cast<std::uint8_t>(random() & mask);
    return out;
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes head(const Bytes& b, std::size_t n)
{
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}

struct RoundTrip {
    std::string name; // also the file's name: blanks, quotes, letters beyond ASCII, a leading dash, 255 bytes
    Bytes plain;
    int level; // of a bare stream from zlib that must decompress as well
};

inline std::vector<RoundTrip> roundTrips()
{
    return {{"with  some blanks .bin", {}, 0},
            {"it's \"quoted\".bin", {'A'}, 9},
            {"naïve Ünï файл 文件 ✓.bin", randomBytes(3322, 2, 3), Z_DEFAULT_COMPRESSION},
            {"-d", randomBytes(4 << 20, 3, 3), 2},
            {std::string(243, 'n'), randomBytes(1 << 20, 4), 1}}; // 255 with .zlib.unzlib
}

struct Damaged {
    std::string name;
    Bytes input;
    bool bare;           // a bare stream, for -draw; else a container, for -d
    std::string message; // what the codec's message must hold; empty: anything
};

// What the codec says when it refuses, or nothing.
inline std::string refusal(const std::function<void()>& call)
{
    try {
        call();
    } catch (const zlibcodec::Error& e) {
        return e.what();
    }
    return {};
}

inline std::string refusal(const Damaged& row)
{
    return refusal([&row] {
        row.bare ? void(zlibcodec::decompressRaw(row.input))
                 : void(zlibcodec::decompressContainer(row.input));
    });
}

inline std::vector<Damaged> damaged()
{
    const Bytes plain = randomBytes(3322, 7, 3), bare = zlibStream(plain, 9), good = container(bare, 3322);
    const std::string s = std::to_string(bare.size());
    std::vector<Damaged> rows;
    const auto row = [&rows](const std::string& name, const Bytes& input, const std::string& message) {
        rows.push_back({name, input, name.starts_with("bare"), message});
    };
    for (const std::size_t n :
         std::vector<std::size_t>{0, 1, 2, 8, 15, 16, 17, bare.size() / 2, bare.size() - 1}) {
        row("cut to " + std::to_string(n), head(good, n),
            n < 16 ? n ? "header is truncated" : "empty" : "stream is truncated");
        row("bare: cut to " + std::to_string(n), head(bare, n), "stream is truncated");
    }
    const auto flipped = [&good](std::size_t at) {
        Bytes b = good;
        b[at] = static_cast<std::uint8_t>(~b[at]);
        return b;
    };
    row("wrong signature", flipped(0), "not a container: wrong signature");
    row("damaged stream", flipped(40), "");
    row("checksum", flipped(good.size() - 1), "incorrect data check");
    row("declared size one short", container(bare, 3321), "inflates to more than the declared 3321");
    row("declared size one over", container(bare, 3323), "3322 bytes, less than the declared 3323");
    row("declared size 256 MiB + 1", container(bare, (256u << 20) + 1),
        "268435457 bytes is above the 256 MiB");
    row("declared size 256 MiB", container(bare, 256u << 20), "more than a " + s + "-byte stream can hold");
    row("one trailing byte", good + Bytes{0}, "1 byte of trailing data after the declared " + s);
    row("stream size one over", head(container(bare + Bytes{'x'}, 3322), good.size()),
        "truncated: the header declares");
    row("garbage inside the stream", container(bare + Bytes(5, 'X'), 3322), "ends after " + s + " of the");
    row("16 MiB bomb", container(zlibStream(Bytes(16 << 20), 9), 1000), "declared 1000 bytes");
    // FDICT set, with the check bits to match: how a stream made against a preset dictionary starts.
    row("preset dictionary",
        container(Bytes{0x78, 0xf9, 1, 2, 3, 4} + Bytes(bare.begin() + 2, bare.end()), 3322),
        "preset dictionary");
    row("bare: a container", good, "stream is corrupt: incorrect header check");
    row("bare: trailing byte", bare + Bytes{'a'}, "file has 1 byte of trailing data after the stream");
    row("bare: 260 MiB bomb", zlibStream(Bytes(260 << 20), 9), "the 256 MiB limit");
    return rows;
}

} // namespace containercases
