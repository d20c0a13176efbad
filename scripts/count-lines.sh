#!/usr/bin/env bash
# Counts non-blank lines of C++, Python, shell and CMake files, and prints how
# test code compares with the rest. Test code: everything under tests/, plus
# test programs elsewhere (files named tst_*). The rest: src/, tools/, bench/,
# fuzz/ and scripts/. The project keeps the ratio between 0.25 and 0.33.
set -euo pipefail
cd "$(dirname "$0")/.."

code_files() {
    git ls-files --cached --others --exclude-standard -- "$@" |
        grep -E '(\.(cpp|h|hpp|cc|py|sh|cmake)|/CMakeLists\.txt)$' || true
}

count() {
    local total=0 file
    while IFS= read -r file; do
        [ -f "$file" ] || continue
        total=$((total + $(grep -cv '^[[:space:]]*$' "$file" || true)))
    done
    echo "$total"
}

tests=$(code_files tests; code_files src tools bench fuzz scripts | grep -E '(^|/)tst_[^/]*$' || true)
rest=$(code_files src tools bench fuzz scripts | grep -Ev '(^|/)tst_[^/]*$' || true)
test_lines=$(count <<< "$tests")
rest_lines=$(count <<< "$rest")
ratio=$(awk -v t="$test_lines" -v r="$rest_lines" 'BEGIN { printf "%.3f", r ? t / r : 0 }')
echo "test code: $test_lines lines"
echo "rest:      $rest_lines lines"
echo "ratio:     $ratio (the project keeps it between 0.25 and 0.33)"
