// Writes the bundled sample game file: a synthetic decompressed layout of 4096
// bytes with plausible values at the 44 offsets and deterministic filler
// elsewhere, packed in the game's container.
//
//   samplegen OUT            the container
//   samplegen OUT --plain    the decompressed layout only

#include "container.h"
#include "fieldtable.h"

#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kSampleSize = 4096;

// Screen positions of a scoreboard that sits in the top left corner.
struct Sample {
    std::string_view name;
    std::int16_t value;
};

constexpr std::int16_t px(int pixels) { return static_cast<std::int16_t>(pixels * 16); }

constexpr Sample kValues[] = {
    {"PozycjaX", 24},       {"PozycjaY", 16},        {"PozycjaCX", 152},     {"PozycjaCY", 16},
    {"TeamShapeAX", 40},    {"TeamShapeAY", 20},     {"TeamShapeBX", 196},   {"TeamShapeBY", 20},
    {"TeamANameX", 48},     {"TeamANameY", 22},      {"TeamBNameX", 204},    {"TeamBNameY", 22},
    {"TeamAResX", 132},     {"TeamAResY", 22},       {"TeamBResX", 172},     {"TeamBResY", 22},
    {"PointA", px(224)},    {"PointA1", px(112)},    {"PointB", px(256)},    {"PointB1", px(112)},
    {"PointC", px(224)},    {"PointC1", px(0)},      {"PointD", px(256)},    {"PointD1", px(0)},
    {"TimeShapX", 290},     {"TimeShapY", 16},       {"PointAHome", px(224)}, {"PointA1Home", px(112)},
    {"PointBHome", px(256)}, {"PointB1Home", px(112)}, {"PointCHome", px(224)}, {"PointC1Home", px(0)},
    {"PointDHome", px(256)}, {"PointD1Home", px(0)},  {"Time1ValueX", 300},   {"Time1ValueY", 22},
    {"Time2ValueX", 310},   {"Time2ValueY", 22},     {"Time3ValueX", 326},   {"Time3ValueY", 22},
    {"Time4ValueX", 336},   {"Time4ValueY", 22},     {"KroX", 319},          {"KroY", 22},
};
static_assert(std::size(kValues) == layout::kFieldCount);

void put16(std::vector<std::uint8_t>& bytes, int offset, std::int16_t value)
{
    qToLittleEndian<qint16>(value, bytes.data() + offset);
}

std::vector<std::uint8_t> makeLayout()
{
    // Filler: records of a made-up table, with a little noise from a fixed
    // linear congruential generator so that the file is reproducible.
    std::vector<std::uint8_t> bytes(kSampleSize);
    std::uint32_t state = 0x2545F491u;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = (i % 32 < 8) ? static_cast<std::uint8_t>(state >> 24) : static_cast<std::uint8_t>(i / 32);
    }
    for (const Sample& sample : kValues) {
        bool found = false;
        for (const layout::FieldInfo& field : layout::kFields)
            if (field.name == sample.name) {
                put16(bytes, field.offset, sample.value);
                found = true;
            }
        if (!found)
            std::fprintf(stderr, "samplegen: unknown field %.*s\n", static_cast<int>(sample.name.size()),
                         sample.name.data());
    }
    // The game keeps the time-box position twice more.
    for (int copy : layout::kTimeBoxCopies) {
        put16(bytes, copy, 290);
        put16(bytes, copy + 2, 16);
    }
    return bytes;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--plain") != 0) || argc > 3) {
        std::fprintf(stderr, "usage: samplegen OUT [--plain]\n");
        return 1;
    }
    const std::vector<std::uint8_t> plain = makeLayout();
    const std::vector<std::uint8_t> out = argc == 3 ? plain : zlibcodec::compressContainer(plain);
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "samplegen: %s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}
