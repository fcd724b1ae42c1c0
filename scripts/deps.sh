#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. When every
# package is already installed it touches neither the network nor apt, so the
# other scripts can call it on every run.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix cmake make googletest
  python3
  wine wine64 fonts-wine fonts-wqy-microhei
  xvfb xauth x11-utils imagemagick
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  sox lame
)

installed() {
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null) == installed ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
((EUID == 0)) || apt=(sudo "${apt[@]}")
timeout 600 "${apt[@]}" update
timeout 1800 "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
