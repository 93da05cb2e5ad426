#!/bin/sh
# Runs each fuzz target in DIR for SECONDS, starting from its seed corpus in
# fuzz/corpus/<target>/ (left untouched: new inputs go to a scratch folder).
# Fails when a target finds a crash, a leak or a failed check.
set -eu
dir=$1
seconds=$2
top=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="suppressions=$top/fuzz/lsan.supp:print_suppressions=0"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavik-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "$dir"/fuzz_*; do
    name=$(basename "$target" | sed 's/^fuzz_//')
    seeds="$top/fuzz/corpus/$name"
    mkdir -p "$scratch/$name" "$scratch/artifacts"
    printf '%-14s ' "$name"
    if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$scratch/artifacts/$name-" -print_final_stats=1 \
        "$scratch/$name" "$seeds" > "$scratch/$name.log" 2>&1; then
        grep -E '^stat::number_of_executed_units' "$scratch/$name.log" | awk '{print $2 " runs"}'
    else
        echo "FAILED"
        tail -40 "$scratch/$name.log"
        status=1
    fi
done
exit $status
