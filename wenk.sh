#!/usr/bin/env bash
# Installs what the program needs, makes a Release build and starts it in a
# library folder: the argument, or library/ beside this script.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/install-deps.sh"
build="$here/build-release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$(nproc)" --target wenk
folder="${1:-$here/library}"
mkdir -p "$folder"
cd "$folder"
exec "$build/wenk"
