#!/bin/bash
# The work countdown windows of the real program at pinned moments of a week:
# which of them a fresh user sees, and that they do not pile up on one spot.
set -u

BIN=${TIDRA_BIN:?TIDRA_BIN not set}
for tool in Xvfb trayer xdotool faketime; do
    command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done

WORK=$(mktemp -d /tmp/tidra-e2e-work.XXXXXX)
PIDS=()
cleanup() {
    for p in "${PIDS[@]}"; do kill -- "$p" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

DISPLAY_NUM=
for n in $(seq 140 180); do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then DISPLAY_NUM=$n; break; fi
done
[ -n "$DISPLAY_NUM" ] || { echo "no free display"; exit 1; }
export DISPLAY=:$DISPLAY_NUM
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
sleep 0.5

failures=0

# Visible work windows (titled with their captions) as "x y" lines.
work_windows() {
    for id in $(xdotool search --onlyvisible --name '^Time to (begin of lunch|end of work|holiday|vacation)$' 2>/dev/null); do
        xdotool getwindowgeometry "$id" | awk '/Position/ { split($2, p, ","); print p[1], p[2] }'
    done | sort -n -k2
}

# run_at "<moment>" <expected count> <label>
run_at() {
    local moment=$1 expected=$2 label=$3
    local home="$WORK/home-$label"
    mkdir -p "$home/.config" "$home/runtime"
    chmod 700 "$home/runtime"
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
        XDG_RUNTIME_DIR=$home/runtime TZ=Europe/Berlin QT_QPA_PLATFORM=xcb \
        setsid faketime -f "@$moment" "$BIN" >"$WORK/$label.log" 2>&1 &
    local pid=$!
    PIDS+=(-$pid)
    local got=
    # A fresh start shows the settings window; the work windows are decided by then.
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '^Tidra!!! Settings$' >/dev/null 2>&1 && break
        sleep 0.2
    done
    # Shown at start-up right after the settings window; a busy X server may lag.
    local places i
    for i in $(seq 40); do
        sleep 0.25
        places=$(work_windows)
        [ "$(printf '%s' "$places" | grep -c .)" -eq "$expected" ] && [ "$i" -ge 4 ] && break
    done
    got=$(printf '%s' "$places" | grep -c .)
    if [ "$got" -ne "$expected" ]; then
        echo "FAIL $label: $got work windows shown, expected $expected"
        failures=$((failures + 1))
    else
        echo "ok   $label: $got work windows"
    fi
    if [ "$got" -gt 1 ] && [ "$(printf '%s\n' "$places" | sort -u | wc -l)" -ne "$got" ]; then
        echo "FAIL $label: work windows share a place:"
        echo "$places"
        failures=$((failures + 1))
    fi
    # Its own process group: faketime and the program end together.
    kill -TERM -- -"$pid" 2>/dev/null
    for _ in $(seq 40); do
        kill -0 -- -"$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL -- -"$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# A fresh start: Monday to Friday 9:00-18:00, lunch 13:00-14:00; lunch, end of
# day and holiday windows on, vacation off. 2026-12-07 is a Monday.
run_at "2026-12-07 10:00:00" 3 monday-morning
run_at "2026-12-07 13:30:00" 2 monday-lunch
run_at "2026-12-07 19:00:00" 1 monday-evening
run_at "2026-12-06 10:00:00" 0 sunday

exit $failures
