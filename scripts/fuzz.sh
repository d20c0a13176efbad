#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan and runs each for
# SECONDS (default 60) from a seed corpus made of the sample. A crash or a
# sanitizer report fails the run. Longer: bash scripts/fuzz.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
# Whichever clang the distribution installs, with its sanitizer and fuzzer runtimes.
bash scripts/deps.sh clang libclang-rt-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVARNEL_FUZZ=ON -DVARNEL_SANITIZE=ON
cmake --build build-fuzz -j2 --target fuzz_container fuzz_layout fuzz_preset samplegen varnel-cli

# Seeds: the sample as container and as plain layout, and a few cut short.
corpus=build-fuzz/corpus
mkdir -p "$corpus/container" "$corpus/layout" "$corpus/preset"
build-fuzz/tools/samplegen/samplegen "$corpus/container/sample"
build-fuzz/tools/samplegen/samplegen "$corpus/layout/sample" --plain
head -c 16 "$corpus/container/sample" > "$corpus/container/header-only"
head -c 3000 "$corpus/layout/sample" > "$corpus/layout/short"
# The sample's values as a preset, as the command line writes it, once as is,
# once on one line behind a byte order mark.
build-fuzz/program/varnel-cli show --json "$corpus/container/sample" > "$corpus/preset/sample"
{ printf '\xef\xbb\xbf'; tr -d ' \n' < "$corpus/preset/sample"; } > "$corpus/preset/compact"

export ASAN_OPTIONS=detect_leaks=1
failed=0
runs=build-fuzz/fuzz-runs.tsv
: > "$runs"
for target in container layout preset; do
    rm -rf "build-fuzz/findings/$target"
    mkdir -p "build-fuzz/findings/$target"
    log="build-fuzz/findings/$target.log"
    before=$(ls "$corpus/$target" | wc -l)
    started=$(date +%s)
    status=0
    build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target/" "$corpus/$target" \
        > "$log" 2>&1 || status=$?
    took=$(( $(date +%s) - started ))
    after=$(ls "$corpus/$target" | wc -l)
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    findings=$(ls "build-fuzz/findings/$target" | wc -l)
    [ "$status" -eq 0 ] || findings="$findings (exit $status, see $log)"
    printf 'fuzz_%s\t%s\t%s\t%s\t%s\t%s\n' "$target" "$took" "${executions:-?}" "$before" "$after" "$findings" >> "$runs"
    echo "fuzz_$target: exit $status, corpus $before -> $after inputs"
    grep -E "^Done|^stat::number_of_executed_units|ERROR|SUMMARY" "$log" || true
    [ "$status" -eq 0 ] || failed=1
done
bash scripts/reliability-report.sh
exit $failed
