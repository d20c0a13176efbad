#pragma once

#include <QByteArray>
#include <QStringList>

// Starts a program, waits for it and says how long it took, from just before
// the start to just after its end was collected.
struct ChildRun {
    bool exitedCleanly = false; // ended by itself with status 0
    double wallMs = 0;
    long long startedNs = 0;    // CLOCK_MONOTONIC just before the start
    QByteArray output;          // its stdout
};

// argv[0] is the program's path. stdin is the null device, stderr is ours.
ChildRun runChild(const QStringList& argv);
