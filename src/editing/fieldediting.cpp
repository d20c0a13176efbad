#include "fieldediting.h"

#include "baza.h"
#include "editorpanel.h"
#include "numbertext.h"
#include "ucupdownbox.h"

#include <QLineEdit>

#include <limits>

namespace editing {

namespace {

// The pixel value a vertex point shows, stored in sixteenths.
constexpr int kSixteenths = 16;

} // namespace

std::optional<qint16> storableValue(const QString& text, layout::FieldKind kind)
{
    const std::optional<qint16> number = numbertext::toInt16(text);
    if (!number)
        return std::nullopt;
    if (kind == layout::FieldKind::Plain)
        return number;
    const int scaled = *number * kSixteenths;
    if (scaled < std::numeric_limits<qint16>::min() || scaled > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(scaled);
}

QString shownText(qint16 value, layout::FieldKind kind)
{
    if (kind == layout::FieldKind::Plain)
        return numbertext::fromInt(value);
    return numbertext::fromDouble(static_cast<double>(value) / kSixteenths);
}

void txt_Change(const EditorPanel& panel, Baza& baza)
{
    for (int k = 0; k < layout::kFieldCount; ++k) {
        const layout::FieldInfo& field = layout::fieldForTextField(k);
        if (const std::optional<qint16> value = storableValue(panel.txt(k)->text(), field.kind))
            baza.setValue(field.index, *value);
    }
}

void connectStorePass(EditorPanel& panel, Baza& baza)
{
    for (int k = 0; k < layout::kFieldCount; ++k)
        QObject::connect(panel.txt(k), &QLineEdit::textChanged, &panel,
                         [&panel, &baza] { txt_Change(panel, baza); });
}

void Show_Data(EditorPanel& panel, const Baza& baza)
{
    for (int k = 0; k < layout::kFieldCount; ++k) {
        const layout::FieldInfo& field = layout::fieldForTextField(k);
        panel.txt(k)->setText(shownText(baza.value(field.index), field.kind));
    }
    for (int n = 1; n <= layout::kFieldCount; ++n) {
        // Phase-one texts always read back; the box clamps what it gets.
        const std::optional<qint32> value = numbertext::toInt32(panel.txt(n - 1)->text());
        panel.box(n)->setValue(value.value_or(0));
    }
}

} // namespace editing
