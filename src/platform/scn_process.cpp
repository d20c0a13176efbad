#include "scn_process.h"

#include <QEventLoop>
#include <QObject>
#include <QProcess>

QStringList Scn_Process::splitCommandLine(const QString& commandLine)
{
    QStringList parts;
    QString current;
    bool inWord = false; // also true for "" so that it gives an empty argument
    bool inQuotes = false;

    for (const QChar c : commandLine) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            inWord = true;
        } else if (!inQuotes && (c == u' ' || c == u'\t')) {
            if (inWord) {
                parts.append(current);
                current.clear();
                inWord = false;
            }
        } else {
            current.append(c);
            inWord = true;
        }
    }
    if (inWord)
        parts.append(current);
    return parts;
}

bool Scn_Process::prepare(QProcess& process, const QString& commandLine)
{
    const QStringList parts = splitCommandLine(commandLine);
    if (parts.isEmpty())
        return false;
    process.setProgram(parts.first());
    process.setArguments(parts.mid(1));
    // Nobody reads the tool's output; sending it to the null device means no
    // pipe can fill up and stall the tool, and it never waits for input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return true;
}

void Scn_Process::Run_Process(const QString& Path, int WindowStyle)
{
    // No console windows to hide or show on Linux.
    Q_UNUSED(WindowStyle);

    QProcess process;
    if (!prepare(process, Path))
        return;

    // Waiting in a local event loop keeps the windows painting and answering,
    // and the loop ends as soon as the process reports its end.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        // A crash is followed by finished(); only a failed start ends without it.
        if (error == QProcess::FailedToStart)
            loop.quit();
    });

    process.start();
    // A start can also fail before start() returns; then there is nothing to
    // wait for.
    if (process.state() == QProcess::NotRunning)
        return;
    loop.exec();
    // If the application quits during the wait, the loop ends early and the
    // QProcess destructor kills the tool and waits for it.
}
