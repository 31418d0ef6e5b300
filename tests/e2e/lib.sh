# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end harness: runs the real binary on a private X server with a real
# tray host, in a throw-away home. Source it from a tests/e2e/test_*.sh script:
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_desktop NAME; e2e_start_in_tray; ...; e2e_pass
#
# Environment (ctest provides it): TIDRA_BIN, TIDRA_BUILD_DIR, TIDRA_SOURCE_DIR.
#
# Functions
#   e2e_init NAME [bus]        fresh HOME and XDG folders under E2E_TMP, no session
#                              bus (Qt uses the XEmbed tray) unless "bus": then the
#                              script runs again under dbus-run-session, on a private
#                              one. DATA and CONF name the data folder and settings
#                              file. Artifacts of a failed run (of every run with
#                              E2E_KEEP_ARTIFACTS=1) go to $TIDRA_BUILD_DIR/e2e-artifacts/NAME.
#   e2e_init_desktop NAME      e2e_init NAME bus with a stand-in notification
#                              server; what it is told is in HOST_LOG.
#   e2e_desktop NAME [bus]     e2e_init, then e2e_start_x and e2e_start_tray.
#   e2e_conf LINE...           writes the settings file, one LINE a line.
#   e2e_block KIND NAME FIELDS one "Alarm"/"Timer" block of an event file; FIELDS
#                              split at spaces, one a line.
#   e2e_start_x [WxH]          Xvfb on a display it picks itself; exports DISPLAY.
#   e2e_start_tray             trayer docked at the top right.
#   e2e_start_tidra [ARGS]     the program in the background (TIDRA_PID);
#                              output in $E2E_TMP/tidra.log. With a command in
#                              ARGS the program starts detached (e2e_adopt: its
#                              pid from the lock; its output is not logged).
#   e2e_start_in_tray [ARGS]   e2e_start_tidra, then waits for the tray icon.
#   e2e_command ARGS...        runs the program to its end: E2E_OUT, E2E_ERR, E2E_RC.
#   e2e_term PID RC WHAT       SIGTERM; the process must end with RC.
#   e2e_wait_exit PID [SECS]   waits for a child; its exit code in E2E_RC. Not in $(...).
#   e2e_wait CMD...            polls CMD until it succeeds or E2E_TIMEOUT (15) s pass.
#   e2e_windows XDOTOOL-ARGS   "ID NAME X Y W H OVERRIDE" of each visible window found.
#   e2e_find_window TITLE      visible windows (no tray icons) whose title matches.
#   e2e_wait_window TITLE      waits for one and prints its id.
#   e2e_window_gone TITLE      no visible window matches.
#   e2e_ringing                waits for an alarm pop-up; its id in POPUP.
#   e2e_tray_icon / e2e_wait_tray_icon
#                              "ID X Y W H" of the docked icon.
#   e2e_click_tray_icon BTN    clicks the icon: 1 left, 2 middle, 3 right.
#   e2e_visible_menu [NAME]    "ID X Y W H" of an open pop-up menu of Tidra.
#   e2e_menu BTN KEYS...       opens the icon's menu with BTN, then types KEYS.
#   e2e_dismiss WIN [KEY]      presses KEY (Return) in WIN until it is gone.
#   e2e_hidden WIN             WIN is not (or no longer) shown.
#   e2e_geometry WIN           "X Y W H" of WIN.
#   e2e_balloon                "ID X Y W H" of a balloon below the tray icon.
#   e2e_fake_clock WHEN        later starts run under libfaketime; e2e_set_clock
#                              WHEN (any `date -d` text) moves their wall clock and
#                              announces a resume on a private system bus, as a
#                              suspend would look (Qt's timers keep real time).
#   e2e_start_audio            a private PulseAudio with a null sink (skips, 77,
#                              without pulseaudio); e2e_sound_streams counts what plays.
#   e2e_fail MESSAGE (with a screenshot) / e2e_check DESC CMD... / e2e_pass

set -uo pipefail

E2E_TIMEOUT=${E2E_TIMEOUT:-15}
E2E_PIDS=()
E2E_FAILED=0

e2e_log() { echo "[e2e:${E2E_NAME:-?}] $*" >&2; }

