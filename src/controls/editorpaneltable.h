#pragma once

#include <QColor>

#include <array>
#include <optional>

// How the editor panel is drawn: its frames, labels and the 44 boxes with
// their text fields, in twips relative to the parent's inside.
namespace panel {

struct Rgb {
    int r, g, b;
};

struct FrameSpec {
    const char* name;
    const char* parent; // nullptr: the window
    const char* caption; // nullptr: a plain coloured area
    std::optional<Rgb> captionColor; // empty: the system's text colour
    Rgb background;
    bool arialCaption; // bold 8.25 pt Arial instead of MS Sans Serif
    int left, top, width, height;
};

inline constexpr Rgb kWhite{255, 255, 255};

inline constexpr std::array<FrameSpec, 27> kFrames{{
    {"Frame1", nullptr, "XY Left Shape", std::nullopt, kWhite, false, 120, 120, 2775, 1335},
    {"Frame2", nullptr, "XY Central Shape", Rgb{0, 0, 255}, kWhite, false, 3000, 120, 2775, 1335},
    {"Frame3", nullptr, "XY Team A Shape", Rgb{0, 192, 192}, kWhite, false, 120, 1680, 2775, 1335},
    {"Frame4", nullptr, "XY Team B Shape", Rgb{128, 64, 64}, kWhite, false, 3000, 1680, 2775, 1335},
    {"Frame5", nullptr, "XY Team A Name ", Rgb{0, 255, 0}, kWhite, false, 120, 3120, 2775, 1335},
    {"Frame6", nullptr, "XY Team B Name", Rgb{255, 128, 0}, kWhite, false, 3000, 3120, 2775, 1335},
    {"Frame7", nullptr, "Team A Result", Rgb{255, 0, 0}, kWhite, false, 120, 4680, 2775, 1335},
    {"Frame8", nullptr, "Team B Result", Rgb{0, 128, 0}, kWhite, false, 3000, 4680, 2775, 1335},
    {"Frame14", nullptr, "XY Time Shape", Rgb{192, 0, 192}, kWhite, false, 120, 6120, 2895, 1695},
    {"Frame15", nullptr, "Time Value", Rgb{128, 64, 64}, kWhite, true, 3000, 6000, 9735, 1815},
    {"Frame9", nullptr, "Vertex Points/Auto Convert Hex Values to Pixel (value/16)", Rgb{64, 64, 64}, kWhite,
     false, 5880, 0, 9495, 6015},
    {"Frame17", "Frame9", "HOME", Rgb{0, 0, 128}, kWhite, false, 120, 240, 5415, 2655},
    {"Frame18", "Frame17", "Points A", std::nullopt, kWhite, false, 120, 240, 2535, 1215},
    {"Frame19", "Frame17", "Points B", std::nullopt, kWhite, false, 2760, 240, 2535, 1215},
    {"Frame20", "Frame17", "Points C", std::nullopt, kWhite, false, 120, 1440, 2535, 1095},
    {"Frame21", "Frame17", "Points D", std::nullopt, kWhite, false, 2760, 1440, 2535, 1095},
    {"Frame16", "Frame9", "AWAY ", Rgb{192, 0, 0}, kWhite, false, 120, 2880, 5415, 3015},
    {"Frame10", "Frame16", "Points A", std::nullopt, kWhite, false, 120, 240, 2535, 1335},
    {"Frame12", "Frame16", "Points B", std::nullopt, kWhite, false, 2760, 240, 2535, 1335},
    {"Frame11", "Frame16", "Points C", std::nullopt, kWhite, false, 120, 1560, 2535, 1335},
    {"Frame13", "Frame16", "Points D", std::nullopt, kWhite, false, 2760, 1560, 2535, 1335},
    {"Frame22", "Frame15", nullptr, std::nullopt, Rgb{255, 0, 0}, false, 120, 600, 1815, 1095},
    {"Frame23", "Frame15", nullptr, std::nullopt, Rgb{255, 0, 255}, false, 2040, 600, 1815, 1095},
    {"Frame26", "Frame15", nullptr, std::nullopt, Rgb{0, 0, 0}, false, 3960, 600, 1815, 1095},
    {"Frame24", "Frame15", nullptr, std::nullopt, Rgb{0, 255, 0}, false, 5880, 600, 1815, 1095},
    {"Frame25", "Frame15", nullptr, std::nullopt, Rgb{0, 0, 255}, false, 7800, 600, 1815, 1095},
}};

// The sample clock in "Time Value": which colour moves which character.
struct ClockLabelSpec {
    const char* name;
    const char* text;
    std::optional<Rgb> color; // empty: the system's text colour
    int left;
};
inline constexpr int kClockTop = 240;
inline constexpr std::array<ClockLabelSpec, 5> kClockLabels{{
    {"Label29", "2", Rgb{255, 0, 0}, 4440},
    {"Label30", "2", Rgb{255, 0, 255}, 4680},
    {"Label33", ":", std::nullopt, 4920},
    {"Label31", "2", Rgb{0, 255, 0}, 5160},
    {"Label32", "2", Rgb{0, 0, 255}, 5400},
}};

enum class Row { X, Y, Upper, Lower };

// Whether a text field can be seen and whether it takes input. None of them
// can be typed into: every edit comes through a box.
enum class TextFieldState { ShownDisabled, HiddenDisabled, Hidden };

struct BoxSpec {
    int number; // ucUpDownBoxN; its text field is txt_(N-1)
    const char* frame;
    Row row;
    int min, max;
    int left, top;
    TextFieldState textField;
};

inline constexpr int kWide = 999999;
inline constexpr int kVertexMax = 999999999;
using enum Row;
using enum TextFieldState;

inline constexpr std::array<BoxSpec, 44> kBoxes{{
    {1, "Frame1", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {2, "Frame1", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {3, "Frame2", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {4, "Frame2", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {5, "Frame3", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {6, "Frame3", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {7, "Frame4", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {8, "Frame4", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {9, "Frame5", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {10, "Frame5", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {11, "Frame6", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {12, "Frame6", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {13, "Frame7", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {14, "Frame7", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {15, "Frame8", X, -kWide, kWide, 1320, 360, ShownDisabled},
    {16, "Frame8", Y, -kWide, kWide, 1320, 840, ShownDisabled},
    {17, "Frame10", Upper, 0, kVertexMax, 1080, 360, ShownDisabled},
    {18, "Frame12", Upper, 0, kVertexMax, 1080, 360, ShownDisabled},
    {19, "Frame11", Upper, 0, 7340256, 1080, 360, ShownDisabled},
    {20, "Frame13", Upper, 0, 7340288, 1080, 360, ShownDisabled},
    {21, "Frame14", X, -kWide, kWide, 1440, 360, ShownDisabled},
    {22, "Frame14", Y, -kWide, kWide, 1440, 1080, ShownDisabled},
    {23, "Frame10", Lower, 0, kVertexMax, 1080, 840, ShownDisabled},
    {24, "Frame12", Lower, 0, kVertexMax, 1080, 840, ShownDisabled},
    {25, "Frame11", Lower, 0, kVertexMax, 1080, 840, ShownDisabled},
    {26, "Frame13", Lower, 0, kVertexMax, 1080, 840, ShownDisabled},
    {27, "Frame22", X, -kWide, kWide, 360, 240, HiddenDisabled},
    {28, "Frame22", Y, -kWide, kWide, 360, 720, HiddenDisabled},
    {29, "Frame18", Upper, 0, kVertexMax, 1080, 240, ShownDisabled},
    {30, "Frame18", Lower, 0, kVertexMax, 1080, 720, ShownDisabled},
    {31, "Frame19", Upper, 0, kVertexMax, 1080, 240, ShownDisabled},
    {32, "Frame19", Lower, 0, kVertexMax, 1080, 720, ShownDisabled},
    {33, "Frame20", Upper, 0, kVertexMax, 1080, 240, ShownDisabled},
    {34, "Frame20", Lower, 0, kVertexMax, 1080, 720, ShownDisabled},
    {35, "Frame21", Upper, 0, kVertexMax, 1080, 240, ShownDisabled},
    {36, "Frame21", Lower, 0, kVertexMax, 1080, 720, ShownDisabled},
    {37, "Frame23", X, -kWide, kWide, 360, 240, HiddenDisabled},
    {38, "Frame23", Y, -kWide, kWide, 360, 720, HiddenDisabled},
    {39, "Frame24", X, -kWide, kWide, 360, 240, HiddenDisabled},
    {40, "Frame24", Y, -kWide, kWide, 360, 720, HiddenDisabled},
    {41, "Frame25", X, -kWide, kWide, 360, 240, HiddenDisabled},
    {42, "Frame25", Y, -kWide, kWide, 360, 720, HiddenDisabled},
    {43, "Frame26", X, -kWide, kWide, 360, 240, Hidden},
    {44, "Frame26", Y, -kWide, kWide, 360, 720, Hidden},
}};

inline constexpr std::array<int, 44> kTabOrder{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                               16, 21, 22, 23, 17, 24, 18, 25, 19, 26, 20, 29, 30, 35, 36,
                                               34, 32, 31, 33, 27, 28, 37, 38, 39, 40, 41, 42, 43, 44};

inline constexpr int kBoxWidth = 1335;
inline constexpr int kWideBoxWidth = 1355; // box 7
inline constexpr int kBoxHeight = 315;
inline constexpr int kTextFieldWidth = 855;
inline constexpr int kRowLabelLeft = 120;
inline constexpr int kRowLabelWidth = 105;
inline constexpr int kRowLabelHeight = 195;

// Panel area: the window's client area.
inline constexpr int kPanelWidth = 15510;
inline constexpr int kPanelHeight = 8265;

} // namespace panel
