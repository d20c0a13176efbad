#pragma once

#include <functional>

class QWidget;

// What the start-up probes share: run the event loop until the window has
// been painted and the loop has nothing left to do, then report.
namespace idleprobe {

// Nanoseconds of CLOCK_MONOTONIC, one clock for every process on the machine,
// so the parent can subtract the time at which it started the probe.
long long monotonicNs();

// Records that start-up has reached the phase `name` now; printReport()
// prints every phase with its time.
void mark(const char* name);

// Runs the application's event loop until `window` has been painted and the
// loop is about to wait for new events. Then `thenDo`, if given, runs once
// from the loop, and the loop goes on until it is idle again. Returns the time
// at which the loop first became idle. Marks "paint" when the window's first
// paint event arrives.
long long runUntilIdle(QWidget& window, const std::function<void()>& thenDo = {});

// What a probe does once its window is built: marks "built", shows the
// window, marks "shown", runs until idle and reports. Returns main()'s status.
int showAndReport(QWidget& window);

// Prints "idle_ns N" and "hwm_kib N" on stdout, the second being the peak
// resident memory of this process so far (VmHWM), and "phase_ns NAME N" for
// each phase marked.
void printReport(long long idleNs);

} // namespace idleprobe
