#!/usr/bin/env bash
# Idle cost of the real program: CPU per minute, memory, start-up time and
# wake-ups for four prepared workloads, under Xvfb with a tray host.
#
#   bench/measure.sh [path/to/tidra] [seconds-per-scenario] [scenario letters, e.g. AD]
#
# Prints one Markdown table. Needs xvfb, trayer, xdotool, x11-utils, faketime.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/tidra}
secs=${2:-60}
only=${3:-ABCD}
bin=$(readlink -f "$bin")
[ -x "$bin" ] || { echo "no binary at $bin" >&2; exit 1; }

work=$(mktemp -d /tmp/tidra-measure-XXXXXX)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${tray:-}" ] && kill "$tray" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge bottom --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
tray=$!
sleep 1

# shellcheck source=scenario.sh
. "$here/scenario.sh"

# The docked icon: a small visible window of ours (trayer's own child window
# is there from the start, so counting its children proves nothing).
tray_has_icon() {
    local id geo w h
    for id in $(xdotool search --onlyvisible --classname '^tidra$' 2>/dev/null); do
        geo=$(xwininfo -id "$id" 2>/dev/null) || continue
        w=$(awk '/Width:/ {print $2}' <<<"$geo")
        h=$(awk '/Height:/ {print $2}' <<<"$geo")
        [ "${w:-0}" -gt 1 ] && [ "$w" -le 64 ] && [ "${h:-0}" -le 64 ] && return 0
    done
    return 1
}

cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
switches() {
    local sum=0 f v
    for f in /proc/"$1"/task/*/status; do
        v=$(awk '/ctxt_switches/ {s += $2} END {print s}' "$f" 2>/dev/null || echo 0)
        sum=$((sum + v))
    done
    echo $sum
}
kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }

run() { # label when alarms timers kind
    local label=$1 when=$2 na=$3 nt=$4 kind=$5 home
    [[ $only == *"${label:0:1}"* ]] || return 0
    home=$work/$label
    local vacation=true
    [ "$when" = "$weekend" ] && vacation=false
    prepare "$home" "$na" "$nt" "$kind" "$vacation"
    local t0 t1
    t0=$(date +%s%N)
    # Faked file times would make fontconfig take its caches for stale and
    # rebuild them (hundreds of milliseconds of start-up no user pays); fc-list
    # brings them back if another faked-time process left them so.
    fc-list >/dev/null 2>&1 || true
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run \
        NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
        faketime -f "@$when" "$bin" >/dev/null 2>&1 &
    app=$!
    # faketime starts a shell wrapper on some systems; follow to the real process.
    for _ in $(seq 600); do
        tray_has_icon && break
        sleep 0.01
    done
    t1=$(date +%s%N)
    local pid
    pid=$(pgrep -n -f "$bin" || echo "$app")
    sleep 5 # settle: start-up work is not idle cost
    local c0 s0 c1 s1
    c0=$(cpu_ns "$pid"); s0=$(switches "$pid")
    sleep "$secs"
    c1=$(cpu_ns "$pid"); s1=$(switches "$pid")
    local rss hwm
    rss=$(kb "$pid" VmRSS); hwm=$(kb "$pid" VmHWM)
    kill -TERM "$pid" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=
    # The tray drops the icon a moment later; the next start must not find it.
    for _ in $(seq 500); do
        tray_has_icon || break
        sleep 0.01
    done
    awk -v l="$label" -v st=$(((t1 - t0) / 1000000)) -v c=$((c1 - c0)) -v s=$secs \
        -v w=$((s1 - s0)) -v rss="$rss" -v hwm="$hwm" 'BEGIN {
        printf "| %s | %.3f%% | %.1f ms | %.1f MB | %.1f MB | %d ms | %.1f |\n",
            l, 100 * c / (s * 1e9), c / 1e6 * 60 / s, rss / 1024, hwm / 1024, st, w / s }'
}

echo "| scenario | CPU (one core) | CPU per minute | RSS steady | RSS peak | start to tray icon | wake-ups/s |"
echo "|---|---|---|---|---|---|---|"
run "A: 100 alarms, weekend" "$weekend" 100 0 full
run "B: 20 alarms, 10 Full timers, work windows" "$weekday" 20 10 full
run "C: like B, timers with hundredths" "$weekday" 20 10 short
run "D: 1000 alarms, 200 timers" "$weekday" 1000 200 full
