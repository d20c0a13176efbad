// The container codec in process, on the files of containercases.h. A plain
// program, no Qt, so that it runs for Windows as well (under Wine here): each
// failed check prints a line naming its row, and the last line counts them.

#include "container.h"
#include "containercases.h"

#include <cstdio>
#include <functional>
#include <string>

using namespace containercases;

namespace
{

int passed = 0, failed = 0;

void check(bool ok, const std::string& row, const std::string& what)
{
    ++(ok ? passed : failed);
    if (!ok)
        std::printf("FAIL: %s: %s\n", row.c_str(), what.c_str());
}

// The codec's message, or nothing when it did not refuse.
std::string refusal(const std::function<void()>& call)
{
    try {
        call();
    } catch (const zlibcodec::Error& e) {
        return e.what();
    }
    return {};
}

void roundTrip(const RoundTrip& row)
{
    const std::string& name = row.name;
    const Bytes packed = container(zlibStream(row.plain, 9), static_cast<std::uint32_t>(row.plain.size()));
    check(zlibcodec::compressContainer(row.plain) == packed, name, "compresses as zlib does at level 9");
    // Into the caller's memory, and no further than the container goes.
    const std::size_t bound = zlibcodec::containerBound(row.plain.size());
    Bytes room(bound + 8, 0xAB);
    room.resize(zlibcodec::compressContainerInto(row.plain, room) + 8);
    check(room == packed + Bytes(8, 0xAB), name, "compresses into the caller's memory");
    room.resize(bound - 1);
    check(!refusal([&] { zlibcodec::compressContainerInto(row.plain, room); }).empty(), name,
          "refuses less room than the bound");

    check(zlibcodec::decompressContainer(packed) == row.plain, name, "decompresses");
    Bytes pieces;
    zlibcodec::decompressContainer(
        packed, [&pieces](auto piece) { pieces.insert(pieces.end(), piece.begin(), piece.end()); });
    check(pieces == row.plain, name, "decompresses piece by piece");
    int calls = 0; // a sink that throws stops it
    try {
        zlibcodec::decompressContainer(packed, [&calls](auto) { throw ++calls; });
    } catch (int) {
    }
    check(calls == (row.plain.empty() ? 0 : 1), name, "stops at the first piece its sink refuses");
    check(zlibcodec::decompressRaw(zlibStream(row.plain, row.level)) == row.plain, name,
          "decompresses a bare stream of level " + std::to_string(row.level));
}

void refusesDamaged(const Damaged& row)
{
    const std::string said = refusal([&row] {
        row.bare ? void(zlibcodec::decompressRaw(row.input))
                 : void(zlibcodec::decompressContainer(row.input));
    });
    check(!said.empty() && said.find(row.message) != std::string::npos, row.name,
          said.empty() ? "accepted" : "said \"" + said + "\"");
}

} // namespace

int main()
{
    for (const RoundTrip& row : roundTrips())
        roundTrip(row);
    for (const Damaged& row : damaged())
        refusesDamaged(row);
    // Input the codec refuses before it compresses anything.
    const Bytes tooLarge((256u << 20) + 1);
    check(refusal([&] { zlibcodec::compressContainer(tooLarge); }) ==
              "input of 268435457 bytes is above the 256 MiB limit",
          "257 MiB to compress", "refused");
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
