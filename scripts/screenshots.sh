#!/bin/sh
# Pictures of the windowed viewer for people to look at: copies the Japan
# sample database, builds its fact tables (ludric, samvel) and runs the
# viewer offscreen on it, writing PNGs of its windows and dialogs.
#   scripts/screenshots.sh [BUILD-FOLDER [OUTPUT-FOLDER]]   (defaults: build, docs/screens)
# `make screenshots` builds first and runs it with the defaults.
#
# The file dialogs in the pictures show the database's folder. So that they
# show a user's folder (/home/naturalist/Tavik) rather than one of the machine
# they were made on, the viewer runs where it can in a mount namespace of its
# own with an empty /home; elsewhere the copy is made under out/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/screens}
mkdir -p "$out"
out=$(cd "$out" && pwd)

for program in "$build/bin/ludric" "$build/bin/samvel" "$build/tests/tavik_screenshots"; do
  if [ ! -x "$program" ]; then
    echo "screenshots: $program is missing; run make build first" >&2
    exit 1
  fi
done

# Copies the sample to $1, builds its fact tables and takes the pictures.
take() {
  database=$1
  rm -rf "$database"
  mkdir -p "$(dirname "$database")"
  cp -R "$root/examples/japan" "$database"
  (cd "$database" && "$build/bin/ludric" 'input/*.csv' >/dev/null && "$build/bin/samvel" -rebuild 'input/*.csv' >/dev/null)
  QT_QPA_PLATFORM=offscreen "$build/tests/tavik_screenshots" "$database" "$out"
}

if [ "${TAVIK_SCREENS_INSIDE:-}" = 1 ]; then
  mount -t tmpfs tmpfs /home
  HOME=/home/naturalist
  export HOME
  take /home/naturalist/Tavik
elif case "$root$build$out" in */home*) false ;; *) true ;; esac && unshare -m true 2>/dev/null; then
  TAVIK_SCREENS_INSIDE=1 exec unshare -m "$0" "$build" "$out"
else
  echo "screenshots: no mount namespace here; the file dialogs show this machine's folders" >&2
  take "$root/out/screens-database"
fi
