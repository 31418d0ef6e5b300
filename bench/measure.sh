#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of the real program beside the programs a user would pick
# instead: CPU, wake-ups, memory and start-up for four prepared workloads;
# how late alarms fire; how soon after a jump of the clock.
#
#   bench/measure.sh [path/to/tidra] [seconds-per-scenario] [letters]
#
# Letters (default ABCDP):
#   A B C D  the workloads of scenario.sh, one row each
#   P        the peers, when installed: GNOME Clocks with its window open and
#            the Alarm Clock applet in the tray (each in its own session bus)
#   L        100 one-time alarms over LMIN minutes (default 100, one a
#            minute): how late each fires, from the program's "fired" lines
#   J        three alarms jumped over by the clock, the jump announced as a
#            resume: how long after the announcement each fires
#   S        an alarm whose sound is a 2 GB WAV: the memory taken while it
#            plays (the file is streamed, not loaded)
# BEFORE=path/to/an/older/tidra adds a row for it after each of A to D.
#
# Prints Markdown tables. Needs xvfb, trayer, xdotool, x11-utils, faketime;
# L and J also dbus-daemon and python3-dbus; S pulseaudio and pactl.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/tidra}
secs=${2:-60}
only=${3:-ABCDP}
bin=$(readlink -f "$bin")
[ -x "$bin" ] || { echo "no binary at $bin" >&2; exit 1; }
before=${BEFORE:+$(readlink -f "$BEFORE")}

work=$(mktemp -d /tmp/tidra-measure-XXXXXX)
app=
prog=
bus=
cleanup() {
    [ -n "$prog" ] && kill "$prog" 2>/dev/null || true
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
    [ -n "${pulse:-}" ] && kill "$pulse" 2>/dev/null || true
    [ -n "${tray:-}" ] && kill "$tray" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself and tells us which.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/displayfd" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$work/displayfd"
export DISPLAY=:$number
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
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# One table row for a running process: CPU and wake-ups over `secs` after 5 s
# of settling (start-up work is not idle cost), then memory.
row() { # label pid start-ms
    local label=$1 pid=$2 start=$3 c0 s0 c1 s1 rss hwm
    sleep 5
    c0=$(cpu_ns "$pid"); s0=$(switches "$pid")
    sleep "$secs"
    c1=$(cpu_ns "$pid"); s1=$(switches "$pid")
    rss=$(kb "$pid" VmRSS); hwm=$(kb "$pid" VmHWM)
    awk -v l="$label" -v st="$start" -v c=$((c1 - c0)) -v s="$secs" \
        -v w=$((s1 - s0)) -v rss="$rss" -v hwm="$hwm" 'BEGIN {
        printf "| %s | %.3f%% | %.1f ms | %.1f MB | %.1f MB | %s | %.2f |\n",
            l, 100 * c / (s * 1e9), c / 1e6 * 60 / s, rss / 1024, hwm / 1024, st, w / s }'
}

# Starts a Tidra binary in HOME with the clock faked at `when` (or moved by
# hand through the file CLOCK names); sets app, and startup to the time until
# the tray shows the icon.
start_tidra() { # binary home when [VAR=value...]
    local binary=$1 home=$2 when=$3 t0 t1 fake=(faketime -f "@$3")
    shift 3
    if [ -n "${CLOCK:-}" ]; then
        local lib
        for lib in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
            [ -e "$lib" ] && break
        done
        fake=(env LD_PRELOAD="$lib" FAKETIME_TIMESTAMP_FILE="$CLOCK" FAKETIME_NO_CACHE=1)
    fi
    t0=$(date +%s%N)
    # Faked file times would make fontconfig take its caches for stale and
    # rebuild them (hundreds of milliseconds of start-up no user pays); fc-list
    # brings them back if another faked-time process left them so.
    fc-list >/dev/null 2>&1 || true
    env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
        NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 "$@" \
        "${fake[@]}" "$binary" >"$home/log" 2>&1 &
    app=$!
    for _ in $(seq 600); do
        tray_has_icon && break
        sleep 0.01
    done
    # faketime runs the program as its child and does not pass signals on.
    prog=$(pgrep -n -P "$app" || echo "$app")
    t1=$(date +%s%N)
    startup="$(((t1 - t0) / 1000000)) ms"
}

