#!/bin/sh
# Regenerates the Japan sample database (examples/japan) from the prefecture
# boundaries: the base map, its definition and the area table skeleton with
# blankmap, then the tables, configuration files and input tables with
# japan_tables.py. Needs a build (make build) and python3.
#   examples/generate/japan.sh [BIN-FOLDER]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
bin=${1:-$root/build/bin}
sample=$root/examples/japan
map=$sample/BlankMap/jpn_Prefs_LEA_S
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$map"
"$bin/blankmap" -a "$work/area.csv" "$here/japan_layout.json" "$root/examples/data/japan-prefectures.geojson" \
  "$map/jpn_Prefs_LEA_S.png"
python3 "$here/japan_tables.py" "$work/area.csv" "$root/examples/data/japan-prefectures.geojson" "$sample"
