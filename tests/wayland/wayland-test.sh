#!/usr/bin/env bash
# Quillet on Wayland, as a user meets it: under a headless sway (run as an unprivileged user, as
# sway requires), natively (QT_QPA_PLATFORM=wayland), it opens a picture named on the command line,
# pastes a PNG put on the Wayland clipboard with Ctrl+V, copies the picture back out through
# Shift+F10 > Copy, shows one picture pixel per device pixel at output scale 1 and 2, and writes its
# settings when sway closes it. Skips, saying so, where the compositor cannot start.
# Usage: wayland-test.sh <quillet executable> <source folder>
set -euo pipefail
export LC_ALL=C
quillet=$(realpath "$1")
source=$(realpath "$2")
user=quillet-wayland-test
id=io.github.quillet.Quillet

skip() { echo "SKIP: $*" && exit 0; }
fail() { echo "FAIL: $*" >&2 && exit 1; }
for tool in sway wtype grim wl-copy wl-paste swaymsg python3 runuser; do
  command -v $tool >/dev/null || skip "$tool is not installed"
done
[ "$(id -u)" = 0 ] || skip "making the unprivileged user sway needs takes root"

work=$(mktemp -d)
chmod 755 "$work"
made_user=
cleanup() {
  pkill -KILL -u $user 2>/dev/null || true
  sleep 0.5
  [ -n "$made_user" ] && userdel -r $user 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if ! id $user >/dev/null 2>&1; then
  useradd -m $user
  made_user=yes
fi
home=$(getent passwd $user | cut -d: -f6)
runtime=$work/runtime
mkdir -m 700 "$runtime" && chown $user "$runtime"
# The program from a folder of its own that the user may read but not write, as an installed one.
cp "$quillet" "$work/quillet" && chmod 755 "$work/quillet"

as_user() {
  local session=()
  [ -n "${SWAYSOCK:-}" ] && session=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SWAYSOCK="$SWAYSOCK")
  runuser -u $user -- env -i HOME="$home" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin \
    "${session[@]}" "$@"
}
wait_for() { for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done; return 1; }

# The pictures: one to open, one to paste, with a one-pixel column of a colour nothing else has.
"$quillet" --crop 0,0,120,80 "$source/tests/data/exif-orientation-6-rotated.jpg" --output "$work/open.png"
"$quillet" --crop 0,0,160,100 "$source/tests/data/exif-orientation-6-rotated.jpg" --output "$work/wide.png"
"$quillet" --mark 100,0,1,100,#12ab34 "$work/wide.png" --output "$work/paste.png"
chmod 644 "$work"/*.png

# How wide the one-pixel column is in a screenshot, in device pixels.
column_width() {
  python3 - "$1" <<'PY'
import sys, zlib, struct
data = open(sys.argv[1], 'rb').read()
w, h, depth, ctype = struct.unpack('>IIBB', data[16:26])
idat = b''; pos = 8
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    if kind == b'IDAT': idat += data[pos + 8:pos + 8 + n]
    pos += 12 + n
raw = zlib.decompress(idat); bpp = {2: 3, 6: 4}[ctype]; stride = w * bpp
rows, prev = [], bytearray(stride)
for y in range(h):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0; b = prev[i]; c = prev[i - bpp] if i >= bpp else 0
        p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        line[i] = (line[i] + [0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else b if pb <= pc else c][f]) & 255
    rows.append(line); prev = line
widths = set()
for line in rows:
    run = sum(1 for x in range(w) if tuple(line[x * bpp:x * bpp + 3]) == (0x12, 0xab, 0x34))
    if run: widths.add(run)
print(' '.join(map(str, sorted(widths))) or 'none')
PY
}

run_at_scale() {
  local scale=$1
  # The settings check below must see this run's file, not one left by an earlier run.
  rm -f "$home/.config/quillet/quillet.ini"
  printf 'output HEADLESS-1 resolution 1280x800 scale %s\ndefault_border none\n' "$scale" > "$work/sway.cfg"
  chmod 644 "$work/sway.cfg"
  as_user env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$work/sway.cfg" > "$work/sway-$scale.log" 2>&1 &
  wait_for "ls '$runtime'/sway-ipc.*.sock >/dev/null 2>&1 && [ -S '$runtime/wayland-1' ]" ||
    skip "sway did not start headless: $(tail -3 "$work/sway-$scale.log" | tr '\n' ' ')"
  export WAYLAND_DISPLAY=wayland-1 SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock)

  as_user env QT_QPA_PLATFORM=wayland "$work/quillet" "$work/open.png" > "$work/quillet-$scale.log" 2>&1 &
  wait_for "as_user swaymsg -t get_tree | grep -q '\"app_id\": \"$id\"'" ||
    fail "no Quillet window on Wayland: $(cat "$work/quillet-$scale.log")"
  local title="Quillet - $work/open.png"
  as_user swaymsg -t get_tree | grep -qF "\"name\": \"${title//\//\\/}\"" ||
    fail "the picture named on the command line is not open"
  sleep 0.5

  # wl-copy serves the clipboard until another program takes it over.
  as_user wl-copy --foreground --type image/png < "$work/paste.png" > /dev/null 2>&1 &
  wait_for "as_user wl-paste --list-types 2>/dev/null | grep -qx image/png" || fail "wl-copy"
  # One virtual keyboard for every key: Qt 6.4 loses the keyboard focus when one goes away.
  # Ctrl+V pastes; Shift+F10 opens the shortcut menu, whose first item is Copy.
  as_user wtype -s 300 -M ctrl v -m ctrl -s 700 -M shift -k F10 -m shift -s 500 -k Down -k Return
  # Screenshots until the pasted picture shows, however long a loaded machine takes to paint it.
  # Each look decodes a whole screenshot, so there are 20 at most.
  for _ in $(seq 20); do
    as_user grim - > "$work/shown-$scale.png"
    width=$(column_width "$work/shown-$scale.png")
    [ "$width" != none ] && break
    sleep 0.2
  done
  [ "$width" = 1 ] || fail "at scale $scale the one-pixel column is $width device pixels wide"
  wait_for "! pgrep -u $user -x wl-copy >/dev/null" || fail "Copy did not take the clipboard over"
  as_user wl-paste --type image/png > "$work/copied.png"
  "$quillet" --output "$work/pasted.bmp" "$work/paste.png"
  "$quillet" --output "$work/copied.bmp" "$work/copied.png"
  cmp -s "$work/pasted.bmp" "$work/copied.bmp" || fail "the copied picture is not the pasted one"

  as_user swaymsg "[app_id=\"$id\"] kill" >/dev/null
  wait_for "! pgrep -u $user -f '$work/quillet' >/dev/null" ||
    fail "Quillet did not end once its window closed: $(cat "$work/quillet-$scale.log")"
  grep -q '^\[Location\]' "$home/.config/quillet/quillet.ini" || fail "no settings in ~/.config/quillet"
  pkill -u $user -x sway || true
  wait_for "! pgrep -u $user -x sway >/dev/null" || fail "sway did not end"
  unset WAYLAND_DISPLAY SWAYSOCK
  rm -f "$runtime"/*
  echo "wayland-test: scale $scale passed"
}

run_at_scale 1
run_at_scale 2
