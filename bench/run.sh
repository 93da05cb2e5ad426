#!/bin/sh
# make bench: every benchmark, each printing its figure beside a floor
# measured in the same run, and the ratio.
#   1. map saving (sample species and a heavy one, 8/24 bits, PNG/BMP)
#      against copying the base image and compressing it with libdeflate at
#      level 1; the PNG encoder against zlib; the cost of a crowded species'
#      marks; batch saving on one worker and on every core
#   2. building the distribution index against reading the file once
#   3. samvel -rebuild of 1,000,000 rows against LC_ALL=C sort -t, -u
#   4. norbek pages per second over 2,000 species; over a 5,000,000-line
#      species-literature table, with its peak memory
#   5. dwcimport of a 1,000,000-record GBIF download against cut -f of the
#      columns it reads, and its peak memory; the same gzip-compressed
#      against gzip -dc | cut -f
#   6. a species of 1,000,000 records: samvel's import of it, its map against
#      the map of a species without records, its printed page
#   7. the print preview of 1,536 species as one document: the time to its
#      first page against one map's, the viewer's memory before, at its
#      highest while twenty pages are turned, and after the preview closes
#   bench/run.sh [BUILD-FOLDER]          (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work="$build/bench-work"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM

echo "== preparing the sample database in $work"
"$root/scripts/demo.sh" "$build/bin" "$work" > "$build/bench-demo.log" 2>&1 || {
    cat "$build/bench-demo.log"; exit 1; }
heavy=9999999
crowded=9999998
python3 "$root/bench/heavy_species.py" "$work" "$heavy" "$crowded"

echo
echo "== 1. map saving: CPU ms a map (map_ms) against the floor of copying the base image and"
echo "   compressing its rows with libdeflate level 1 (floor_ms); goal ratio <= 1.3 for PNG"
echo "   PNG encoding against the former zlib path and libpng's defaults: goal size_ratio <= 1.15"
echo "   crowded species: goal us_per_record <= 0.5 above the empty map"
echo "   batch of 2,000 maps: goal speed_up >= 1.7 on 2 cores, on an otherwise idle machine (load_1min)"
(cd "$work" && TAVIK_BENCH_HEAVY=$heavy TAVIK_BENCH_CROWDED=$crowded "$build/bench/tavik_bench" \
    --benchmark_filter='BM_SaveMap|BM_PngEncoding|BM_CrowdedSpecies|BM_SaveBatch' --benchmark_counters_tabular=true 2>/dev/null)

echo
echo "== 2. start-up: building the distribution index against one read of the file (ratio = index / read)"
"$build/bench/tavik_bench" --benchmark_filter='BM_DistributionIndex' --benchmark_counters_tabular=true 2>/dev/null

echo
echo "== 3. import: samvel -rebuild against sort"
python3 "$root/bench/samvel_import.py" --samvel "$build/bin/samvel"

echo
echo "== 4. norbek pages per second"
python3 "$root/bench/norbek_pages.py" --norbek "$build/bin/norbek"
echo "-- a 5,000,000-line species-literature table (goal: peak memory at most 100 MB)"
python3 "$root/bench/norbek_pages.py" --large --norbek "$build/bin/norbek"

echo
echo "== 5. dwcimport: records per second against cut -f of the same columns (goal <= 1.5, peak < 20 MB)"
python3 "$root/bench/dwcimport_convert.py" --dwcimport "$build/bin/dwcimport"

echo
echo "== 6. a species of 1,000,000 records"
python3 "$root/bench/samvel_import.py" --samvel "$build/bin/samvel" --species 1 --runs 1
python3 "$root/bench/million_records.py" "$work" --tavik "$build/bin/tavik" --keep-map "$build/bench-million.png"

echo
echo "== 7. the print preview of 1,536 species as one document (the sample's 32 repeated)"
python3 "$root/bench/many_species.py" "$work" "$build/bench-many" 48
"$build/bench/tavik_preview_bench" "$build/bench-many" 20 2>/dev/null
