#include "preset.h"

#include "filereplace.h"
#include "readablefile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace gamefile {

namespace {

const QString kFormat = QStringLiteral("varnel-layout");

// The members of a JSON object as they are written: each key, decoded, and
// its value's text. QJsonDocument reads a number with a fraction or an
// exponent as it reads an integer, so the text itself must be looked at. Only
// for objects that QJsonDocument has found valid.
QList<std::pair<QString, QByteArrayView>> membersAsWritten(QByteArrayView object)
{
    qsizetype at = 1; // past the opening brace
    const auto space = [&] {
        while (at < object.size() && QByteArrayView(" \t\r\n").contains(object[at]))
            ++at;
    };
    const auto value = [&] {
        space();
        const qsizetype start = at;
        if (QByteArrayView("\"{[").contains(object[at])) {
            int depth = 0;
            do {
                const char c = object[at++];
                if (c == '"') {
                    while (object[at] != '"')
                        at += object[at] == '\\' ? 2 : 1;
                    ++at;
                } else if (c == '{' || c == '[') {
                    ++depth;
                } else if (c == '}' || c == ']') {
                    --depth;
                }
            } while (depth > 0);
        } else {
            while (at < object.size() && !QByteArrayView(",}] \t\r\n").contains(object[at]))
                ++at;
        }
        return object.sliced(start, at - start);
    };
    QList<std::pair<QString, QByteArrayView>> members;
    space();
    while (object[at] != '}') {
        const QByteArray key = "[" + value().toByteArray() + "]";
        space();
        ++at; // the colon
        members.append({QJsonDocument::fromJson(key).array().at(0).toString(), value()});
        space();
        if (object[at] == ',')
            ++at, space();
    }
    return members;
}

QString checkValues(QByteArrayView values, layout::Record* record)
{
    QSet<QString> seen;
    for (const auto& [key, text] : membersAsWritten(values)) {
        const layout::FieldInfo* field = layout::fieldByKey(key.toStdString());
        if (!field)
            return QStringLiteral("unknown key \"%1\"").arg(key);
        if (seen.contains(key))
            return QStringLiteral("\"%1\" is given twice").arg(key);
        seen.insert(key);
        const QString number = QString::fromUtf8(text);
        const std::optional<qint16> value = recordValue(number);
        if (!value)
            return QStringLiteral("\"%1\" is %2, not a whole number from -32768 to 32767").arg(key, number);
        (*record)[static_cast<std::size_t>(field->index)] = *value;
    }
    for (const layout::FieldInfo& field : layout::kFields)
        if (!seen.contains(presetKey(field)))
            return QStringLiteral("\"%1\" is missing").arg(presetKey(field));
    return {};
}

// The first problem of a preset's text, or nothing.
QString check(const QByteArray& text, layout::Record* record)
{
    if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF"))
        return QStringLiteral("it is saved as UTF-16; save it as UTF-8");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON: %1 at character %2").arg(error.errorString()).arg(error.offset);
    if (!document.isObject())
        return QStringLiteral("not a JSON object");
    const QJsonValue format = document.object().value(QStringLiteral("format"));
    if (format != kFormat)
        return QStringLiteral("not a layout: its format is %1, not \"%2\"")
            .arg(QString::fromUtf8(QJsonDocument(QJsonArray{format}).toJson(QJsonDocument::Compact).mid(1).chopped(1)),
                 kFormat);
    // QJsonDocument skips a byte order mark, as some Windows editors write
    // one before UTF-8; so must the reading of the members as written.
    QByteArrayView body = QByteArrayView(text).trimmed();
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3).trimmed();
    QByteArrayView version, values;
    QSet<QString> seen;
    for (const auto& [key, written] : membersAsWritten(body)) {
        const bool ours = key == u"format" || key == u"version" || key == u"values";
        // The JSON reader keeps the last of two; which one a person meant
        // is not for us to guess.
        if (ours && seen.contains(key))
            return QStringLiteral("\"%1\" is given twice").arg(key);
        seen.insert(key);
        if (key == u"version")
            version = written;
        else if (key == u"values")
            values = written;
    }
    if (version != "1")
        return QStringLiteral("version %1 is not known; this Varnel reads version 1")
            .arg(QString::fromUtf8(version.isEmpty() ? "(none)" : version));
    if (!values.startsWith('{'))
        return QStringLiteral("it has no \"values\" object");
    return checkValues(values, record);
}

} // namespace

std::optional<layout::Record> readPreset(const QString& path, QString* problem)
{
    QByteArray text;
    if (const StepResult read =
            readWholeFile(path, kMaxPresetSize, QStringLiteral("reading the preset"), &text);
        !read.ok()) {
        *problem = QStringLiteral("%1: cannot read: %2").arg(QDir::toNativeSeparators(path), read.reason());
        return std::nullopt;
    }
    std::optional<layout::Record> record = presetFromText(text, problem);
    if (!record)
        *problem = QDir::toNativeSeparators(path) + QStringLiteral(": ") + *problem;
    return record;
}

std::optional<qint16> recordValue(const QString& text)
{
    // Anchored at both ends: a "$" alone would let a trailing newline through.
    static const QRegularExpression wholeNumber(
        QRegularExpression::anchoredPattern(QStringLiteral("-?(0|[1-9][0-9]{0,5})")));
    const int value = text.toInt();
    if (!wholeNumber.match(text).hasMatch() || value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<qint16>(value);
}

std::optional<layout::Record> presetFromText(const QByteArray& text, QString* problem)
{
    layout::Record record{};
    if (const QString first = check(text, &record); !first.isEmpty()) {
        *problem = first;
        return std::nullopt;
    }
    return record;
}

QByteArray presetText(const layout::Record& record)
{
    QByteArray text = "{\n    \"format\": \"" + kFormat.toUtf8() + "\",\n    \"version\": 1,\n    \"values\": {\n";
    for (const layout::FieldInfo& field : layout::kFields)
        text += "        \"" + QByteArray(field.key.data(), qsizetype(field.key.size())) + "\": " +
                QByteArray::number(record[static_cast<std::size_t>(field.index)]) +
                (field.index + 1 < layout::kFieldCount ? ",\n" : "\n");
    return text + "    }\n}\n";
}

StepResult writePreset(const QString& path, const layout::Record& record)
{
    QString error;
    if (!writeOver(presetText(record), path, &error))
        return StepResult::failed(QStringLiteral("writing the preset"), error);
    return StepResult::done();
}

} // namespace gamefile
