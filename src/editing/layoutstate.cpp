#include "layoutstate.h"

#include "baza.h"
#include "editorpanel.h"
#include "ucupdownbox.h"

#include <QLineEdit>

#include <string>

namespace editing {

LayoutState captureState(const EditorPanel& panel, const Baza& baza)
{
    LayoutState state;
    state.record = baza.record();
    for (int k = 0; k < layout::kFieldCount; ++k) {
        const auto at = static_cast<std::size_t>(k);
        state.boxValues[at] = panel.box(k + 1)->Value();
        state.boxTexts[at] = panel.box(k + 1)->txtValue()->text();
        state.texts[at] = panel.txt(k)->text();
    }
    return state;
}

void putBackState(EditorPanel& panel, Baza& baza, const LayoutState& state)
{
    for (int k = 0; k < layout::kFieldCount; ++k) {
        panel.box(k + 1)->setValue(state.boxValues[static_cast<std::size_t>(k)]);
        panel.box(k + 1)->txtValue()->setText(state.boxTexts[static_cast<std::size_t>(k)]);
    }
    for (int k = 0; k < layout::kFieldCount; ++k)
        panel.txt(k)->setText(state.texts[static_cast<std::size_t>(k)]);
    baza.setRecord(state.record);
}

LayoutState invertedState(const LayoutState& state, std::string_view team)
{
    LayoutState inverted = state;
    for (const auto& [first, second] : {std::pair("a", "c"), std::pair("b", "d")}) {
        for (const char* axis : {"x", "y"}) {
            const std::string prefix = std::string(team) + ".";
            const layout::FieldInfo* one = layout::fieldByKey(prefix + first + "." + axis);
            const layout::FieldInfo* other = layout::fieldByKey(prefix + second + "." + axis);
            Q_ASSERT(one && other);
            const auto [a, b] = std::pair(static_cast<std::size_t>(one->textField),
                                          static_cast<std::size_t>(other->textField));
            std::swap(inverted.boxValues[a], inverted.boxValues[b]);
            std::swap(inverted.boxTexts[a], inverted.boxTexts[b]);
            std::swap(inverted.texts[a], inverted.texts[b]);
            std::swap(inverted.record[static_cast<std::size_t>(one->index)],
                      inverted.record[static_cast<std::size_t>(other->index)]);
        }
    }
    return inverted;
}

} // namespace editing
