// The container codec in process, on the files of containercases.h. A plain
// program, no Qt, so that it runs for Windows as well (under Wine here): each
// failed check prints a line naming its row, and the last line counts them.

#include "containercases.h"

#include <cstdio>
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

void roundTrip(const RoundTrip& row)
{
    const Bytes packed = container(zlibStream(row.plain, 9), static_cast<std::uint32_t>(row.plain.size()));
    check(zlibcodec::compressContainer(row.plain) == packed, row.name, "compresses as zlib does at level 9");
    // Into the caller's memory, and no further than the container goes.
    const std::size_t bound = zlibcodec::containerBound(row.plain.size());
    Bytes room(bound + 8, 0xAB);
    room.resize(zlibcodec::compressContainerInto(row.plain, room) + 8);
    check(room == packed + Bytes(8, 0xAB), row.name, "compresses into the caller's memory");
    room.resize(bound - 1);
    check(!refusal([&] { zlibcodec::compressContainerInto(row.plain, room); }).empty(), row.name,
          "refuses less room than the bound");

    check(zlibcodec::decompressContainer(packed) == row.plain, row.name, "decompresses");
    Bytes pieces;
    zlibcodec::decompressContainer(
        packed, [&pieces](auto piece) { pieces.insert(pieces.end(), piece.begin(), piece.end()); });
    check(pieces == row.plain, row.name, "decompresses piece by piece");
    int calls = 0; // a sink that throws stops it
    const auto stop = [&calls](auto) { throw zlibcodec::Error(std::to_string(++calls)); };
    refusal([&] { zlibcodec::decompressContainer(packed, stop); });
    check(calls == (row.plain.empty() ? 0 : 1), row.name, "stops at the first piece its sink refuses");
    check(zlibcodec::decompressRaw(zlibStream(row.plain, row.level)) == row.plain, row.name,
          "decompresses a bare stream of level " + std::to_string(row.level));
}

void refusesDamaged(const Damaged& row)
{
    const std::string said = refusal(row);
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
    const std::string said = refusal([] { zlibcodec::compressContainer(Bytes((256u << 20) + 1)); });
    check(said == "input of 268435457 bytes is above the 256 MiB limit", "256 MiB + 1 to compress", said);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
