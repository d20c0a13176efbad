#include "savemarks.h"

#include "baza.h"
#include "editorpanel.h"
#include "numbertext.h"
#include "ucupdownbox.h"

#include <QLineEdit>

namespace editing
{

namespace
{

constexpr int kSixteenths = 16;

QPalette marked(QPalette palette)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(255, 222, 222));
        palette.setColor(group, QPalette::Text, QColor(170, 0, 0));
    }
    return palette;
}

} // namespace

std::optional<QString> saveMismatch(const QString& shownText, layout::FieldKind kind, qint16 recordValue)
{
    const bool vertex = kind == layout::FieldKind::Vertex;
    const QString writes = QStringLiteral("Save writes %1")
                               .arg(vertex ? numbertext::fromDouble(double(recordValue) / kSixteenths)
                                           : numbertext::fromInt(recordValue));
    const std::optional<double> shown = numbertext::toDouble(shownText);
    if (!shown)
        return writes + QStringLiteral(": no number is shown");
    const int unit = vertex ? kSixteenths : 1;
    if (*shown * unit == recordValue) // exact: a sixteenth is a power of two
        return std::nullopt;
    const QString number = shownText.trimmed();
    const double whole = numbertext::roundHalfEven(*shown);
    if (!(whole * unit >= -32768 && whole * unit <= 32767)) // what the store pass skips
        return writes + QStringLiteral(": %1 does not fit").arg(number);
    if (whole != *shown)
        return writes + (vertex ? QStringLiteral(": %1 is not a whole pixel")
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
