#include "savemarks.h"

#include "baza.h"
#include "editorpanel.h"
#include "fieldediting.h"
#include "numbertext.h"
#include "ucupdownbox.h"

#include <QLineEdit>

namespace editing
{

namespace
{

QPalette marked(QPalette palette)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(255, 222, 222));
        palette.setColor(group, QPalette::Text, QColor(170, 0, 0));
    }
    return palette;
}

} // namespace

std::optional<QString> saveMismatch(const QString& text, layout::FieldKind kind, qint16 recordValue)
{
    // The record's value as the field would show it; read back exactly, as
    // every sixteenth is written in full.
    const QString written = shownText(recordValue, kind);
    const std::optional<double> shown = numbertext::toDouble(text);
    if (shown && shown == numbertext::toDouble(written))
        return std::nullopt;
    const QString writes = QStringLiteral("Save writes %1").arg(written);
    if (!shown)
        return writes + QStringLiteral(": no number is shown");
    const QString number = text.trimmed();
    if (!storableValue(text, kind)) // the store pass skips it
        return writes + QStringLiteral(": %1 does not fit").arg(number);
    if (numbertext::roundHalfEven(*shown) != *shown)
        return writes + (kind == layout::FieldKind::Vertex ? QStringLiteral(": %1 is not a whole pixel")
                                                           : QStringLiteral(": %1 is not a whole number"))
                            .arg(number);
    return writes + QStringLiteral(", not %1").arg(number);
}

SaveMarks::SaveMarks(EditorPanel& panel, const Baza& baza, QObject* parent)
    : QObject(parent), m_panel(panel), m_baza(baza)
{
    // Connected after the store pass, so that the record has taken what it
    // takes by the time it is looked at.
    for (int k = 0; k < layout::kFieldCount; ++k) {
        connect(panel.txt(k), &QLineEdit::textChanged, this, [this, k] { update(k); });
        if (panel.txt(k)->isHidden())
            connect(panel.box(k + 1)->txtValue(), &QLineEdit::textChanged, this, [this, k] { update(k); });
    }
}

QWidget* SaveMarks::shownBy(int textField) const
{
    QLineEdit* field = m_panel.txt(textField);
    return field->isHidden() ? m_panel.box(textField + 1)->txtValue() : field;
}

void SaveMarks::updateAll()
{
    for (int k = 0; k < layout::kFieldCount; ++k)
        update(k);
}

void SaveMarks::update(int textField)
{
    const layout::FieldInfo& field = layout::fieldForTextField(textField);
    auto* shown = static_cast<QLineEdit*>(shownBy(textField));
    const QString mark =
        m_baza.Loaded()
            ? saveMismatch(shown->text(), field.kind, m_baza.value(field.index)).value_or(QString())
            : QString();
    QString& current = m_marks[std::size_t(textField)];
    if (mark == current)
        return;
    if (current.isEmpty())
        m_unmarked[std::size_t(textField)] = shown->palette();
    shown->setPalette(mark.isEmpty() ? m_unmarked[std::size_t(textField)] : marked(shown->palette()));
    shown->setToolTip(mark);
    current = mark;
}

} // namespace editing
