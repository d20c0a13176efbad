#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

// The 44 scoreboard values: the one list that the record, the panel, the store
// pass and the display all read.
//
// Each row: record index, name, byte offset in the decompressed file, the text
// field that shows it, how it is shown, its panel group, and its key: the
// scoreboard element and the axis it places (x the first row of a pair, y the
// second), as presets and the scoreboard map name it. The record order is the
// row order; it is also the order of the arguments of Baza::Zmien_Dane.
#define VARNEL_LAYOUT_FIELDS(X)                                                                              \
    X(0, PozycjaX, 2096, 0, Plain, "XY Left Shape, X", "left_shape.x")                                       \
    X(1, PozycjaY, 2098, 1, Plain, "XY Left Shape, Y", "left_shape.y")                                       \
    X(2, PozycjaCX, 2160, 2, Plain, "XY Central Shape, X", "central_shape.x")                                \
    X(3, PozycjaCY, 2162, 3, Plain, "XY Central Shape, Y", "central_shape.y")                                \
    X(4, TeamShapeAX, 2224, 4, Plain, "XY Team A Shape, X", "team_a_shape.x")                                \
    X(5, TeamShapeAY, 2226, 5, Plain, "XY Team A Shape, Y", "team_a_shape.y")                                \
    X(6, TeamShapeBX, 2288, 6, Plain, "XY Team B Shape, X", "team_b_shape.x")                                \
    X(7, TeamShapeBY, 2290, 7, Plain, "XY Team B Shape, Y", "team_b_shape.y")                                \
    X(8, TeamANameX, 2784, 8, Plain, "XY Team A Name, X", "team_a_name.x")                                   \
    X(9, TeamANameY, 2786, 9, Plain, "XY Team A Name, Y", "team_a_name.y")                                   \
    X(10, TeamBNameX, 2812, 10, Plain, "XY Team B Name, X", "team_b_name.x")                                 \
    X(11, TeamBNameY, 2814, 11, Plain, "XY Team B Name, Y", "team_b_name.y")                                 \
    X(12, TeamAResX, 2840, 12, Plain, "Team A Result, X", "team_a_result.x")                                 \
    X(13, TeamAResY, 2842, 13, Plain, "Team A Result, Y", "team_a_result.y")                                 \
    X(14, TeamBResX, 2868, 14, Plain, "Team B Result, X", "team_b_result.x")                                 \
    X(15, TeamBResY, 2870, 15, Plain, "Team B Result, Y", "team_b_result.y")                                 \
    X(16, PointA, 2328, 16, Vertex, "AWAY, Points A, first row", "away.a.x")                                 \
    X(17, PointA1, 2330, 22, Vertex, "AWAY, Points A, second row", "away.a.y")                               \
    X(18, PointB, 2332, 17, Vertex, "AWAY, Points B, first row", "away.b.x")                                 \
    X(19, PointB1, 2334, 23, Vertex, "AWAY, Points B, second row", "away.b.y")                               \
    X(20, PointC, 2336, 18, Vertex, "AWAY, Points C, first row", "away.c.x")                                 \
    X(21, PointC1, 2338, 24, Vertex, "AWAY, Points C, second row", "away.c.y")                               \
    X(22, PointD, 2340, 19, Vertex, "AWAY, Points D, first row", "away.d.x")                                 \
    X(23, PointD1, 2342, 25, Vertex, "AWAY, Points D, second row", "away.d.y")                               \
    X(24, TimeShapX, 3044, 20, Plain, "XY Time Shape, X", "time_shape.x")                                    \
    X(25, TimeShapY, 3046, 21, Plain, "XY Time Shape, Y", "time_shape.y")                                    \
    X(26, PointAHome, 2264, 28, Vertex, "HOME, Points A, first row", "home.a.x")                             \
    X(27, PointA1Home, 2266, 29, Vertex, "HOME, Points A, second row", "home.a.y")                           \
    X(28, PointBHome, 2268, 30, Vertex, "HOME, Points B, first row", "home.b.x")                             \
    X(29, PointB1Home, 2270, 31, Vertex, "HOME, Points B, second row", "home.b.y")                           \
    X(30, PointCHome, 2272, 32, Vertex, "HOME, Points C, first row", "home.c.x")                             \
    X(31, PointC1Home, 2274, 33, Vertex, "HOME, Points C, second row", "home.c.y")                           \
    X(32, PointDHome, 2276, 34, Vertex, "HOME, Points D, first row", "home.d.x")                             \
    X(33, PointD1Home, 2278, 35, Vertex, "HOME, Points D, second row", "home.d.y")                           \
    X(34, Time1ValueX, 3318, 26, Plain, "Time Value, clock digit 1, X", "clock.digit1.x")                    \
    X(35, Time1ValueY, 3320, 27, Plain, "Time Value, clock digit 1, Y", "clock.digit1.y")                    \
    X(36, Time2ValueX, 3298, 36, Plain, "Time Value, clock digit 2, X", "clock.digit2.x")                    \
    X(37, Time2ValueY, 3300, 37, Plain, "Time Value, clock digit 2, Y", "clock.digit2.y")                    \
    X(38, Time3ValueX, 3258, 38, Plain, "Time Value, clock digit 3, X", "clock.digit3.x")                    \
    X(39, Time3ValueY, 3260, 39, Plain, "Time Value, clock digit 3, Y", "clock.digit3.y")                    \
    X(40, Time4ValueX, 3238, 40, Plain, "Time Value, clock digit 4, X", "clock.digit4.x")                    \
    X(41, Time4ValueY, 3240, 41, Plain, "Time Value, clock digit 4, Y", "clock.digit4.y")                    \
    X(42, KroX, 3278, 42, Plain, "Time Value, colon, X", "clock.colon.x")                                    \
    X(43, KroY, 3280, 43, Plain, "Time Value, colon, Y", "clock.colon.y")

