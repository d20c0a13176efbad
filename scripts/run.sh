#!/usr/bin/env bash
# Builds Varnel and starts it with a copy of the bundled sample open,
# build/sample/unnamed_278.bin: edits go into the copy, the tracked file
# stays as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
echo "Opening a copy of the sample: $(pwd)/build/sample/unnamed_278.bin"
exec build/program/varnel build/sample/unnamed_278.bin
