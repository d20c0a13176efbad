#!/usr/bin/env bash
# Builds Varnel in Release in build-bench/ and runs the benchmark on Qt's
# offscreen platform. Prints one table of medians; REPEATS defaults to 11.
# With EARLIER, a commit, that commit's editor is built too, and start-up and
# memory are held against it in the same run.
#
#   bash scripts/bench.sh [REPEATS [EARLIER]]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j2 --target varnel-bench
earlier=()
if [ -n "${2:-}" ]; then
    rm -rf build-bench/earlier-src && mkdir -p build-bench/earlier-src
    git archive "$2" | tar -x -C build-bench/earlier-src
    cmake -S build-bench/earlier-src -B build-bench/earlier -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build build-bench/earlier -j2 --target varnel-editor-probe
    earlier=(build-bench/earlier/bench/program/varnel-editor-probe)
fi
QT_QPA_PLATFORM=offscreen build-bench/bench/varnel-bench "${1:-11}" "${earlier[@]}"
