#!/bin/sh
# Regenerates the pictures in docs/ from the demo (run make build first): the
# sample's base map, the map of one species and the overlay map of four.
#   scripts/docs-images.sh [BIN-FOLDER]     (default: build/bin)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/bin}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$root/scripts/demo.sh" "$bin" "$root/out/demo" >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
mkdir -p "$root/docs"
cp "$root/examples/japan/BlankMap/jpn_Prefs_LEA_S/jpn_Prefs_LEA_S.png" "$root/docs/base-map.png"
cp "$root/out/demo/maps/Luehdorfia japonica.png" "$root/docs/map-luehdorfia-japonica.png"
cp "$root/out/demo/maps/overlay.png" "$root/docs/map-overlay.png"
echo "docs/base-map.png, docs/map-luehdorfia-japonica.png, docs/map-overlay.png"
