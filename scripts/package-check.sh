#!/bin/sh
# The Debian package as a user gets it: checks it with lintian, installs it
# with apt-get (which brings in what it depends on), copies the installed
# sample database into a temporary folder and runs the installed programs
# there the way the guide tells a user to (dwcimport on the installed sample
# download, ludric, samvel -rebuild, tavik --save, tavik --print, norbek),
# checks what they wrote and what the package put in place, and removes the
# package again. Prints how long each step took.
#   scripts/package-check.sh [BUILD-FOLDER]     (default: build; the package is
#                                                BUILD-FOLDER/package/tavik_*.deb)
# `make package-check` makes the package first. Needs root or sudo.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

fail() {
  echo "package-check: $*" >&2
  exit 1
}

set -- "$build"/package/tavik_*.deb
[ -f "$1" ] || fail "no package in $build/package; run make package first"
[ $# -eq 1 ] || fail "more than one package in $build/package: $*"
deb=$1

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
began=$(date +%s)
step_began=$began
step() {
  now=$(date +%s)
  echo "   ($((now - step_began)) s)"
  step_began=$now
  echo "== $*"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tavik-package-check.XXXXXX")
installed=no
cleanup() {
  status=$?
  if [ "$installed" = yes ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q tavik >/dev/null || status=1
  fi
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT
trap 'exit 1' INT TERM

echo "== lintian $(basename "$deb")"
# Errors fail the check; the warnings that are meant are overridden inside
# the package (packaging/lintian-overrides), so any other warning is shown.
lintian --fail-on error "$deb"

step "apt-get install $(basename "$deb")"
if dpkg-query -W -f='${Status}' tavik 2>/dev/null | grep -q "install ok installed"; then
  fail "tavik is installed already; remove it first (apt-get purge tavik)"
fi
installed=yes
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get could not install $deb"; }

step "what the package put in place"
version=$(dpkg-query -W -f='${Version}' tavik)
for program in tavik samvel ludric norbek dwcimport blankmap; do
  [ "$(command -v $program)" = "/usr/bin/$program" ] || fail "$program is not /usr/bin/$program"
  first=$("/usr/bin/$program" --version | head -n 1)
  [ "$first" = "$program (Tavik) $version" ] || fail "$program --version says \"$first\", the package is $version"
  man -w "$program" >/dev/null || fail "no manual page for $program"
  [ -f "/usr/share/man/ja/man1/$program.1.gz" ] || fail "no Japanese manual page for $program"
done
for file in /usr/share/doc/tavik/guide/ja/index.html /usr/share/doc/tavik/guide/en/index.html \
            /usr/share/doc/tavik/copyright /usr/share/tavik/japan/tavik.ini /usr/share/tavik/dwc/gbif-dwca.zip \
            /usr/share/icons/hicolor/48x48/apps/org.tavik.Tavik.png; do
  [ -f "$file" ] || fail "$file is missing"
done
desktop-file-validate /usr/share/applications/org.tavik.Tavik.desktop
appstreamcli validate --no-net --no-color /usr/share/metainfo/org.tavik.Tavik.metainfo.xml >/dev/null ||
  fail "appstreamcli does not accept the installed metainfo"

step "the installed sample, copied to $work/sample"
cp -R /usr/share/tavik/japan "$work/sample"
cd "$work/sample"
# The jobs draw without a display.
QT_QPA_PLATFORM=offscreen
export QT_QPA_PLATFORM
# The sample download's records cite a literature row of their own; the
# sample's first literature code stands in for it here. One of its names is
# not in the species table: its rows are set aside (IVD), as the guide says.
literature=$(head -n 1 dbase/litera.csv | cut -d, -f1)
/usr/bin/dwcimport --literature "$literature" /usr/share/tavik/dwc/gbif-dwca.zip input/gbif.csv >/dev/null
sed -i 's/^Sericinus montela,,/Sericinus montela,IVD,/' input/gbif.csv
/usr/bin/ludric 'input/*.csv' >/dev/null
/usr/bin/samvel -rebuild 'input/*.csv' >/dev/null
mkdir maps explain
/usr/bin/tavik --save 'maps/%C.png' --all 2>/dev/null
/usr/bin/tavik --print atlas.pdf --all 2>/dev/null
/usr/bin/norbek -sci -area -allarea -geo explain >/dev/null

step "what the programs wrote"
species=$(grep -c . dbase/species.csv)
[ -s dbase/ta_vik.csv ] || fail "samvel wrote no distribution table"
[ "$(grep -c . dbase/ta_vik.csv)" -eq "$species" ] || fail "the distribution table has not one line per species"
[ -s dbase/split.csv ] || fail "samvel wrote no species-literature table"
[ "$(find maps -name '*.png' -size +1k | wc -l)" -eq "$species" ] || fail "tavik --save did not write $species maps"
[ "$(head -c 5 atlas.pdf)" = "%PDF-" ] || fail "tavik --print wrote no PDF"
[ "$(find explain -name '*.html' | wc -l)" -gt "$species" ] || fail "norbek did not write a page for every species"
echo "   $species maps, atlas.pdf ($(wc -c <atlas.pdf) bytes), $(find explain -name '*.html' | wc -l) literature pages"

step "apt-get purge tavik"
cd /
$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q tavik >/dev/null
installed=no
[ ! -e /usr/bin/tavik ] || fail "/usr/bin/tavik is still there after the package was removed"
[ ! -e /usr/share/tavik ] || fail "/usr/share/tavik is still there after the package was removed"

step "done: the package installs, works and uninstalls ($(($(date +%s) - began)) s in all)"
