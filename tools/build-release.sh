#!/usr/bin/env bash
# Installs what the build needs and makes a Release build of the program in
# build-release/; prints that folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh" >&2
build="$here/build-release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build" -j"$(nproc)" --target wenk >&2
echo "$build"
