#!/bin/sh
# The demo: copies the Japan sample database (examples/japan) into a fresh
# working folder and runs the whole job on it: a sample GBIF download
# (examples/dwc/gbif-dwca.zip) converted into an input table (dwcimport),
# species codes into the input tables (ludric), the fact tables (samvel), a map of every species and one
# overlay map (tavik --save), the literature pages with the maps in them
# (norbek), the atlas as a PDF (tavik --print), then says where each result is.
#   scripts/demo.sh [BIN-FOLDER [OUTPUT-FOLDER]]     (defaults: build/bin, out/demo)
# `make demo` builds first and runs it with the defaults.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/bin}" && pwd)
out=${2:-$root/out/demo}
# The viewer runs without windows; Qt needs no display then.
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM

for program in dwcimport ludric samvel tavik norbek; do
  if [ ! -x "$bin/$program" ]; then
    echo "demo: $bin/$program is missing; run make build first" >&2
    exit 1
  fi
done

# A fresh copy every time, so the demo runs the same twice in a row.
rm -rf "$out"
mkdir -p "$(dirname "$out")"
cp -R "$root/examples/japan" "$out"
out=$(cd "$out" && pwd)
cd "$out"
mkdir -p maps explain

echo "== dwcimport: a GBIF download into input/gbif.csv"
mkdir -p download
cp "$root/examples/dwc/gbif-dwca.zip" download/
# Without a literature code it refuses, and suggests a literature row made of
# the download's citation: the row goes into the literature table, its code
# into the [Dwc] section of tavik.ini, and the second run converts.
if "$bin/dwcimport" download/gbif-dwca.zip input/gbif.csv 2> dwcimport-refusal.txt; then
  echo "demo: dwcimport converted without a literature code" >&2
  exit 1
fi
sed 's/^/   | /' dwcimport-refusal.txt
row=$(grep '^GBIF-' dwcimport-refusal.txt)
printf '%s\r\n' "$row" >> dbase/litera.csv
printf '\r\n[Dwc]\r\nLiterature=%s\r\nMaxUncertainty=10000\r\n' "${row%%,*}" >> tavik.ini
echo "   literature row added to dbase/litera.csv; [Dwc] Literature=${row%%,*}, MaxUncertainty=10000 in tavik.ini"
"$bin/dwcimport" download/gbif-dwca.zip input/gbif.csv
# The species table lacks one name of the download: its rows are set aside (IVD).
sed -i 's/^Sericinus montela,,/Sericinus montela,IVD,/' input/gbif.csv
echo "   rows of Sericinus montela (not in the species table) marked IVD"
rm dwcimport-refusal.txt

echo "== ludric: species codes into the input tables"
"$bin/ludric" 'input/*.csv'
echo "== samvel -rebuild: the distribution and species-literature tables"
"$bin/samvel" -rebuild 'input/*.csv'
echo "== tavik --save: a map of every species"
"$bin/tavik" --save 'maps/%S.png' --all
echo "== tavik --save --overlay: four species on one map"
"$bin/tavik" --save maps/overlay.png --overlay 108 109 402 305

echo "== norbek: a literature page of every species, by area and for all areas, into explain/"
"$bin/norbek" -sci -area -allarea -geo explain

echo "== tavik --print: the atlas of every species as a PDF"
"$bin/tavik" --print atlas.pdf --all
echo "== tavik --print --overlay: the four species on one page with their legend"
"$bin/tavik" --print overlay.pdf --form '重ね合わせ 1図1ページ（凡例つき）' --overlay 108 109 402 305

result() { printf '  %-37s%s\n' "$1" "$2"; }
echo
echo "Results in $out:"
result "the GBIF download, converted" "download/gbif-dwca.zip -> input/gbif.csv"
result "input tables, species codes filled" "input/*.csv"
result "distribution table" "dbase/ta_vik.csv"
result "species-literature table" "dbase/split.csv"
result "a map of every species" "maps/<scientific name>.png ($(ls maps | grep -vc '^overlay.png$') maps)"
result "overlay of four species" "maps/overlay.png"
result "literature pages with the maps" "explain/<scientific name>.html, index explain/_index.html"
result "atlas, six maps a page" "atlas.pdf"
result "the overlay printed with its legend" "overlay.pdf"
