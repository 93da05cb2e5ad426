#!/bin/sh
# Installs the Debian packages that building, testing and the demo need.
# Does nothing (quickly) when every package is already there.
set -eu

packages="g++ make cmake ninja-build pkg-config qt6-base-dev libpng-dev zlib1g-dev
libdeflate-dev pngcheck libgtest-dev libgmock-dev libbenchmark-dev fonts-ipafont qt6-translations-l10n nlohmann-json3-dev poppler-utils
clang libclang-rt-14-dev clang-format clang-tidy python3 libarchive-dev libpugixml-dev strace
librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian man-db"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
