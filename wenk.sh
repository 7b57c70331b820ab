#!/usr/bin/env bash
# Installs what the program needs, makes a Release build and starts it in a
# library folder: the argument, or ~/云笈研读书匣 (made when missing).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$("$here/tools/build-release.sh")"
folder="${1:-}"
if [ -z "$folder" ]; then
  folder="$HOME/云笈研读书匣"
  # Earlier versions kept the library inside the checkout, in library/:
  # one found there is used where it is, not abandoned.
  if [ ! -e "$folder/wenk.dat" ] && [ -e "$here/library/wenk.dat" ]; then
    folder="$here/library"
    echo "Using the library found in the old place: $folder/wenk.dat" >&2
    echo "(move that folder's files to ~/云笈研读书匣 to keep them out of the checkout)" >&2
  fi
fi
WENK_PROGRAM="$build/wenk" exec "$here/packaging/wenk-launcher.sh" "$folder"
