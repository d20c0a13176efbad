#!/usr/bin/env bash
# Builds Varnel with warnings as errors, runs every test and writes the
# reliability report into build-test/ from what the tests recorded; the work
# tree stays as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON
cmake --build build-test -j2
rm -f build-test/reliability/*.tsv
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j2
bash scripts/reliability-report.sh
