#!/bin/sh
# Regenerates the pictures in docs/ from the demo (run make build first): the
# sample's base map, the map of one species, the overlay map of four and the
# first page of the atlas.
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
pdftoppm -r 60 -png -f 1 -l 1 -singlefile "$root/out/demo/atlas.pdf" "$root/docs/atlas-page-1"
echo "docs/base-map.png, docs/map-luehdorfia-japonica.png, docs/map-overlay.png, docs/atlas-page-1.png"
