#!/usr/bin/env bash
# Start-up time of Quillet against a minimal Qt main window (bench/MinimalWindow.cpp: a menu bar, a
# scroll area and a status bar), from process start to the main window being mapped, under one Xvfb
# server of its own. The two programs run interleaved, RUNS times each (9 by default, after one
# unmeasured warm-up run of each), and the script prints both medians and their ratio.
#
#   bench/startup.sh [RUNS]
#
# QUILLET names the Quillet executable (build/quillet by default); MINIMAL_WINDOW the reference
# (build-bench/bench/quillet_minimal_window, else build/bench/quillet_minimal_window: built with
# -DQUILLET_BENCH=ON, target quillet_minimal_window).
#
# The moment of mapping is the MapNotify event of the program's top-level window, read from xev
# listening on the root window; both ends are taken with bash's EPOCHREALTIME, so no process is
# started to read a clock. Quillet runs from a copy in a temporary folder: it keeps its settings
# and history beside its executable, and the copy leaves the real ones alone.
set -euo pipefail
export LC_ALL=C

runs=${1:-9}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [RUNS]   (RUNS: a positive number of runs of each program, 9 by default)" >&2
    exit 2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
quillet=${QUILLET:-$root/build/quillet}
minimal=${MINIMAL_WINDOW:-}
if [ -z "$minimal" ]; then
    for candidate in "$root/build-bench/bench/quillet_minimal_window" \
        "$root/build/bench/quillet_minimal_window"; do
        if [ -x "$candidate" ]; then
            minimal=$candidate
            break
        fi
    done
fi
if [ ! -x "$quillet" ]; then
    echo "$0: no Quillet executable at $quillet (make build, or set QUILLET)" >&2
    exit 1
fi
if [ -z "$minimal" ] || [ ! -x "$minimal" ]; then
    echo "$0: no minimal window executable; build it with" >&2
    echo "  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF" \
        "-DQUILLET_BENCH=ON && cmake --build build-bench --target quillet_minimal_window" >&2
    echo "or name it with MINIMAL_WINDOW" >&2
    exit 1
fi
for tool in Xvfb xev xprop stdbuf; do
    if ! command -v "$tool" >/dev/null; then
        echo "$0: $tool is missing (tools/setup.sh installs it)" >&2
        exit 1
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-startup.XXXXXX")
xvfb_pid=
xev_pid=
cleanup()
{
    set +e
    for pid in $xev_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/quillet"
cp "$quillet" "$work/quillet/quillet"
quillet=$work/quillet/quillet
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
# Both on the X server below, whatever platform the caller's environment names.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "$0: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=$(head -n 1 "$work/display")
export DISPLAY=:$display

coproc XEV { exec stdbuf -oL xev -root -event substructure -event property 2>"$work/xev.log"; }
# XEV_PID and XEV are set by coproc.
# shellcheck disable=SC2153
xev_pid=$XEV_PID
events=${XEV[0]}

# xev listens once a property change on the root window reaches it.
ready=
for _ in $(seq 50); do
    xprop -root -f _QUILLET_STARTUP 8s -set _QUILLET_STARTUP ready
    while IFS= read -r -t 0.1 -u "$events" line; do
        if [[ $line == PropertyNotify* ]]; then
            ready=yes
            break
        fi
    done
    [ -n "$ready" ] && break
done
if [ -z "$ready" ]; then
    echo "$0: xev does not report the root window's events; it wrote:" >&2
    cat "$work/xev.log" >&2
    exit 1
fi

# Starts a program, waits for its top-level window to be mapped, ends it and sets elapsed to the
# time in milliseconds. The server has removed the program's windows when it returns.
measure()
{
    local started mapped=0 line window='' pid
    # EPOCHREALTIME with its six decimals and no point is a count of microseconds.
    started=${EPOCHREALTIME//[!0-9]/}
    (cd "$work" && exec "$1" >/dev/null 2>"$work/stderr") &
    pid=$!
    while [ -z "$window" ]; do
        if ! IFS= read -r -t 30 -u "$events" line; then
            echo "$0: $1 mapped no window within 30 s" >&2
            cat "$work/stderr" >&2
            kill "$pid" 2>/dev/null || true
            exit 1
        fi
        if [[ $line == MapNotify* ]]; then
            mapped=${EPOCHREALTIME//[!0-9]/}
            IFS= read -r -t 5 -u "$events" line
            if [[ $line =~ window\ (0x[0-9a-f]+),\ override\ NO ]]; then
                window=${BASH_REMATCH[1]}
            fi
        fi
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    while IFS= read -r -t 5 -u "$events" line; do
        if [[ $line == DestroyNotify* ]]; then
            IFS= read -r -t 5 -u "$events" line
            [[ $line == *"window $window" ]] && break
        fi
    done
    # Whatever else the ended program's windows report.
    while IFS= read -r -t 0.2 -u "$events" line; do :; done
    elapsed=$(awk -v us=$((mapped - started)) 'BEGIN { printf "%.1f", us / 1000 }')
}

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "Quillet:        $quillet (copy of ${QUILLET:-$root/build/quillet})"
echo "Minimal window: $minimal"
echo "Display $DISPLAY, $runs runs each, interleaved, after one warm-up run of each"
measure "$quillet"
measure "$minimal"
quillet_times=()
minimal_times=()
for ((i = 1; i <= runs; i++)); do
    # The order alternates, so neither program always follows the other.
    if ((i % 2)); then
        measure "$quillet"
        quillet_times+=("$elapsed")
        measure "$minimal"
        minimal_times+=("$elapsed")
    else
        measure "$minimal"
        minimal_times+=("$elapsed")
        measure "$quillet"
        quillet_times+=("$elapsed")
    fi
    printf 'run %2d: quillet %7s ms   minimal window %7s ms\n' "$i" "${quillet_times[-1]}" \
        "${minimal_times[-1]}"
done
quillet_median=$(printf '%s\n' "${quillet_times[@]}" | median)
minimal_median=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "median: quillet $quillet_median ms, minimal window $minimal_median ms," \
    "ratio $(awk -v q="$quillet_median" -v m="$minimal_median" 'BEGIN { printf "%.2f", q / m }')"
