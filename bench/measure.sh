#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of the real program beside the programs a user would pick
# instead: CPU (every thread) and the X server's CPU, wake-ups, memory and
# start-up for four prepared workloads; how late alarm pop-ups reach the
# screen; how soon alarms fire after a jump of the clock.
#
#   bench/measure.sh [path/to/tidra] [seconds-per-scenario] [letters]
#
# Letters (default ABCDP):
#   A B C D  the workloads of scenario.sh, one row each
#   M        1,000 alarms and no timers: D's memory less this row's is what
#            its 200 timer windows take (printed per window after the table)
#   P        the peers, when installed: GNOME Clocks with its window open and
#            the Alarm Clock applet in the tray (each in its own session bus)
#   L        LCOUNT one-time alarms (default 20) on the real clock, one a
#            minute for each program run (this binary, BEFORE's, each also
#            niced by 10 unless LNICE=0), taking turns by the minute: how
#            late each pop-up is mapped on the screen (an X client watches
#            for it, bench/mapwatch.py), beside the program's own log
#   J        three alarms jumped over by the clock, the jump announced as a
#            resume: how long after the announcement each fires
#   S        an alarm whose sound is a 2 GB WAV: the memory taken while it
#            plays (the file is streamed, not loaded)
# BEFORE=path/to/an/older/tidra adds a row for it after each of A to D.
# VARIANTS="VAR=value ..." adds a row with each setting after each of A to D
# (e.g. VARIANTS=QT_XCB_NO_MITSHM=1).
#
# Prints Markdown tables, the load average in each row. Needs xvfb, trayer,
# xdotool, x11-utils, faketime; L also python3-xlib; J dbus-daemon and
# python3-dbus; S pulseaudio and pactl.
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

# Every thread of the process (Qt's X reader, D-Bus and sound threads count too).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f", s}'; }
load() { cut -d' ' -f1 /proc/loadavg; }
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

# One table row for a running process: its CPU, the X server's CPU and the
# wake-ups over `secs` after 5 s of settling (start-up work is not idle
# cost), then memory and the load average at the end. Sets last_rss (kB).
row() { # label pid start-ms
    local label=$1 pid=$2 start=$3 c0 s0 x0 c1 s1 x1 rss hwm
    sleep 5
    c0=$(cpu_ns "$pid"); s0=$(switches "$pid"); x0=$(cpu_ns "$xvfb")
    sleep "$secs"
    c1=$(cpu_ns "$pid"); s1=$(switches "$pid"); x1=$(cpu_ns "$xvfb")
    rss=$(kb "$pid" VmRSS); hwm=$(kb "$pid" VmHWM)
    last_rss=$rss
    awk -v l="$label" -v st="$start" -v c=$((c1 - c0)) -v x=$((x1 - x0)) -v s="$secs" \
        -v w=$((s1 - s0)) -v rss="$rss" -v hwm="$hwm" -v ld="$(load)" 'BEGIN {
        printf "| %s | %.3f%% | %.1f ms | %.3f%% | %.1f MB | %.1f MB | %s | %.2f | %s |\n",
            l, 100 * c / (s * 1e9), c / 1e6 * 60 / s, 100 * x / (s * 1e9), rss / 1024,
            hwm / 1024, st, w / s, ld }'
}

