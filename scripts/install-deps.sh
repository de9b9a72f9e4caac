#!/usr/bin/env bash
# Installs the Debian packages that building and testing Sorrel need.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends \
  cmake g++ make pkg-config \
  libboost-regex-dev libicu-dev icu-devtools libuchardet-dev libgtest-dev libgmock-dev \
  libssl-dev locales dos2unix
# Japanese system error texts come from glibc's translations in this locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen
fi