stop_tidra() {
    kill -TERM "$prog" 2>/dev/null || true
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=
    # The tray drops the icon a moment later; the next start must not find it.
    for _ in $(seq 500); do
        tray_has_icon || break
        sleep 0.01
    done
}

workload() { # label when alarms timers kind
    local label=$1 when=$2 na=$3 nt=$4 kind=$5 vacation=true binary name
    [[ $only == *"${label:0:1}"* ]] || return 0
    [ "$when" = "$weekend" ] && vacation=false
    for binary in "$bin" ${before:+"$before"}; do
        name=$label
        [ "$binary" = "$bin" ] || name="$label (before)"
        rm -rf "$work/home"
        prepare "$work/home" "$na" "$nt" "$kind" "$vacation"
        start_tidra "$binary" "$work/home" "$when"
        row "$name" "$prog" "$startup"
        stop_tidra
    done
}

peer() { # label command...
    local label=$1 pid
    shift
    command -v "$1" >/dev/null || return 0
    rm -rf "$work/peer"
    mkdir -p "$work/peer/.config" "$work/peer/run"
    chmod 700 "$work/peer/run"
    HOME=$work/peer XDG_CONFIG_HOME=$work/peer/.config XDG_RUNTIME_DIR=$work/peer/run \
        GSETTINGS_BACKEND=memory dbus-run-session -- "$@" >/dev/null 2>&1 &
    app=$!
    sleep 3
    pid=$(pgrep -n -P "$app" || echo "$app")
    row "$label" "$pid" "-"
    kill "$pid" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    app=
}

private_bus() {
    [ -n "$bus" ] && return 0
    dbus-daemon --session --nofork --address="unix:path=$work/system_bus" >/dev/null 2>&1 &
    bus=$!
    for _ in $(seq 50); do [ -S "$work/system_bus" ] && break; sleep 0.1; done
}

# The jump, told as logind tells a resume.
announce_resume() {
    /usr/bin/python3 "$here/../tests/e2e/announce_resume.py" "unix:path=$work/system_bus"
}

# One-time alarms spread over `minutes` minutes from `first` minutes after
# 10:30 of the weekday (one a minute unless fewer minutes are given).
minute_alarms() { # home count first [minutes]
    local i m per=$(((${2} + ${4:-$2} - 1) / ${4:-$2}))
    : >"$1/.Tidra/Alarms"
    for ((i = 0; i < $2; i++)); do
        m=$((10 * 60 + 30 + $3 + i / per))
        printf 'Alarm\nmeasure %d\n1\n2026\n09\n12\n%02d\n%02d\n1\n0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n' \
            "$i" $((m / 60)) $((m % 60)) >>"$1/.Tidra/Alarms"
    done
}

lateness() {
    [[ $only == *L* ]] || return 0
    rm -rf "$work/home"
    prepare "$work/home" 0 0 full false
    local minutes=${LMIN:-100}
    minute_alarms "$work/home" 100 1 "$minutes"
    start_tidra "$bin" "$work/home" "$weekday" QT_LOGGING_RULES=tidra.alarms.firing.info=true
    local deadline=$((SECONDS + (minutes + 2) * 60))
    while [ "$(grep -c 'fired due' "$work/home/log")" -lt 100 ] && [ $SECONDS -lt $deadline ]; do
        sleep 10
    done
    stop_tidra
    echo
    echo "| alarms fired | lateness median | 90th percentile | worst |"
    echo "|---|---|---|---|"
    sed -n 's/.*fired due [0-9]* late \(-\{0,1\}[0-9]*\) ms.*/\1/p' "$work/home/log" | sort -n |
        awk '{v[NR] = $1} END {
            if (!NR) { print "| 0 | - | - | - |"; exit }
            printf "| %d | %d ms | %d ms | %d ms |\n", NR, v[int((NR + 1) / 2)],
                v[int(NR * 0.9 + 0.999)], v[NR] }'
}

