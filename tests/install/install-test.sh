#!/usr/bin/env bash
# Installs Quillet twice (an upgrade) into a temporary DESTDIR, checks the files, the menu entry
# and the AppStream data, uninstalls and checks that nothing stays; then installs again beside the
# user's settings and history, and checks that uninstalling keeps exactly those.
# Usage: install-test.sh <build folder> <source folder>
set -euo pipefail
export LC_ALL=C
id=io.github.quillet.Quillet
prefix=/opt/quillet-test
DESTDIR=$(mktemp -d)
export DESTDIR
trap 'rm -rf "$DESTDIR"' EXIT
root=$DESTDIR$prefix

fail() { echo "FAIL: $*" >&2 && exit 1; }
add() { cmake --install "$1" --prefix "$prefix" >/dev/null; }
remove() { env -u MAKEFLAGS -u MAKELEVEL make -s -C "$2" uninstall PREFIX="$prefix" >/dev/null; }
left() { (cd "$root" && find . -mindepth 1 "$@" | sort); }

add "$@" && add "$@"
icons=$(for s in 16 24 32 48 64 128 256; do echo "./share/icons/hicolor/${s}x$s/apps/$id.png"; done)
[ "$(left ! -type d)" = "$(printf '%s\n' ./bin/quillet ./lib/quillet/quillet \
  ./lib/quillet/installed-files.txt "./share/applications/$id.desktop" "./share/metainfo/$id.metainfo.xml" \
  "./share/icons/hicolor/scalable/apps/$id.svg" "$icons" | sort)" ] || fail "installed: $(left)"
[ "$(readlink "$root/bin/quillet")" = ../lib/quillet/quillet ] || fail "bin/quillet is no link to the program"
[ -x "$root/lib/quillet/quillet" ] || fail "the program is not executable"
for s in 16 24 32 48 64 128 256; do
  width=$(od -An -tu4 --endian=big -j16 -N4 "$root/share/icons/hicolor/${s}x$s/apps/$id.png")
  [ $width = $s ] || fail "the ${s}x$s icon is $width pixels wide"
done

desktop=$root/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx "Exec=$prefix/bin/quillet %f" "$desktop" || fail "Exec does not name $prefix/bin/quillet with a file"
types='image/jpeg;image/bmp;image/png;image/vnd.microsoft.icon;'
grep -qx "MimeType=$types" "$desktop" || fail "MimeType does not list the kinds Quillet opens"
metainfo=$root/share/metainfo/$id.metainfo.xml
[ "$(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1;|p' "$metainfo" | tr -d '\n')" = "$types" ] ||
  fail "the AppStream data does not list the kinds Quillet opens"
grep -qx "Icon=$id" "$desktop" || fail "Icon is not $id"
grep -q '^Categories=\(.*;\)\?Graphics;' "$desktop" || fail "not under Graphics"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli"

remove "$@"
[ -z "$(left)" ] || fail "uninstalling left: $(left)"

add "$@"
printf '[Edit]\r\nRed=1\r\n' >"$root/lib/quillet/quillet.ini"
printf 'x\r\n' >"$root/lib/quillet/quilletfiles.his"
remove "$@"
[ "$(left)" = "$(printf './%s\n' lib lib/quillet lib/quillet/quillet.ini lib/quillet/quilletfiles.his)" ] ||
  fail "uninstalling beside the user's files left: $(left)"
echo "install and uninstall: ok"
