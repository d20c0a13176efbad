#pragma once

#include <QStringList>

class QProcess;

// How a program's run ended: in time, or stopped at the limit; and what it
// said on its standard error.
struct ProcessOutcome {
    bool endedInTime = true;
    QByteArray errorOutput;
    QString startFailure; // why it could not start; empty when it did
};

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
    // Linux programs get no window either way, and on Windows QProcess gives
    // a console program none when the editor has no console of its own, so
    // the value is only kept for the callers' sake.
    //
    // Returns once the program has ended, at once when it cannot start, or
    // when it is still running at the time limit: then it is killed and the
    // answer is false. The exit code and the standard output are dropped.
    bool Run_Process(const QStringList& Path, int WindowStyle = 0);

    // What the last program run wrote to its standard error, at most its
    // first kErrorOutputLimit bytes: a failing tool gives its reason there.
    static constexpr qsizetype kErrorOutputLimit = 4096;
    const QByteArray& errorOutput() const { return m_errorOutput; }
    // Why the last program could not start (missing, not executable); empty
    // when it did.
    const QString& startFailure() const { return m_startFailure; }

    // Runs a program as Run_Process does, with a time limit, and tells how it went.
    static ProcessOutcome run(const QStringList& Path, int timeLimitMs);

    // How long a program may run; a hung tool must not lock the window.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }

    // Sets process up to run Path the way Run_Process starts it: no shell,
    // its input and output on the null device, its standard error for the
    // caller to read. False for an empty Path.
    static bool prepare(QProcess& process, const QStringList& Path);

private:
    // The tool ends with the editor, also when the editor crashes. Left
    // running, it would go on writing into a working file that the next
    // editor may by then use for another game file of the same name. How is
    // up to each system (scn_process_linux.cpp, scn_process_win.cpp).
    static void endWithTheEditor(QProcess& process);

    int m_timeLimitMs = kDefaultTimeLimitMs;
    QByteArray m_errorOutput;
    QString m_startFailure;
};
