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
    // pipe can fill up and stall the tool, and it never waits for input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return true;
}

bool Scn_Process::Run_Process(const QStringList& Path, int WindowStyle)
{
    // No console windows to hide or show on Linux.
    Q_UNUSED(WindowStyle);

    QProcess process;
    if (!prepare(process, Path))
        return true;

    // Waiting in a local event loop keeps the windows painting and answering,
    // and the loop ends as soon as the process reports its end.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        // A crash is followed by finished(); only a failed start ends without it.
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });

    process.start();
    // A start can also fail before start() returns; then there is nothing to
    // wait for.
    if (process.state() == QProcess::NotRunning)
        return true;
    limit.start(m_timeLimitMs);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        // Stopped at the limit, or the application quits during the wait.
        process.kill();
        process.waitForFinished(-1);
    }
    return !timedOut;
}
