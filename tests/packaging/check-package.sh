#!/usr/bin/env bash
# The installed files and the Debian package:
#   check-package.sh SOURCE-FOLDER BUILD-FOLDER
# Validates the desktop entry and the AppStream metadata, installs into a
# scratch root and checks every file's place, then builds the package and
# checks its contents and the dependencies computed from the binary.
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

id=net.wenk.Shuxia
files=(
  usr/bin/wenk
  usr/libexec/wenk/wenk
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/icons/hicolor/48x48/apps/$id.png
  usr/share/icons/hicolor/256x256/apps/$id.png
)

desktop-file-validate "$src/packaging/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$src/packaging/$id.metainfo.xml" || fail "metainfo"

DESTDIR="$work/root" cmake --install "$build" --prefix /usr > /dev/null
for f in "${files[@]}"; do [ -e "$work/root/$f" ] || fail "not installed: $f"; done
[ -x "$work/root/usr/bin/wenk" ] || fail "launcher not executable"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "installed desktop entry"
grep -qx "Icon=$id" "$work/root/usr/share/applications/$id.desktop" || fail "icon name"
[ "$(head -c 4 "$work/root/usr/share/icons/hicolor/48x48/apps/$id.png" | tail -c 3)" = PNG ] || fail "48 px icon"

# The launcher makes the user's library folder and starts the program there.
mkdir -p "$work/home"
printf '#!/bin/sh\npwd > "%s/started-in"\n' "$work" > "$work/fake-program"
chmod +x "$work/fake-program"
HOME="$work/home" WENK_PROGRAM="$work/fake-program" "$work/root/usr/bin/wenk"
[ "$(cat "$work/started-in")" = "$work/home/云笈研读书匣" ] || fail "launcher folder: $(cat "$work/started-in")"
HOME="$work/home" WENK_PROGRAM="$work/fake-program" "$work/root/usr/bin/wenk" "$work/other 资料"
[ "$(cat "$work/started-in")" = "$work/other 资料" ] || fail "launcher with a folder"
# Without the stand-in, the launcher points at the installed program.
grep -q 'libexec/wenk/wenk' "$work/root/usr/bin/wenk" || fail "launcher's program path"

(cd "$build" && cpack -G DEB -B "$work/pkg" > /dev/null)
deb=$(ls "$work"/pkg/wenk_*.deb)
contents=$(dpkg-deb -c "$deb")
for f in "${files[@]}"; do grep -q " ./$f\$" <<< "$contents" || fail "not in the package: $f"; done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 libmdb3 qt6-qpa-plugins; do
  grep -qE "\b$d(t64)?\b" <<< "$depends" || fail "dependency $d missing from: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = wenk ] || fail "package name"
echo "package $(basename "$deb"): ${#files[@]} files checked; Depends: $depends"
