#!/usr/bin/env bash
# Installs the Debian packages that building and testing Sorrel need.
# With --if-missing nothing is fetched when every package is there already.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

packages=(
  cmake g++ make pkg-config file
  libboost-regex-dev libicu-dev icu-devtools libuchardet-dev libgtest-dev libgmock-dev
  locales
  # peers that the tests use as oracles
  dos2unix
  # real ACLs and extended attributes for the tests of the rewrite, process
  # tools for the test of an abort, GNU time for bench/memory.sh
  acl attr procps time
  # the dialog: Qt 6 Widgets, Qt's Japanese texts, a font with Japanese
  # glyphs, and an X server with a key sender for the test of the real window
  qt6-base-dev qt6-translations-l10n fonts-noto-cjk xvfb xauth xdotool
  # the fuzz targets: clang with libFuzzer and the sanitizers' runtime
  clang libclang-rt-14-dev
  # the manual pages, and the Debian package: its dependencies and its check
  groff-base dpkg-dev lintian
)
# The Windows build: MinGW-w64 (both thread models come with it; the build
# uses the POSIX one), Wine to run the tests, the IPA font for the Japanese
# dialog, and ImageMagick and xwininfo for the screenshots. Wine is installed
# with what it recommends.
windows_packages=(
  g++-mingw-w64-x86-64 wine wine64 fonts-ipafont-gothic imagemagick x11-utils
)
missing=()
for p in "${packages[@]}" "${windows_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q '^install ok installed' || missing+=("$p")
done
if [ "${1:-}" != "--if-missing" ] || [ "${#missing[@]}" -gt 0 ]; then
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${packages[@]}"
  $sudo apt-get install -y "${windows_packages[@]}"
fi
# Japanese system error texts come from glibc's translations in this locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen
fi
