#!/usr/bin/env bash
# Builds Varnel in Release in build-bench/ and runs the benchmark on Qt's
# offscreen platform. Prints one table of medians; REPEATS defaults to 11.
#
#   bash scripts/bench.sh [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j2 --target varnel-bench
QT_QPA_PLATFORM=offscreen build-bench/bench/varnel-bench "${1:-11}"