# Starts a Tidra binary in HOME with the clock faked at `when` (or moved by
# hand through the file CLOCK names); sets app, and startup to the time until
# the tray shows the icon.
start_tidra() { # binary home when(empty: the real clock) [VAR=value...]
    local binary=$1 home=$2 when=$3 t0 t1 fake=(faketime -f "@$3")
    shift 3
    [ -n "$when" ] || fake=()
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
        ${NICE:+nice -n "$NICE"} "${fake[@]}" "$binary" >"$home/log" 2>&1 &
    app=$!
    for _ in $(seq 600); do
        tray_has_icon && break
        sleep 0.01
    done
    # faketime (and nice, through env) run the program as a child or in place.
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

declare -A rss_of
workload() { # label when alarms timers kind
    local label=$1 when=$2 na=$3 nt=$4 kind=$5 vacation=true binary name variant
    [[ $only == *"${label:0:1}"* ]] || return 0
    [ "$when" = "$weekend" ] && vacation=false
    for binary in "$bin" ${before:+"$before"}; do
        for variant in "" ${VARIANTS:-}; do
            name=$label
            [ "$binary" = "$bin" ] || name="$name (before)"
            [ -z "$variant" ] || name="$name, $variant"
            rm -rf "$work/home"
            prepare "$work/home" "$na" "$nt" "$kind" "$vacation"
            start_tidra "$binary" "$work/home" "$when" $variant
            row "$name" "$prog" "$startup"
            rss_of["${label:0:1}$binary$variant"]=$last_rss
            stop_tidra
        done
    done
}

# What each of D's 200 timer windows takes: D's resident memory less M's.
per_window() {
    local binary variant d m
    [[ $only == *D* && $only == *M* ]] || return 0
    echo
    echo "| memory per timer window (D less M, over 200) | kB |"
    echo "|---|---|"
    for binary in "$bin" ${before:+"$before"}; do
        for variant in "" ${VARIANTS:-}; do
            d=${rss_of["D$binary$variant"]:-} m=${rss_of["M$binary$variant"]:-}
            [ -n "$d" ] && [ -n "$m" ] || continue
            echo "| ${binary##*/}${variant:+, $variant} ($binary) | $(((d - m) / 200)) |"
        done
    done
}

peer() { # label command...
    local label=$1 pid name
    shift
    name=$(basename "$1")
    command -v "$1" >/dev/null || return 0
    rm -rf "$work/peer"
    mkdir -p "$work/peer/.config" "$work/peer/run"
    chmod 700 "$work/peer/run"
    HOME=$work/peer XDG_CONFIG_HOME=$work/peer/.config XDG_RUNTIME_DIR=$work/peer/run \
        GSETTINGS_BACKEND=memory dbus-run-session -- "$@" >/dev/null 2>&1 &
    app=$!
    sleep 3
    # The program itself, not the session bus dbus-run-session also starts.
    pid=$(pgrep -n -x "${name:0:15}" || echo "$app")
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

# One-time alarms today at the given epoch minutes (real clock), in a HOME.
alarms_at() { # home epoch-minute...
    local home=$1 m i=0 y d mo h mi
    shift
    : >"$home/.Tidra/Alarms"
    for m in "$@"; do
        read -r y d mo h mi < <(date -d "@$((m * 60))" '+%Y %d %m %H %M')
        printf 'Alarm\nmeasure %d\n1\n%s\n%s\n%s\n%s\n%s\n1\n' "$i" "$y" "$d" "$mo" "$h" "$mi" \
            >>"$home/.Tidra/Alarms"
        printf '0\n0\n0\n0\n0\n0\n0\n0\n0\nAlarm end\n' >>"$home/.Tidra/Alarms"
        i=$((i + 1))
    done
}

# The moment each pop-up is mapped, against the moment its alarm was due.
lateness() {
    [[ $only == *L* ]] || return 0
    local count=${LCOUNT:-20} runs=() pids=() binary i k n first last watch home
    local -a minutes
    for binary in "$bin" ${before:+"$before"}; do
        runs+=("$binary|")
        [ "${LNICE:-1}" = 0 ] || runs+=("$binary|10")
    done
    n=${#runs[@]}
    /usr/bin/python3 "$here/mapwatch.py" >"$work/maps" 2>"$work/maps.err" &
    watch=$!
    for _ in $(seq 100); do grep -q ready "$work/maps" && break; sleep 0.1; done
    # The first alarm leaves every program a minute to start and settle.
    first=$((($(date +%s) + 60 + 59) / 60))
    for ((i = 0; i < n; i++)); do
        home=$work/late$i
        rm -rf "$home"
        prepare "$home" 0 0 full false
        minutes=()
        for ((k = 0; k < count; k++)); do minutes+=($((first + k * n + i))); done
        alarms_at "$home" "${minutes[@]}"
        NICE=${runs[i]#*|} start_tidra "${runs[i]%|*}" "$home" "" \
            QT_LOGGING_RULES=tidra.alarms.firing.info=true
        pids+=("$prog" "$app")
        app=
    done
    last=$(((first + count * n) * 60 + 20))
    while [ "$(date +%s)" -lt "$last" ]; do sleep 10; done
    for k in "${pids[@]}"; do kill -TERM "$k" 2>/dev/null || true; done
    kill "$watch" 2>/dev/null || true
    echo
    echo "| pop-up mapped after its moment | nice | alarms | median | 90th percentile | worst |" \
        "logged lateness: median, worst | load at the end |"
    echo "|---|---|---|---|---|---|---|---|"
    for ((i = 0; i < n; i++)); do
        sed -n 's/.*fired due \([0-9]*\) late \(-\{0,1\}[0-9]*\) ms.*/\1 \2/p' \
            "$work/late$i/log" >"$work/due$i"
        awk -v label="${runs[i]%|*}" -v nice="${runs[i]#*|}" -v ld="$(load)" '
            FNR == NR { if ($1 != "ready") map[++m] = $1; next }
            { due = $1; logged[++n] = $2
              for (j = 1; j <= m && map[j] < due; j++) {}
              if (j <= m && map[j] - due < 30000) late[++k] = map[j] - due }
            function sort(a, c,   i, j, t) {
                for (i = 2; i <= c; i++)
                    for (j = i; j > 1 && a[j - 1] > a[j]; j--) {
                        t = a[j]; a[j] = a[j - 1]; a[j - 1] = t } }
            END {
                if (!k) { printf "| %s | %s | 0 | - | - | - | - | %s |\n", label, nice, ld; exit }
                sort(late, k); sort(logged, n)
                printf "| %s | %s | %d | %.1f ms | %.1f ms | %.1f ms | %d ms, %d ms | %s |\n",
                    label, nice ? nice : 0, k, late[int((k + 1) / 2)], late[int(k * 0.9 + 0.999)],
                    late[k], logged[int((n + 1) / 2)], logged[n], ld }' "$work/maps" "$work/due$i"
    done
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

if [[ $only == *[ABCDMP]* ]]; then
    echo "| scenario | CPU (all threads, one core) | CPU per minute | X server CPU |" \
        "RSS steady | RSS peak | start to tray icon | wake-ups/s | load |"
    echo "|---|---|---|---|---|---|---|---|---|"
fi
workload "A: 100 alarms, weekend" "$weekend" 100 0 full
workload "B: 20 alarms, 10 Full timers, work windows" "$weekday" 20 10 full
workload "C: like B, timers with hundredths" "$weekday" 20 10 short
workload "D: 1000 alarms, 200 timers" "$weekday" 1000 200 full
workload "M: 1000 alarms, no timers" "$weekday" 1000 0 full
if [[ $only == *P* ]]; then
    peer "Peer: GNOME Clocks, window open" gnome-clocks
    peer "Peer: Alarm Clock applet, in the tray" alarm-clock-applet --hidden
fi
per_window
lateness
jump
big_sound
