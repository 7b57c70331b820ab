#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any is missing. Runs as root, or through sudo.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev
          fonts-noto-cjk qt6-translations-l10n mdbtools-dev mdbtools
          desktop-file-utils appstream dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
