#!/usr/bin/env bash
# Installs what the build needs, makes a Release build and a Debian package
# of it with CPack; prints the package's path.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/install-deps.sh"
build="$here/build-release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$(nproc)" --target wenk
(cd "$build" && cpack -G DEB >&2)
ls "$build"/wenk_*.deb
