#!/bin/sh
# Runs the fuzz targets built in DIR.
#
#   fuzz-run.sh replay DIR [RUNS]   what CI runs: every target over its committed
#                                   corpus (fuzz/corpus/<target>/) and the inputs
#                                   of past findings (fuzz/findings/<target>/),
#                                   then RUNS mutations (default: the target's
#                                   line in fuzz/replay-runs) from a fixed seed:
#                                   the same commit always gives the same answer.
#   fuzz-run.sh explore DIR SECONDS for people: each target explores for SECONDS
#                                   from a random seed; a finding is kept in
#                                   fuzz/findings/<target>/ beside a .replay file
#                                   holding the command that replays it.
#
# Fails when a target finds a crash, a leak, a time-out or a failed check.
set -eu
mode=$1
dir=$2
amount=${3:-}
top=$(cd "$(dirname "$0")/.." && pwd)
export LSAN_OPTIONS="suppressions=$top/fuzz/lsan.supp:print_suppressions=0"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavik-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
common="-timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1"
status=0

for target in "$dir"/fuzz_*; do
    name=$(basename "$target" | sed 's/^fuzz_//')
    seeds="$top/fuzz/corpus/$name"
    findings="$top/fuzz/findings/$name"
    mkdir -p "$scratch/$name"
    set -- "$scratch/$name" "$seeds"
    [ -d "$findings" ] && set -- "$@" "$findings"
    case $mode in
    replay)
        mkdir -p "$scratch/artifacts"
        prefix="$scratch/artifacts/$name-"
        runs=$amount
        [ -n "$runs" ] || runs=$(awk -v t="$name" '$1 == t { print $2 }' "$top/fuzz/replay-runs")
        limits="-seed=1 -runs=${runs:-2000}"
        ;;
    explore)
        mkdir -p "$findings"
        prefix="$findings/"
        limits="-max_total_time=$amount"
        ;;
    *)
        echo "fuzz-run.sh: mode is replay or explore, not $mode" >&2
        exit 2
        ;;
    esac
    printf '%-16s ' "$name"
    # shellcheck disable=SC2086 # the option lists split into words
    if "$target" $limits $common -artifact_prefix="$prefix" "$@" > "$scratch/$name.log" 2>&1; then
        grep -E '^stat::number_of_executed_units' "$scratch/$name.log" | awk '{print $2 " runs"}'
        continue
    fi
    echo "FAILED"
    tail -40 "$scratch/$name.log"
    status=1
    for input in "$prefix"*; do
        [ -f "$input" ] || continue
        case $input in *.replay) continue ;; esac
        if [ "$mode" = explore ]; then
            echo "$target $input" > "$input.replay"
            echo "kept: $input (replay: sh $input.replay)"
        else
            # CI's folder is thrown away: print the input so it can be kept.
            echo "finding of $name, base64 (save it as fuzz/findings/$name/<name> to replay it):"
            base64 "$input"
        fi
    done
done
exit $status
