#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs them all; any sanitizer report fails the run. Leak detection stays on.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON -DVARNEL_WERROR=ON
cmake --build build-asan -j2
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
rm -f build-asan/sanitizer-run.tsv
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j2
# Only reached when every test passed: the report notes the run.
printf '%s\t%s\n' "$(date -u '+%Y-%m-%d %H:%M UTC')" \
    "$(ctest --test-dir build-asan -N | sed -n 's/^Total Tests: //p')" > build-asan/sanitizer-run.tsv
bash scripts/reliability-report.sh
