#pragma once

#include <QStringList>

class QProcess;

// Runs an outside program (the zlib tool) and waits for it to end while the
// editor's windows keep painting and answering.
class Scn_Process {
public:
    static constexpr int kDefaultTimeLimitMs = 30000;

    // Path is the command line as a list: the program, then its arguments,
    // each handed over exactly as it is. No shell and no quoting are
    // involved, so a name may hold blanks, quotes or anything else.
    //
    // WindowStyle 0 asks for no console window, 1 would be a normal window.
    // Linux programs get no window either way, so the value is only kept for
    // the callers' sake.
    //
    // Returns once the program has ended, at once when it cannot start, or
    // when it is still running at the time limit: then it is killed and the
    // answer is false. The exit code and all output are dropped.
    bool Run_Process(const QStringList& Path, int WindowStyle = 0);

    // How long a program may run; a hung tool must not lock the window.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }

    // Sets process up to run Path the way Run_Process starts it: no shell,
    // its stdio on the null device. False for an empty Path.
    static bool prepare(QProcess& process, const QStringList& Path);

private:
    int m_timeLimitMs = kDefaultTimeLimitMs;
};
