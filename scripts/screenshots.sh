#!/bin/sh
# Pictures of the windowed viewer for people to look at: copies the Japan
# sample database, builds its fact tables (ludric, samvel) and runs the
# viewer offscreen on it, writing PNGs of its windows and dialogs.
#   scripts/screenshots.sh [BUILD-FOLDER [OUTPUT-FOLDER]]   (defaults: build, docs/screens)
# `make screenshots` builds first and runs it with the defaults.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/screens}
database=$root/out/screens-database

for program in "$build/bin/ludric" "$build/bin/samvel" "$build/tests/tavik_screenshots"; do
  if [ ! -x "$program" ]; then
    echo "screenshots: $program is missing; run make build first" >&2
    exit 1
  fi
done

rm -rf "$database"
mkdir -p "$(dirname "$database")" "$out"
cp -R "$root/examples/japan" "$database"
(cd "$database" && "$build/bin/ludric" 'input/*.csv' >/dev/null && "$build/bin/samvel" -rebuild 'input/*.csv' >/dev/null)
QT_QPA_PLATFORM=offscreen "$build/tests/tavik_screenshots" "$database" "$out"
