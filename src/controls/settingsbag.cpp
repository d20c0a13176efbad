#include "settingsbag.h"

void SettingsBag::write(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const qsizetype index = indexOf(name);
    if (value == defaultValue) {
        if (index >= 0)
            m_entries.removeAt(index);
        return;
    }
    if (index < 0)
        m_entries.append({name, value});
    else
        m_entries[index].second = value;
}

QVariant SettingsBag::read(const QString& name, const QVariant& defaultValue) const
{
    const qsizetype index = indexOf(name);
    return index < 0 ? defaultValue : m_entries[index].second;
}

QStringList SettingsBag::names() const
{
    QStringList result;
    result.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        result.append(entry.first);
    return result;
}

qsizetype SettingsBag::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
