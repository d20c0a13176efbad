#include "scn_process.h"

#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QTimer>

bool Scn_Process::prepare(QProcess& process, const QStringList& Path)
{
    if (Path.isEmpty())
        return false;
    process.setProgram(Path.first());
    process.setArguments(Path.mid(1));
    // Nobody reads the tool's output; sending it to the null device means no
    // pipe can fill up and stall the tool, and it never waits for input. Its
    // standard error is read as it comes: a failing tool says why there.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);
    endWithTheEditor(process);
    return true;
}

bool Scn_Process::Run_Process(const QStringList& Path, int WindowStyle)
{
    // No console windows to hide or show: see the header.
    Q_UNUSED(WindowStyle);

    m_errorOutput.clear();
    m_startFailure.clear();
    QProcess process;
    if (!prepare(process, Path))
        return true;
    // Read whenever something comes, so that the pipe never fills up and
    // stalls the tool; only the start is kept.
    const auto keepErrorOutput = [this, &process] {
        const QByteArray more = process.readAllStandardError();
        m_errorOutput += more.left(kErrorOutputLimit - m_errorOutput.size());
    };
    QObject::connect(&process, &QProcess::readyReadStandardError, &process, keepErrorOutput);

    // Waiting in a local event loop keeps the windows painting and answering,
    // and the loop ends as soon as the process reports its end.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    // A modal dialog opened during the wait holds this loop until it closes:
    // the limit must not count that time against a tool that has ended.
    QObject::connect(&process, &QProcess::finished, &loop, [&] {
        limit.stop();
        loop.quit();
    });
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        // A crash is followed by finished(); only a failed start ends without it.
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    bool timedOut = false;
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });

    process.start();
    // A start can also fail before start() returns; then there is nothing to
    // wait for.
    if (process.state() == QProcess::NotRunning) {
        m_startFailure = process.errorString();
        return true;
    }
    limit.start(m_timeLimitMs);
    loop.exec();
    if (process.error() == QProcess::FailedToStart)
        m_startFailure = process.errorString();
    if (process.state() != QProcess::NotRunning) {
        // Stopped at the limit, or the application quits during the wait.
        process.kill();
        process.waitForFinished(-1);
    }
    keepErrorOutput();
    return !timedOut;
}

ProcessOutcome Scn_Process::run(const QStringList& Path, int timeLimitMs)
{
    Scn_Process process;
    process.setTimeLimit(timeLimitMs);
    const bool endedInTime = process.Run_Process(Path);
    return {endedInTime, process.errorOutput(), process.startFailure()};
}
