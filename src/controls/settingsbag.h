#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

// The saved settings of one control: names mapped to values. Names match
// regardless of case ("min" finds "Min"); they keep the order they were first
// written in. A value equal to its default is not kept, so the bag only holds
// what differs from a fresh control.
class SettingsBag
{
public:
    // Stores the value under the name, or removes the name when the value
    // equals the default. A name already present keeps its place.
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue);

    // The stored value, or the default when the name is not present.
    QVariant read(const QString& name, const QVariant& defaultValue) const;

    // Names in the order they were first written, spelled as written.
    QStringList names() const;

private:
    qsizetype indexOf(const QString& name) const;

    QList<std::pair<QString, QVariant>> m_entries;
};