namespace layout {

inline constexpr int kFieldCount = 44;

// All 44 values in record order, as the file stores them.
using Record = std::array<qint16, kFieldCount>;

// Plain values are shown and stored as they are; vertex points are kept in
// sixteenths of a pixel and shown in pixels.
enum class FieldKind { Plain, Vertex };

struct FieldInfo {
    int index;
    std::string_view name;
    int offset;
    int textField;
    FieldKind kind;
    std::string_view group;
    std::string_view key; // "home.a.x"
};

#define VARNEL_FIELD_INFO(i, name, offset, text, kind, group, key)                                           \
    FieldInfo{i, #name, offset, text, FieldKind::kind, group, key},
inline constexpr std::array<FieldInfo, kFieldCount> kFields{{VARNEL_LAYOUT_FIELDS(VARNEL_FIELD_INFO)}};
#undef VARNEL_FIELD_INFO

// A run of consecutive values that is read and written as one block.
struct Block {
    int offset;
    int size;
};

// Order in which a load reads the 16 blocks.
inline constexpr std::array<Block, 16> kReadBlocks{{{2096, 4},
                                                    {2160, 4},
                                                    {2224, 4},
                                                    {2288, 4},
                                                    {2784, 4},
                                                    {2812, 4},
                                                    {2840, 4},
                                                    {2868, 4},
                                                    {2328, 16},
                                                    {3044, 4},
                                                    {2264, 16},
                                                    {3318, 4},
                                                    {3298, 4},
                                                    {3258, 4},
                                                    {3238, 4},
                                                    {3278, 4}}};

// The game keeps two more copies of the time-box position, 64 bytes apart.
// They are written with the time box and never read.
inline constexpr int kTimeBoxOffset = 3044;
inline constexpr std::array<int, 2> kTimeBoxCopies{3108, 3172};

namespace detail {
// The read blocks in their order, each time-box copy right behind the time box.
constexpr std::array<Block, kReadBlocks.size() + kTimeBoxCopies.size()> writeBlocks()
{
    std::array<Block, kReadBlocks.size() + kTimeBoxCopies.size()> blocks{};
    std::size_t next = 0;
    for (const Block& block : kReadBlocks) {
        blocks[next++] = block;
        if (block.offset == kTimeBoxOffset)
            for (int copy : kTimeBoxCopies)
                blocks[next++] = {copy, block.size};
    }
    return blocks;
}
} // namespace detail

// Order in which a save writes its 18 blocks.
inline constexpr auto kWriteBlocks = detail::writeBlocks();

// The record field that text field k shows and edits.
const FieldInfo& fieldForTextField(int textField);

// The field stored at a byte offset, or nullptr.
const FieldInfo* fieldAtOffset(int offset);

// The field of a key ("home.a.x"), or nullptr.
const FieldInfo* fieldByKey(std::string_view key);

} // namespace layout