e2e_init() {
    E2E_NAME=$1
    if [ "${2:-}" = bus ]; then
        [ -n "${TIDRA_DBUS_SESSION:-}" ] ||
            exec env TIDRA_DBUS_SESSION=1 dbus-run-session -- bash "$0"
        local bus=$DBUS_SESSION_BUS_ADDRESS
    fi
    : "${TIDRA_BIN:?TIDRA_BIN must point at the program}"
    : "${TIDRA_BUILD_DIR:=$(dirname "$TIDRA_BIN")}"
    type -P Xvfb trayer xdotool xwininfo import >/dev/null ||
        { echo "e2e: tools are missing (scripts/install-deps.sh)"; exit 1; }
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tidra-e2e-$E2E_NAME-XXXXXX")
    E2E_ARTIFACTS="$TIDRA_BUILD_DIR/e2e-artifacts/$E2E_NAME"
    rm -rf "$E2E_ARTIFACTS"
    export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config"
    export XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$E2E_TMP/shots" "$XDG_CONFIG_HOME/Morvane" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    DATA=$HOME/.Tidra CONF=$XDG_CONFIG_HOME/Morvane/Tidra.conf
    # No session bus: the tray is the X server's XEmbed one, as under trayer.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORMTHEME
    export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 TZ=Europe/Berlin
    [ -z "${bus:-}" ] || export DBUS_SESSION_BUS_ADDRESS=$bus
    trap e2e_cleanup EXIT
}

e2e_desktop() { e2e_init "$@" && e2e_start_x && e2e_start_tray; }

e2e_cleanup() {
    local status=$? i
    [ "$E2E_FAILED" = 1 ] && status=1
    kill "${E2E_PIDS[@]}" 2>/dev/null
    for i in "${E2E_PIDS[@]}"; do E2E_TIMEOUT=3 e2e_wait _e2e_ended "$i" || kill -9 "$i"; done
    if [ "$status" != 0 ] || [ -n "${E2E_KEEP_ARTIFACTS:-}" ]; then
        mkdir -p "$E2E_ARTIFACTS" && cp -r "$E2E_TMP"/. "$E2E_ARTIFACTS"/ 2>/dev/null
        [ "$status" = 0 ] || e2e_log "FAILED; artifacts in $E2E_ARTIFACTS"
    fi
    rm -rf "$E2E_TMP"
    exit "$status"
}

e2e_init_desktop() {
    /usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || { echo "SKIP: no python3-dbus"; exit 77; }
    e2e_init "$1" bus
    export XDG_CURRENT_DESKTOP=
    HOST_LOG=$E2E_TMP/host.log
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/desktop_host.py" "$HOST_LOG" \
        >"$E2E_TMP/host-out.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait grep -q '^ready' "$HOST_LOG" || e2e_fail "the stand-in host did not start"
}

e2e_conf() { printf '%s\n' "$@" >"$CONF"; }

e2e_block() { printf '%s\n' "$1" "$2" $3 "$1 end"; } # FIELDS split on purpose

e2e_wait() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

e2e_start_x() {
    local attempt
    # Xvfb picks a free display and tells us which: no race over a number. A
    # server that is just going away may still unlink a new one's socket on its
    # old number, so the socket has to stay a moment before the display is used.
    # -noreset: it would otherwise reset whenever its last client leaves.
    for attempt in 1 2 3 4 5; do
        Xvfb -displayfd 3 -screen 0 "${1:-1280x800}x24" -nolisten tcp -noreset \
            3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
        E2E_PIDS+=($!)
        E2E_TIMEOUT=10 e2e_wait grep -q '[0-9]' "$E2E_TMP/display" ||
            e2e_fail "the X server did not start"
        export DISPLAY=":$(tr -dc '0-9' <"$E2E_TMP/display")"
        E2E_TIMEOUT=10 e2e_wait xwininfo -root && sleep 0.5 &&
            [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] && xwininfo -root >/dev/null 2>&1 && return 0
        kill "${E2E_PIDS[-1]}" 2>/dev/null
    done
    e2e_fail "the X server on $DISPLAY does not answer"
}

e2e_start_tray() {
    trayer --edge top --align right --widthtype pixel --width 160 --height 32 \
        --SetDockType true --transparent false >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait xdotool search --classname '^trayer$' || e2e_fail "trayer did not come up"
}

