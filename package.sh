#!/usr/bin/env bash
# Installs what the build needs, makes a Release build and a Debian package
# of it with CPack; prints the package's path.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$("$here/tools/build-release.sh")"
(cd "$build" && cpack -G DEB >&2)
ls "$build"/wenk_*.deb
