#include "scn_process.h"

#include <QEventLoop>
#include <QObject>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#endif

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
#ifdef Q_OS_LINUX
    // The tool ends with the editor. Left running after a crash, it would
    // go on writing into a working file that the next editor may by then
    // use for another game file of the same name.
    const pid_t editor = getpid();
    process.setChildProcessModifier([editor] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != editor) // the editor ended before the line above
            _exit(127);
    });
#endif
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