# In the background only: it execs, so $! is the program itself. File times
# stay real: faked ones make fontconfig rebuild its caches for everyone. The
# clock file is read at every look at the clock, so a jump is seen at once.
_e2e_exec_tidra() {
    [ -z "${E2E_CLOCK_FILE:-}" ] || export LD_PRELOAD="$E2E_FAKETIME_LIB" \
        FAKETIME_TIMESTAMP_FILE="$E2E_CLOCK_FILE" FAKETIME_NO_CACHE=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
    exec "$TIDRA_BIN" "$@"
}

e2e_start_tidra() {
    _e2e_exec_tidra "$@" >>"$E2E_TMP/tidra.log" 2>&1 &
    TIDRA_PID=$!
    E2E_PIDS+=("$TIDRA_PID")
    [ $# -eq 0 ] || e2e_adopt
}

# A command starts Tidra detached, no child of ours: the lock names it.
e2e_adopt() {
    E2E_TIMEOUT=20 e2e_wait _e2e_instance || e2e_fail "no Tidra runs"
    TIDRA_PID=$(cat "$XDG_RUNTIME_DIR/Tidra.lock")
    E2E_PIDS+=("$TIDRA_PID")
}
_e2e_instance() { kill -0 "$(cat "$XDG_RUNTIME_DIR/Tidra.lock" 2>/dev/null)" 2>/dev/null; }


e2e_command() {
    _e2e_exec_tidra "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" </dev/null &
    local pid=$!
    e2e_wait_exit "$pid" 60 || { kill -9 "$pid" 2>/dev/null; E2E_RC=124; }
    E2E_OUT=$(cat "$E2E_TMP/out") E2E_ERR=$(cat "$E2E_TMP/err")
}

# Only this shell can collect its children's exit codes.
e2e_wait_exit() {
    E2E_TIMEOUT=${2:-$E2E_TIMEOUT} e2e_wait _e2e_ended "$1" || return 1
    wait "$1" 2>/dev/null
    E2E_RC=$?
}
_e2e_ended() { ! kill -0 "$1" 2>/dev/null; }

e2e_term() {
    kill -TERM "$1"
    e2e_wait_exit "$1" 10 || e2e_fail "SIGTERM did not end the program $3"
    e2e_check "SIGTERM $3 exits with $2" test "$E2E_RC" = "$2"
}

e2e_find_window() { e2e_windows --name "$1" | awk '$5 > 64 || $6 > 64 { print $1 }'; }

e2e_wait_window() { e2e_wait _e2e_shown "$1" && e2e_find_window "$1" | head -1 | grep .; }

_e2e_shown() { [ -n "$(e2e_find_window "$1")" ]; }
e2e_window_gone() { ! _e2e_shown "$1"; }

e2e_ringing() { POPUP=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "$1 did not ring"; }

# Docked icons are small and live in the panel at the top of the screen.
e2e_tray_icon() { _e2e_ours '$5 > 1 && $5 <= 64 && $6 <= 64 && $4 < 40'; }

e2e_wait_tray_icon() { e2e_wait e2e_tray_icon && e2e_tray_icon; }
# Tidra in the background, once its icon is in the tray.
e2e_start_in_tray() { e2e_start_tidra "$@"; e2e_wait e2e_tray_icon || e2e_fail "no tray icon"; }

e2e_click_tray_icon() {
    local x y w h
    read -r _ x y w h <<<"$(e2e_tray_icon)" || e2e_fail "no tray icon to click"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "$1"
}

# Menus are override-redirect Tidra windows bigger than the icon (the alarm
# pop-up is one too: NAME picks by title).
e2e_visible_menu() {
    _e2e_ours "\$7 && (\$5 > 64 || \$6 > 64) && \$2 != \"Tidra!!!_Settings\" &&
               (\$2 == \"${1:-}\" || \"${1:-}\" == \"\")"
}

# A tray icon cannot take the focus: its menu is where the keyboard starts.
e2e_menu() {
    local try
    for try in 1 2 3; do
        e2e_click_tray_icon "$1"
        E2E_TIMEOUT=3 e2e_wait e2e_visible_menu Tidra || continue
        xdotool key "${@:2}"
        # Keys sent before a loaded machine let the menu take the keyboard are
        # lost, and the menu stays open: every entry used here closes it.
        E2E_TIMEOUT=3 e2e_wait _e2e_no_menu && return
        xdotool key Escape
    done
    e2e_fail "no menu on button $1, or it took no keys"
}
_e2e_no_menu() { ! e2e_visible_menu Tidra >/dev/null; }

# A window that has just been mapped may not take keys yet on a busy machine.
e2e_dismiss() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until e2e_hidden "$1"; do
        [ $SECONDS -ge $deadline ] && return 1
        xdotool windowfocus --sync "$1" key "${2:-Return}" 2>/dev/null
        E2E_TIMEOUT=1 e2e_wait e2e_hidden "$1"
    done
}

e2e_hidden() { ! e2e_geometry "$1" >/dev/null; }

e2e_fail() {
    e2e_log "FAIL: $*"
    import -window root "$E2E_TMP/shots/failure.png" 2>/dev/null
    E2E_FAILED=1
    exit 1
}

e2e_check() { "${@:2}" >/dev/null && e2e_log "ok: $1" || e2e_fail "$1"; }

e2e_pass() { e2e_log PASS && exit 0; }

# "X Y W H" of a viewable window out of xwininfo's report on standard input.
_e2e_xywh() {
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Map State: IsViewable/ {v=1}
        /Width:/ {w=$2} /Height:/ {h=$2} END {if (!v) exit 1; print x, y, w, h}'
}

e2e_geometry() { xwininfo -id "$1" 2>/dev/null | _e2e_xywh; }

# "ID NAME X Y W H OVERRIDE" of each viewable window xdotool finds with ARGS
# (blanks in NAME as _; OVERRIDE is 1 for an override-redirect window).
e2e_windows() {
    local id geo xywh name
    for id in $(xdotool search --onlyvisible "$@" 2>/dev/null); do
        geo=$(xwininfo -id "$id" 2>/dev/null) && xywh=$(_e2e_xywh <<<"$geo") || continue
        name=$(xdotool getwindowname "$id" 2>/dev/null)
        echo "$id ${name// /_} $xywh $(grep -c 'Override Redirect State: yes' <<<"$geo")"
    done
}

# "ID X Y W H" of the first of Tidra's windows whose e2e_windows line passes the awk TEST.
_e2e_ours() {
    e2e_windows --classname '^tidra$' |
        awk "($1)"' && !found { print $1, $3, $4, $5, $6; found = 1 } END { exit !found }'
}

# Qt draws balloons of an XEmbed tray itself, just below the icon.
e2e_balloon() { _e2e_ours '$7 && $5 > 180 && $6 > 40 && $6 < 120 && $4 < 60'; }

e2e_fake_clock() {
    E2E_FAKETIME_LIB=$(ls /usr/lib/{*/,}faketime/libfaketime.so.1 2>/dev/null | head -1)
    [ -n "$E2E_FAKETIME_LIB" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"
    local socket=$E2E_TMP/system_bus
    dbus-daemon --session --nofork --address="unix:path=$socket" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait test -S "$socket" || e2e_fail "no private system bus"
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$socket"
    E2E_CLOCK_FILE=$E2E_TMP/faketime
    e2e_set_clock "$1"
}

e2e_set_clock() {
    local target
    target=$(date -d "$1" +%s) || e2e_fail "not a moment: $1"
    # "+N" ahead of the real clock, "-N" behind it
    printf '%+d\n' $((target - $(date +%s))) >"$E2E_CLOCK_FILE"
    # Debian's own interpreter: python3-dbus is installed for it, not for others on PATH.
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/announce_resume.py" \
        "$DBUS_SYSTEM_BUS_ADDRESS" || e2e_fail "could not announce the resume"
}

e2e_start_audio() {
    type -P pulseaudio pactl >/dev/null || { echo "SKIP: no pulseaudio and pactl"; exit 77; }
    mkdir -p "$E2E_TMP/pulse"
    export PULSE_SERVER=unix:$E2E_TMP/pulse/native
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
        -L module-null-sink \
        -L "module-native-protocol-unix socket=$E2E_TMP/pulse/native auth-anonymous=1" \
        >"$E2E_TMP/pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait pactl info || e2e_fail "the sound server did not start"
}

# Streams that are not corked (paused or stopped players may keep theirs).
e2e_sound_streams() { pactl list sink-inputs 2>/dev/null | grep -c 'Corked: no'; }
