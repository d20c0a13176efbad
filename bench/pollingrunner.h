#pragma once

#include <QStringList>

// The baseline way of waiting for zlibtool: start it, then poll its exit code
// every 100 ms, letting the window's events run and sleeping in between. The
// test comes after the sleep, so even a tool that ends at once costs one full
// pass, and an end is noticed up to one pass late.
class PollingRunner {
public:
    static constexpr int kSleepMs = 100;

    // A command line as Scn_Process takes it: the program, then its
    // arguments. Returns once the program has ended or has failed to start.
    void run(const QStringList& commandLine);

    // Passes made by the last run; a pass is one poll, one round of events
    // and one sleep.
    int passes() const { return m_passes; }

private:
    int m_passes = 0;
};
