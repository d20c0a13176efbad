#!/usr/bin/env bash
# Writes the reliability report from what the last runs recorded: the rows the
# test programs of build-test/ logged (reliability/*.tsv) and the fuzzing
# runs of build-fuzz/ (fuzz-runs.tsv), and whether the sanitizer run of
# build-asan/ passed (sanitizer-run.tsv). The test, sanitizer and fuzzing
# scripts call it at their end and it writes into the build folder; nobody
# edits the report by hand. Publishing it is a step of its own:
#
#   bash scripts/reliability-report.sh docs/reliability.md
set -euo pipefail
cd "$(dirname "$0")/.."
logs=build-test/reliability
fuzz=build-fuzz/fuzz-runs.tsv
sanitized=build-asan/sanitizer-run.tsv
out=${1:-build-test/reliability-report.md}
mkdir -p "$(dirname "$out")"

commit=$(git rev-parse --short HEAD 2>/dev/null || echo "unknown")
user=$([ "$(id -u)" -eq 0 ] && echo "root" || echo "an ordinary user")
{
    echo "# Reliability report"
    echo
    echo "Written by \`scripts/reliability-report.sh\` from what \`bash scripts/test.sh\`,"
    echo "\`bash scripts/test-sanitizers.sh\` and \`bash scripts/fuzz.sh\` recorded. Do not edit it by hand."
    echo
    echo "- Written: $(date -u '+%Y-%m-%d %H:%M UTC'), commit $commit"
    echo "- Machine: $(uname -srm), $(nproc) cores, tests run as $user"
    echo "- Sources: \`tests/app/tst_reliability.cpp\`, \`tests/app/tst_ondisk.cpp\` (changes on disk, marks)"
    echo "  and \`tests/app/tst_frmmain.cpp\` (Open), each a real window with the real zlibtool and real files;"
    echo "  \`tests/cli/tst_cli.cpp\` (the real varnel-cli); \`tests/zlibtool/tst_zlibtool.cpp\` (the real zlibtool);"
    echo "  \`fuzz/\` (libFuzzer with ASan and UBSan)"
    echo
    if compgen -G "$logs/*.tsv" > /dev/null; then
        # Rows keep the order the tests ran in; one table per area.
        cat "$logs"/*.tsv | awk -F'\t' '
            !($1 in seen) { seen[$1] = 1; order[++n] = $1 }
            { rows[$1] = rows[$1] "| " $2 " | " $3 " |\n"; count[$1]++ }
            END {
                for (i = 1; i <= n; i++) {
                    area = order[i]
                    if (area == "Skipped") continue
                    printf "## %s (%d cases)\n\n| Input or fault | Outcome |\n|---|---|\n%s\n", area, count[area], rows[area]
                }
                printf "## Skipped\n\n"
                if ("Skipped" in rows)
                    printf "| Case | Reason |\n|---|---|\n%s\n", rows["Skipped"]
                else
                    printf "Nothing was skipped.\n\n"
            }'
    else
        echo "No test run recorded yet: run \`bash scripts/test.sh\`."
        echo
    fi
    echo "## Sanitizers"
    echo
    if [ -f "$sanitized" ]; then
        IFS=$'\t' read -r when count < "$sanitized"
        echo "All $count test programs, the fault and bad-file tests above among them, passed when built with"
        echo "AddressSanitizer and UndefinedBehaviorSanitizer, leak detection on (\`bash scripts/test-sanitizers.sh\`,"
        echo "$when)."
    else
        echo "No sanitizer run recorded yet: run \`bash scripts/test-sanitizers.sh\`."
    fi
    echo
    echo "## Fuzzing"
    echo
    if [ -f "$fuzz" ]; then
        echo "| Target | Time (s) | Executions | Corpus before | Corpus after | Findings |"
        echo "|---|---|---|---|---|---|"
        awk -F'\t' '{ printf "| %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6 }' "$fuzz"
    else
        echo "No fuzzing run recorded yet: run \`bash scripts/fuzz.sh\`."
    fi
} > "$out"
echo "wrote $out"