jump() {
    [[ $only == *J* ]] || return 0
    private_bus
    rm -rf "$work/home"
    prepare "$work/home" 0 0 full false
    minute_alarms "$work/home" 3 10
    local clock=$work/faketime start offset announced
    start=$(date -d "$weekday" +%s)
    echo "+$((start - $(date +%s)))" >"$clock"
    CLOCK=$clock start_tidra "$bin" "$work/home" "$weekday" \
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus" \
        QT_LOGGING_RULES=tidra.alarms.firing.info=true
    sleep 5
    # Asleep from 10:30 until 10:45: the alarms of 10:40 to 10:42 were missed.
    offset=$((start + 15 * 60 - $(date +%s)))
    echo "+$offset" >"$clock"
    announced=$(now_ms)
    announce_resume
    sleep 3
    stop_tidra
    echo
    echo "| after a resume | alarms fired | first fires after the announcement | last |"
    echo "|---|---|---|---|"
    sed -n 's/.*fired due \([0-9]*\) late \(-\{0,1\}[0-9]*\) ms.*/\1 \2/p' "$work/home/log" |
        awk -v off=$((offset * 1000)) -v a="$announced" '
            { t = $1 + $2 - off - a; if (!n || t < lo) lo = t; if (!n || t > hi) hi = t; n++ }
            END { printf "| 3 alarms jumped over | %d | %d ms | %d ms |\n", n, lo, hi }'
}

big_sound() {
    [[ $only == *S* ]] || return 0
    mkdir -p "$work/pulse"
    export PULSE_SERVER=unix:$work/pulse/native
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L module-null-sink \
        -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" >/dev/null 2>&1 &
    pulse=$!
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    local big=$work/big.wav streams=0 peak
    { printf 'RIFF\xf8\xff\xff\x7fWAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0'
      printf 'data\xd4\xff\xff\x7f'; } >"$big"
    truncate -s 2G "$big" # sparse: no disk space taken
    rm -rf "$work/home"
    prepare "$work/home" 0 0 full false
    printf '[alarms]\nPlaySound=true\nSoundFileName=%s\n' "$big" >>"$work/home/.config/Morvane/Tidra.conf"
    minute_alarms "$work/home" 1 1
    start_tidra "$bin" "$work/home" "${weekday%:00}:55"
    for _ in $(seq 300); do
        streams=$(pactl list sink-inputs 2>/dev/null | grep -c 'Corked: no' || true)
        [ "$streams" -ge 1 ] && break
        sleep 0.1
    done
    sleep 10
    peak=$(kb "$prog" VmHWM)
    stop_tidra
    echo
    echo "| alarm sound | playing | RSS peak |"
    echo "|---|---|---|"
    awk -v s="$streams" -v p="$peak" 'BEGIN { printf "| 2 GB WAV | %s | %.1f MB |\n", (s >= 1 ? "yes" : "no"), p / 1024 }'
}

if [[ $only == *[ABCDP]* ]]; then
    echo "| scenario | CPU (one core) | CPU per minute | RSS steady | RSS peak | start to tray icon | wake-ups/s |"
    echo "|---|---|---|---|---|---|---|"
fi
workload "A: 100 alarms, weekend" "$weekend" 100 0 full
workload "B: 20 alarms, 10 Full timers, work windows" "$weekday" 20 10 full
workload "C: like B, timers with hundredths" "$weekday" 20 10 short
workload "D: 1000 alarms, 200 timers" "$weekday" 1000 200 full
if [[ $only == *P* ]]; then
    peer "Peer: GNOME Clocks, window open" gnome-clocks
    peer "Peer: Alarm Clock applet, in the tray" alarm-clock-applet --hidden
fi
lateness
jump
big_sound
