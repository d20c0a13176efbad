#include "maphandles.h"

#include "editorpaneltable.h"

#include <string>

namespace maphandles {

namespace {

struct Handle {
    const char* key; // of its fields, without ".x" and ".y"
    const char* name;
};

// The clock characters from left to right, as the panel shows them.
constexpr std::array<Handle, kCount> kHandles{{
    {"left_shape", "Left Shape"},       {"central_shape", "Central Shape"}, {"team_a_shape", "Team A Shape"},
    {"team_b_shape", "Team B Shape"},   {"team_a_name", "Team A Name"},     {"team_b_name", "Team B Name"},
    {"team_a_result", "Team A Result"}, {"team_b_result", "Team B Result"}, {"time_shape", "Time Shape"},
    {"clock.digit1", "Digit 1"},        {"clock.digit2", "Digit 2"},        {"clock.colon", "Colon"},
    {"clock.digit3", "Digit 3"},        {"clock.digit4", "Digit 4"},        {"home.a", "HOME a"},
    {"home.b", "HOME b"},               {"home.c", "HOME c"},               {"home.d", "HOME d"},
    {"away.a", "AWAY a"},               {"away.b", "AWAY b"},               {"away.c", "AWAY c"},
    {"away.d", "AWAY d"},
}};

const panel::FrameSpec& frameNamed(std::string_view name)
{
    for (const panel::FrameSpec& frame : panel::kFrames)
        if (name == frame.name)
            return frame;
    Q_UNREACHABLE();
}

QColor toColour(panel::Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

const layout::FieldInfo& field(int handle, Axis axis)
{
    // Looked up once: moves read them for every handle they set.
    static const auto fields = [] {
        std::array<std::array<const layout::FieldInfo*, 2>, kCount> found{};
        for (int h = 0; h < kCount; ++h)
            for (const char* suffix : {".x", ".y"}) {
                found[std::size_t(h)][suffix[1] == 'y'] =
                    layout::fieldByKey(kHandles[std::size_t(h)].key + std::string(suffix));
                Q_ASSERT(found[std::size_t(h)][suffix[1] == 'y']);
            }
        return found;
    }();
    return *fields[std::size_t(handle)][axis == Axis::Y];
}

QString name(int handle)
{
    return QString::fromLatin1(kHandles[std::size_t(handle)].name);
}

Points positions(const layout::Record& record)
{
    Points points;
    for (int h = 0; h < kCount; ++h) {
        const layout::FieldInfo &x = field(h, Axis::X), &y = field(h, Axis::Y);
        const double scale = x.kind == layout::FieldKind::Vertex ? 16.0 : 1.0;
        points[std::size_t(h)] = {record[std::size_t(x.index)] / scale, record[std::size_t(y.index)] / scale};
    }
    return points;
}

QColor colour(int handle)
{
    const panel::BoxSpec& box = panel::kBoxes[std::size_t(field(handle, Axis::X).textField)];
    Q_ASSERT(box.number == field(handle, Axis::X).textField + 1);
    for (const char* name = box.frame; name;) {
        const panel::FrameSpec& frame = frameNamed(name);
        if (!frame.caption)
            return toColour(frame.background);
        // A corner's own frame has no colour: its panel's caption has. The
        // system's text colour is black on the panel's white.
        if (!std::string_view(frame.caption).starts_with("Points"))
            return frame.captionColor ? toColour(*frame.captionColor) : QColor(Qt::black);
        name = frame.parent;
    }
    return Qt::black;
}

} // namespace maphandles
