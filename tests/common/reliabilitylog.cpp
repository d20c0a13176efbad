#include "reliabilitylog.h"

#include <QFile>
#include <QStringList>

namespace reliabilitylog {

namespace {

QString cell(QString text)
{
    // One row per line, columns split at tabs: neither may occur in a cell.
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('|'), QLatin1Char('/'));
    return text.simplified();
}

} // namespace

void record(const QString& area, const QString& input, const QString& outcome)
{
    static bool started = false;
    const QString path = qEnvironmentVariable("VARNEL_RELIABILITY_LOG");
    if (path.isEmpty())
        return;
    QFile log(path);
    const QIODevice::OpenMode mode = started ? QIODevice::Append : QIODevice::Truncate;
    if (!log.open(QIODevice::WriteOnly | QIODevice::Text | mode))
        qFatal("cannot write the reliability log %s: %s", qPrintable(path), qPrintable(log.errorString()));
    started = true;
    log.write((QStringList{cell(area), cell(input), cell(outcome)}.join(QLatin1Char('\t')) + QLatin1Char('\n')).toUtf8());
}

} // namespace reliabilitylog
