#pragma once

#include <QString>

// The reliability report's raw rows. A test that tries a bad input or
// injects a fault records what it tried and what it saw; after the run,
// scripts/reliability-report.cmake turns every program's rows into
// docs/reliability.md. Rows go to the file named by VARNEL_RELIABILITY_LOG,
// which the build sets for each test program; without it nothing is kept.
namespace reliabilitylog {

// One row: the area (the table it belongs to), the input or fault, and the
// outcome seen. The first row of a run starts the file afresh.
void record(const QString& area, const QString& input, const QString& outcome);

} // namespace reliabilitylog
