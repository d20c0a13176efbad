#pragma once

#include <QSettings>

// Where Varnel remembers things across runs: the folders last used, the
// recent files, a backdrop for each game file. One store for all of them.
inline QSettings varnelSettings()
{
    return QSettings(QStringLiteral("Varnel"), QStringLiteral("Varnel"));
}
