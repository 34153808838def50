#!/usr/bin/env bash
# Checks the Debian package as a user meets it: lintian finds nothing to warn about; installed with
# apt, `quillet` runs from PATH without a display and its menu entry and AppStream data validate;
# purged, every file it brought is gone and the machine is as it was.
# Usage: deb-test.sh <folder holding quillet_<version>_<arch>.deb>
set -euo pipefail
export LC_ALL=C
id=io.github.quillet.Quillet
fail() { echo "FAIL: $*" >&2 && exit 1; }

deb=$(ls "$1"/quillet_*_*.deb)
lintian --fail-on error,warning "$deb" ||
  fail "lintian reports errors or warnings"

if dpkg-query -W -f='${Status}' quillet 2>/dev/null | grep -q "install ok installed"; then
  fail "quillet is installed already; this test installs and removes it"
fi
before=$(mktemp)
after=$(mktemp)
trap 'rm -f "$before" "$after"' EXIT
dpkg-query -W -f='${Package}\n' | sort > "$before"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q --no-install-recommends "$(realpath "$deb")" >/dev/null
trap 'apt-get purge -y -q quillet >/dev/null 2>&1 || true; rm -f "$before" "$after"' EXIT
[ "$(command -v quillet)" = /usr/bin/quillet ] || fail "quillet is not /usr/bin/quillet on PATH"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY quillet --version)" = "Quillet $(dpkg-query -W -f='${Version}' quillet)" ] ||
  fail "quillet --version does not give the package's version"
env -u DISPLAY -u WAYLAND_DISPLAY quillet --help | grep -q -- "--mark" || fail "quillet --help"
desktop-file-validate /usr/share/applications/$id.desktop || fail "desktop-file-validate"
grep -qx "Exec=/usr/bin/quillet %f" /usr/share/applications/$id.desktop || fail "Exec"
appstreamcli validate --no-net --pedantic /usr/share/metainfo/$id.metainfo.xml >/dev/null ||
  fail "appstreamcli validate"
[ -s /usr/share/man/man1/quillet.1.gz ] || fail "no manual page"
files=$(dpkg -L quillet | while read -r f; do [ -d "$f" ] || echo "$f"; done)

apt-get purge -y -q quillet >/dev/null
trap 'rm -f "$before" "$after"' EXIT
for f in $files; do
  [ ! -e "$f" ] && [ ! -L "$f" ] || fail "$f stayed after purge"
done
dpkg-query -W -f='${Package}\n' | sort > "$after"
cmp -s "$before" "$after" || fail "the installed packages changed: $(diff "$before" "$after" | tr '\n' ' ')"
echo "deb-test: quillet package installed, checked and purged"
