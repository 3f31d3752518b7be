#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian 12's packages, whatever this machine lacks to build,
# test and run the tool. Needs root (or sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-l10n-tools libfontconfig-dev
  libgtest-dev libgmock-dev
  socat ser2net python3-serial openssl jq xvfb xauth imagemagick x11-utils xdotool
  clang clang-tidy libclang-rt-14-dev
  fonts-liberation2 fonts-liberation
  desktop-file-utils appstream help2man man-db locales lintian bash-completion zsh fish
  debhelper dpkg-dev ansible-core
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
