#include "pollingrunner.h"

#include "scn_process.h"

#include <QCoreApplication>
#include <QProcess>

#include <chrono>
#include <thread>

namespace {

// The poll: true while the program has not ended. waitForFinished(0) looks at
// the process without waiting and takes note of an end that has happened.
bool stillRunning(QProcess& process)
{
    return process.state() != QProcess::NotRunning && !process.waitForFinished(0);
}

} // namespace

void PollingRunner::run(const QStringList& commandLine)
{
    m_passes = 0;
    // Started exactly as Scn_Process starts it, so that only the wait differs.
    QProcess process;
    if (!Scn_Process::prepare(process, commandLine))
        return;
    process.start();
    // As a Windows start does, learn at once whether the program started.
    if (!process.waitForStarted())
        return;

    bool running = true;
    do {
        running = stillRunning(process);
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(kSleepMs));
        ++m_passes;
    } while (running);
}
