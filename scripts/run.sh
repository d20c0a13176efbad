#!/usr/bin/env bash
# Builds Varnel and starts it. A copy of the bundled sample waits in
# build/sample/unnamed_278.bin: open that one, the tracked file stays as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
echo "Sample to open: $(pwd)/build/sample/unnamed_278.bin"
exec build/program/varnel
