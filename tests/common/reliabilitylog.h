#pragma once

#include <QFile>
#include <QStringList>

#include <utility>

// The reliability report's raw rows. A test that tries a bad input or
// injects a fault records what it tried and what it saw; after the run,
// scripts/reliability-report.sh turns every program's rows into the
// reliability report. Rows go to the file named by VARNEL_RELIABILITY_LOG,
// which the build sets for each test program; without it nothing is kept.
namespace reliabilitylog {

// One row: the area (the table it belongs to), the input or fault, and the
// outcome seen. The first row of a run starts the file afresh.
inline void record(const QString& area, const QString& input, const QString& outcome)
{
    static bool started = false;
    QFile log(qEnvironmentVariable("VARNEL_RELIABILITY_LOG"));
    if (log.fileName().isEmpty())
        return;
    const auto mode = std::exchange(started, true) ? QIODevice::Append : QIODevice::Truncate;
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text | mode))
        qFatal("cannot write the reliability log %s", qPrintable(log.fileName()));
    QStringList cells{area, input, outcome};
    for (QString& cell : cells) // one row per line, columns split at tabs, a table cell each
        cell = cell.replace('|', '/').simplified();
    log.write((cells.join('\t') + '\n').toUtf8());
}

} // namespace reliabilitylog
