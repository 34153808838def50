#!/usr/bin/env bash
# The clipboard paths of the real program under Xvfb, with a 4K screenshot PNG:
#  - Copy: the shortcut menu's Copy, then another program (xclip) reading image/png, against xclip
#    serving the same bytes itself;
#  - Paste: xclip offers the PNG, Ctrl+V, until the window answers again;
# and the window's longest stall while another program reads, and during the paste, from
# _NET_WM_PING round trips (bench/window_stall.py).
# Usage: bench/clipboard.sh [quillet executable]   (make bench-clipboard builds a Release one)
set -euo pipefail
quillet=$(realpath "${1:-build-bench/quillet}")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
Xvfb $display -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'pkill -f "$work/" || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=$display
sleep 1

# A screenshot-like 4K PNG: light window areas, dark text strokes and coloured bars.
/usr/bin/python3 - "$work/shot.png" <<'PY'
import sys, zlib, struct
w, h = 3840, 2160
rows = []
for y in range(h):
    row = bytearray(b'\xf0\xf0\xf0' * w)
    if (y // 24) % 3 == 1 and y % 24 < 14:
        for x in range(40, w - 400, 7):
            if (x * 31 + y // 24 * 17) % 11 < 6:
                row[x * 3:x * 3 + 9] = b'\x20\x20\x20' * 3
    if 600 < y < 700:
        row[300 * 3:1500 * 3] = b'\x30\x80\xd0' * 1200
    rows.append(b'\x00' + bytes(row))
png = b'\x89PNG\r\n\x1a\n'
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
png += chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
PY

cd "$work"
"$quillet" "$work/shot.png" >/dev/null 2>&1 &
for _ in $(seq 100); do window=$(xdotool search --name "Quillet - " 2>/dev/null | head -1) && [ -n "$window" ] && break; sleep 0.1; done
[ -n "${window:-}" ] || { echo "no Quillet window"; exit 1; }
sleep 1

milliseconds() { local start=$EPOCHREALTIME; "$@"; echo $(( (${EPOCHREALTIME/./} - ${start/./}) / 1000 )); }
read_png() { xclip -o -selection clipboard -t image/png > "$work/read.png"; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

watch_stall() { rm -f "$work/stop"; "$here/window_stall.py" "$window" "$work/stop" > "$work/stall" 2> "$work/stall.err" & stall_pid=$!; sleep 0.2; }
# Sets `stall`; not run in a subshell, which could not wait for the watcher to print.
stop_stall() {
  touch "$work/stop"
  wait $stall_pid || cat "$work/stall.err" >&2
  stall=$(cat "$work/stall")
  [ -n "$stall" ] || stall="(unmeasured)"
}

# Copy: the picture's shortcut menu, first item; the stall is watched while xclip reads.
xdotool mousemove --window "$window" 400 400 click 3
sleep 0.3
xdotool key Down Return
sleep 1
watch_stall
ours=$(for _ in 1 2 3 4 5; do milliseconds read_png; done | median)
stop_stall
copy_stall=$stall
cp "$work/read.png" "$work/served.png"
xclip -selection clipboard -t image/png -i "$work/served.png"
sleep 0.3
served=$(for _ in 1 2 3 4 5; do milliseconds read_png; done | median)
echo "copy: another program reads the PNG in $ours ms (xclip serving the same bytes: $served ms); longest window stall $copy_stall ms"

# Paste: xclip offers the original PNG; Ctrl+V until the window answers again.
xclip -selection clipboard -t image/png -i "$work/shot.png"
sleep 0.3
xdotool windowfocus --sync "$window" 2>/dev/null || true
watch_stall
xdotool key --window "$window" ctrl+v
sleep 2
stop_stall
paste_stall=$stall
echo "paste: longest window stall $paste_stall ms"
