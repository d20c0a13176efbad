#pragma once

#include <QString>
#include <QStringList>

class QProcess;

// Runs an outside program (the zlib tool) and waits for it to end while the
// editor's windows keep painting and answering.
class Scn_Process {
public:
    // Path is one whole command line: the program followed by its arguments,
    // split by splitCommandLine(). No shell is involved.
    //
    // WindowStyle 0 asks for no console window, 1 would be a normal window.
    // Linux programs get no window either way, so the value is only kept for
    // the callers' sake.
    //
    // Returns when the program has ended, or at once when it cannot start.
    // Nothing is reported back: the exit code and all output are dropped.
    void Run_Process(const QString& Path, int WindowStyle = 0);

    // Splits a command line at blanks and tabs. A double-quoted piece may
    // hold blanks; the double quotes themselves are removed and may also sit
    // inside a word ("ab"c gives abc). Single quotes and backslashes are
    // ordinary characters, so a path such as "/opt/it's here/x" stays whole.
    // A pair of quotes with nothing between gives an empty argument; a quote
    // left open runs to the end of the line.
    static QStringList splitCommandLine(const QString& commandLine);

    // Sets process up to run commandLine the way Run_Process starts it:
    // split as above, no shell, its stdio on the null device. False for a
    // command line with no program in it.
    static bool prepare(QProcess& process, const QString& commandLine);
};
