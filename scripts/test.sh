#!/usr/bin/env bash
# Builds Varnel with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON
cmake --build build-test -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-test --output-on-failure -j2
