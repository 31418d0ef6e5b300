# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end harness: runs the real binary on a private X server with a real
# tray host, in a throw-away home. Source it from a tests/e2e/test_*.sh script:
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init shell            # temp HOME/XDG dirs, artifacts dir, cleanup trap
#   e2e_start_x               # Xvfb on a free display, exports DISPLAY
#   e2e_start_tray            # trayer as the XEmbed tray host
#   e2e_start_tidra           # the binary in the background; sets TIDRA_PID
#   e2e_wait_tray_icon        # waits until the icon is docked
#   ...
#   e2e_pass
#
# Environment (ctest provides it): TIDRA_BIN, TIDRA_BUILD_DIR, TIDRA_SOURCE_DIR.
#
# Functions
#   e2e_init NAME              fresh HOME, XDG_CONFIG_HOME, XDG_DATA_HOME,
#                              XDG_CACHE_HOME, XDG_RUNTIME_DIR (0700) under E2E_TMP;
#                              no session bus, so Qt uses the XEmbed tray.
#                              Artifacts of a failed run (of every run with
#                              E2E_KEEP_ARTIFACTS=1) go to
#                              $TIDRA_BUILD_DIR/e2e-artifacts/NAME.
#   e2e_start_x [WxH]          Xvfb on a display it picks itself; exports DISPLAY.
#   e2e_start_tray             trayer docked at the top right; waits for it.
#   e2e_stop_tray              ends trayer and waits until the tray is gone.
#   e2e_start_tidra [ARGS]     starts $TIDRA_BIN; output in $E2E_TMP/tidra.log.
#   e2e_run_tidra VAR [ARGS]   starts another $TIDRA_BIN in the background and
#                              stores its pid in VAR (for second starts).
#   e2e_command ARGS...        runs $TIDRA_BIN ARGS to its end (under the faked
#                              clock too): a command for the running program
#                              (--list, --alarm +5m Tea, --quit, ...). Its
#                              output goes to E2E_OUT, its errors to E2E_ERR,
#                              its exit code to E2E_RC. Not for a command that
#                              starts the program: use e2e_start_tidra.
#   e2e_wait_exit PID [SECS]   waits for a process started by this script and
#                              puts its exit code in E2E_RC; fails on timeout.
#                              Call it directly, not in $(...).
#   e2e_wait CMD... / E2E_TIMEOUT
#                              polls CMD every 0.1 s until it succeeds or
#                              E2E_TIMEOUT seconds (default 15) pass.
#   e2e_find_window TITLE      ids of visible windows (tray icons left out)
#                              whose title matches the regular expression
#                              TITLE, one per line. Open menus are titled
#                              "Tidra" as well.
#   e2e_wait_window TITLE      waits for one and prints its id.
#   e2e_window_gone TITLE      succeeds when no visible window matches.
#   e2e_tray_icon              "ID X Y W H" of Tidra's docked tray icon.
#   e2e_wait_tray_icon         waits for the icon; prints the same.
#   e2e_click_tray_icon BTN    clicks the icon: 1 left, 2 middle, 3 right.
#   e2e_visible_menu [NAME]    "ID X Y W H" of an open pop-up menu of Tidra.
#   e2e_press_key WIN KEY      focuses window WIN and types KEY (no window
#                              manager needed).
#   e2e_dismiss WIN [KEY]      presses KEY (Return) in WIN until it is gone,
#                              e.g. to answer a message box.
#   e2e_geometry WIN           "X Y W H" of window WIN.
#   e2e_click_at WIN DX DY [BTN]
#                              clicks at DX,DY inside window WIN (negative
#                              values count from its right/bottom edge).
#   e2e_tray_menu BTN          clicks the tray icon with BTN and waits for the
#                              menu it opens; prints "ID X Y W H" of the menu.
#   e2e_pick_main ENTRY        right click, then the main menu's entry: one of
#                              datetime alarms popups timers work settings
#                              about quit.
#   e2e_pick_fast ENTRY        the fast-actions menu (left click, as set by
#                              default): alarm timer.
#   e2e_balloon                "ID X Y W H" of a balloon message shown below
#                              the tray icon (XEmbed trays get Qt's own).
#   e2e_close_balloon          clicks a shown balloon away.
#   e2e_fake_clock [WHEN]      the following e2e_start_tidra runs under
#                              libfaketime; its wall clock is moved with
#                              e2e_set_clock WHEN (any `date -d` text, local
#                              time; Qt's timers keep real time). A faked jump
#                              is what a suspend looks like (the wall clock
#                              moves, the steady one does not), so it is
#                              announced as a resume: a private system bus
#                              where a stand-in login manager sends
#                              PrepareForSleep(false) after each jump.
#   e2e_start_audio            a private PulseAudio server with a null sink
#                              (exports PULSE_SERVER); skips the test (77)
#                              when pulseaudio is not installed.
#   e2e_sound_streams          how many sounds play on it now.
#   e2e_watch_opens FILE LOG   appends a line to LOG whenever FILE is opened
#                              (inotify), e.g. to see a sound being loaded.
#   e2e_screenshot NAME        the whole screen as NAME.png in the artifacts.
#   e2e_fail MESSAGE           screenshot, keep the artifacts, exit 1.
#   e2e_check DESC CMD...      runs CMD; e2e_fail with DESC when it fails.
#   e2e_pass                   ends the test successfully.

set -uo pipefail

E2E_TIMEOUT=${E2E_TIMEOUT:-15}
E2E_PIDS=()
E2E_FAILED=0

e2e_log() { echo "[e2e:${E2E_NAME:-?}] $*" >&2; }

e2e_init() {
    E2E_NAME=$1
    : "${TIDRA_BIN:?TIDRA_BIN must point at the program}"
    : "${TIDRA_BUILD_DIR:=$(dirname "$TIDRA_BIN")}"
    for tool in Xvfb trayer xdotool xwininfo import; do
        command -v "$tool" >/dev/null || { echo "e2e: missing $tool (scripts/install-deps.sh)" >&2; exit 1; }
    done
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/tidra-e2e-$E2E_NAME-XXXXXX")
    E2E_ARTIFACTS="$TIDRA_BUILD_DIR/e2e-artifacts/$E2E_NAME"
    rm -rf "$E2E_ARTIFACTS"
    mkdir -p "$E2E_TMP/shots"
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CACHE_HOME="$HOME/.cache"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # No session bus: the tray is the X server's XEmbed one, as under trayer.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY XDG_SESSION_TYPE QT_QPA_PLATFORMTHEME
    export QT_QPA_PLATFORM=xcb
    export LC_ALL=C.UTF-8
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    local status=$?
    [ "$E2E_FAILED" = 1 ] && status=1
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${E2E_PIDS[$i]}" 2>/dev/null
    done
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        local n=0
        while kill -0 "${E2E_PIDS[$i]}" 2>/dev/null && [ $n -lt 30 ]; do
            sleep 0.1
            n=$((n + 1))
        done
        kill -9 "${E2E_PIDS[$i]}" 2>/dev/null
    done
    if [ "$status" != 0 ] || [ -n "${E2E_KEEP_ARTIFACTS:-}" ]; then
        mkdir -p "$E2E_ARTIFACTS"
        cp -r "$E2E_TMP"/shots/. "$E2E_ARTIFACTS"/ 2>/dev/null
        cp "$E2E_TMP"/*.log "$E2E_ARTIFACTS"/ 2>/dev/null
        # What the program wrote: its event files and settings.
        cp -r "$HOME/.Tidra" "$E2E_ARTIFACTS/data" 2>/dev/null
        cp "$XDG_CONFIG_HOME/Morvane/Tidra.conf" "$E2E_ARTIFACTS"/ 2>/dev/null
        [ "$status" != 0 ] && e2e_log "FAILED; artifacts in $E2E_ARTIFACTS"
    fi
    rm -rf "$E2E_TMP"
    exit "$status"
}

e2e_wait() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    return 0
}

e2e_start_x() {
    local size=${1:-1280x800} attempt
    # Xvfb picks a free display itself and tells us which: no race with other
    # test runs on the same machine over a number. A server that is just going
    # away may still unlink the socket of a new one on its old number, though,
    # so the socket has to stay for a moment before the display is used.
    # -noreset: the server would otherwise reset whenever its last client
    # (such as a probe below) leaves, refusing whoever connects meanwhile.
    for attempt in 1 2 3 4 5; do
        rm -f "$E2E_TMP/display"
        Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$E2E_TMP/display" \
            >"$E2E_TMP/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        E2E_PIDS+=("$E2E_XVFB_PID")
        E2E_TIMEOUT=10 e2e_wait grep -q '[0-9]' "$E2E_TMP/display" || e2e_fail "the X server did not start"
        export DISPLAY=":$(tr -dc '0-9' <"$E2E_TMP/display")"
        if E2E_TIMEOUT=10 e2e_wait xwininfo -root; then
            sleep 0.5
            [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] && xwininfo -root >/dev/null 2>&1 && break
        fi
        e2e_log "the X server on $DISPLAY lost its socket; another try"
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        unset 'E2E_PIDS[-1]'
        [ $attempt = 5 ] && e2e_fail "the X server on $DISPLAY does not answer"
    done
    e2e_log "X server on $DISPLAY"
}

e2e_start_tray() {
    trayer --edge top --align right --widthtype pixel --width 160 --height 32 \
        --SetDockType true --transparent false >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_TRAY_PID=$!
    E2E_PIDS+=("$E2E_TRAY_PID")
    e2e_wait _e2e_tray_ready || e2e_fail "trayer did not come up"
}

_e2e_tray_ready() { xdotool search --classname '^trayer$' >/dev/null; }

e2e_stop_tray() {
    if [ -n "${E2E_TRAY_PID:-}" ]; then
        kill "$E2E_TRAY_PID" 2>/dev/null
        wait "$E2E_TRAY_PID" 2>/dev/null
    fi
    E2E_TRAY_PID=
    # The tray is gone only once its windows (and with them the selection) are.
    e2e_wait _e2e_no_tray || e2e_fail "the tray host did not go away"
}

_e2e_no_tray() { ! xdotool search --classname '^(trayer|panel)$' >/dev/null 2>&1; }

# Run in the background only: it execs, so $! is the program itself. Under
# e2e_fake_clock only the wall clock moves; Qt's timers keep real time. File
# times stay real: faked ones make fontconfig rebuild its caches for everyone.
# The clock file is read at every look at the clock, so a jump is seen at once
# by the program, which sleeps between the moments it wants to look.
_e2e_exec_tidra() {
    if [ -n "${E2E_CLOCK_FILE:-}" ]; then
        LD_PRELOAD="$E2E_FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$E2E_CLOCK_FILE" \
            FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
            exec "$TIDRA_BIN" "$@"
    else
        exec "$TIDRA_BIN" "$@"
    fi
}

e2e_start_tidra() {
    _e2e_exec_tidra "$@" >>"$E2E_TMP/tidra.log" 2>&1 &
    TIDRA_PID=$!
    E2E_PIDS+=("$TIDRA_PID")
}

e2e_run_tidra() {
    local var=$1
    shift
    _e2e_exec_tidra "$@" >>"$E2E_TMP/tidra-more.log" 2>&1 &
    local pid=$!
    E2E_PIDS+=("$pid")
    printf -v "$var" '%s' "$pid"
}

e2e_command() {
    local out=$E2E_TMP/command.out err=$E2E_TMP/command.err pid
    _e2e_exec_tidra "$@" >"$out" 2>"$err" </dev/null &
    pid=$!
    if ! e2e_wait_exit "$pid" 60; then
        kill -9 "$pid" 2>/dev/null
        E2E_RC=124
    fi
    E2E_OUT=$(cat "$out")
    E2E_ERR=$(cat "$err")
    { echo "\$ tidra $* -> $E2E_RC"; cat "$out" "$err"; } >>"$E2E_TMP/commands.log"
}

# Not to be called in $(...): only this shell can collect its children's exit codes.
e2e_wait_exit() {
    local pid=$1 secs=${2:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + secs))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    wait "$pid" 2>/dev/null
    E2E_RC=$?
    return 0
}

e2e_find_window() {
    local id geo w h
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        geo=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$geo" || continue
        # Not a docked tray icon: it carries the program's name too.
        w=$(awk '/Width:/ {print $2}' <<<"$geo")
        h=$(awk '/Height:/ {print $2}' <<<"$geo")
        [ "$w" -le 64 ] && [ "$h" -le 64 ] && continue
        echo "$id"
    done
}

e2e_wait_window() {
    local title=$1 found=""
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ -z "$found" ]; do
        found=$(e2e_find_window "$title" | head -n1)
        [ -n "$found" ] && break
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    echo "$found"
}

e2e_window_gone() { [ -z "$(e2e_find_window "$1")" ]; }

# Tidra's own windows that sit inside the tray host's panel.
e2e_tray_icon() {
    local panel
    panel=$(xdotool search --classname '^panel$' 2>/dev/null | head -n1)
    [ -n "$panel" ] || return 1
    xwininfo -children -id "$panel" 2>/dev/null >/dev/null || return 1
    local id
    for id in $(xdotool search --onlyvisible --classname '^tidra$' 2>/dev/null); do
        local x y w h
        read -r x y w h <<<"$(e2e_geometry "$id")" || continue
        # Docked icons are small and live in the panel at the top of the screen.
        if [ "$w" -le 64 ] && [ "$h" -le 64 ] && [ "$w" -gt 1 ] && [ "$y" -lt 40 ]; then
            echo "$id $x $y $w $h"
            return 0
        fi
    done
    return 1
}

e2e_wait_tray_icon() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) icon
    until icon=$(e2e_tray_icon); do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    echo "$icon"
}

e2e_click_tray_icon() {
    local icon
    icon=$(e2e_tray_icon) || e2e_fail "no tray icon to click"
    read -r _ x y w h <<<"$icon"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "$1"
}

# A pop-up menu: a visible override-redirect Tidra window bigger than the icon.
# With NAME, only a window of that name (the alarm pop-up is override-redirect too).
e2e_visible_menu() {
    local want=${1:-} id name geo x y w h
    for id in $(xdotool search --onlyvisible --classname '^tidra$' 2>/dev/null); do
        name=$(xdotool getwindowname "$id" 2>/dev/null)
        [ "$name" = "Tidra!!! Settings" ] && continue
        [ -n "$want" ] && [ "$name" != "$want" ] && continue
        geo=$(xwininfo -id "$id" 2>/dev/null) || continue
        grep -q 'Map State: IsViewable' <<<"$geo" || continue
        # Menus carry the override-redirect flag; dialogs do not.
        grep -q 'Override Redirect State: yes' <<<"$geo" || continue
        read -r x y w h <<<"$(_e2e_xywh <<<"$geo")" || continue
        [ "$w" -le 64 ] && [ "$h" -le 64 ] && continue
        echo "$id $x $y $w $h"
        return 0
    done
    return 1
}

e2e_press_key() {
    xdotool windowfocus --sync "$1" key "$2"
}

# Presses KEY in window WIN until the window goes away: a window that has just
# been mapped may not take keys yet on a busy machine.
e2e_dismiss() {
    local win=$1 key=${2:-Return}
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while xwininfo -id "$win" 2>/dev/null | grep -q 'Map State: IsViewable'; do
        [ $SECONDS -ge $deadline ] && return 1
        xdotool windowfocus --sync "$win" key "$key" 2>/dev/null
        local n=0
        while [ $n -lt 10 ] && xwininfo -id "$win" 2>/dev/null | grep -q 'Map State: IsViewable'; do
            sleep 0.1
            n=$((n + 1))
        done
    done
    return 0
}

e2e_screenshot() {
    import -window root "$E2E_TMP/shots/$1.png" 2>/dev/null
}

e2e_fail() {
    e2e_log "FAIL: $*"
    e2e_screenshot "failure" || true
    E2E_FAILED=1
    exit 1
}

e2e_check() {
    local desc=$1
    shift
    "$@" || e2e_fail "$desc"
    e2e_log "ok: $desc"
}

e2e_pass() {
    e2e_log "PASS"
    exit 0
}

# "X Y W H" out of xwininfo's report on standard input.
_e2e_xywh() {
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {if (w == "") exit 1; print x, y, w, h}'
}

e2e_geometry() { xwininfo -id "$1" 2>/dev/null | _e2e_xywh; }

e2e_click_at() {
    local win=$1 dx=$2 dy=$3 btn=${4:-1} x y w h
    read -r x y w h <<<"$(e2e_geometry "$win")" || return 1
    [ "$dx" -lt 0 ] && dx=$((w + dx))
    [ "$dy" -lt 0 ] && dy=$((h + dy))
    xdotool mousemove $((x + dx)) $((y + dy)) click "$btn"
}

e2e_tray_menu() {
    local menu
    menu=$(E2E_TIMEOUT=3 e2e_wait e2e_visible_menu && e2e_visible_menu) &&
        e2e_fail "a menu is open already: $menu"
    e2e_click_tray_icon "$1"
    E2E_TIMEOUT=5 e2e_wait e2e_visible_menu || return 1
    e2e_visible_menu
}

# Entries by their offset from the menu's top edge: the menus are plain
# QMenus, 22 pixels an entry, 2 more for a separator.
e2e_pick_main() {
    local dy
    case $1 in
    datetime) dy=10 ;; alarms) dy=32 ;; popups) dy=54 ;; timers) dy=76 ;; work) dy=100 ;;
    settings) dy=122 ;; about) dy=146 ;; quit) dy=170 ;;
    *) e2e_fail "no main menu entry $1" ;;
    esac
    local menu
    menu=$(e2e_tray_menu 3) || e2e_fail "no main menu on a right click"
    e2e_click_at "${menu%% *}" 40 "$dy"
}

e2e_pick_fast() {
    local dy
    case $1 in
    alarm) dy=11 ;; timer) dy=33 ;;
    *) e2e_fail "no fast-actions entry $1" ;;
    esac
    local menu
    menu=$(e2e_tray_menu 1) || e2e_fail "no fast-actions menu on a left click"
    e2e_click_at "${menu%% *}" 40 "$dy"
}

# Qt draws balloons of an XEmbed tray itself: an override-redirect window just
# below the icon, wider than any icon and without a menu's keyboard grab.
e2e_balloon() {
    local id x y w h
    for id in $(xdotool search --onlyvisible --classname '^tidra$' 2>/dev/null); do
        read -r x y w h <<<"$(e2e_geometry "$id")" || continue
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        [ "$w" -gt 180 ] && [ "$h" -gt 40 ] && [ "$h" -lt 120 ] && [ "$y" -lt 60 ] || continue
        echo "$id $x $y $w $h"
        return 0
    done
    return 1
}

e2e_close_balloon() {
    local b
    b=$(e2e_balloon) || return 0
    e2e_click_at "${b%% *}" 20 -15
    e2e_wait bash -c "! xwininfo -id ${b%% *} 2>/dev/null | grep -q IsViewable"
}

e2e_fake_clock() {
    local lib
    for lib in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
        [ -e "$lib" ] && E2E_FAKETIME_LIB=$lib && break
    done
    [ -n "${E2E_FAKETIME_LIB:-}" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"
    E2E_CLOCK_FILE=$E2E_TMP/faketime
    echo "+0" >"$E2E_CLOCK_FILE"
    _e2e_start_system_bus
    [ $# -gt 0 ] && e2e_set_clock "$1"
}

_e2e_start_system_bus() {
    # Debian's own interpreter: python3-dbus is installed for it, not for others on PATH.
    command -v dbus-daemon >/dev/null && /usr/bin/python3 -c 'import dbus' 2>/dev/null ||
        e2e_fail "a faked clock needs dbus-daemon and python3-dbus (scripts/install-deps.sh)"
    local socket=$E2E_TMP/system_bus
    dbus-daemon --session --nofork --address="unix:path=$socket" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait test -S "$socket" || e2e_fail "no private system bus"
    export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$socket"
}

# Tells the program the machine has just resumed, as logind would.
_e2e_announce_resume() {
    [ -n "${DBUS_SYSTEM_BUS_ADDRESS:-}" ] || return 0
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/announce_resume.py" "$DBUS_SYSTEM_BUS_ADDRESS" ||
        e2e_log "could not announce the resume"
}

e2e_set_clock() {
    local target
    target=$(date -d "$1" +%s) || e2e_fail "not a moment: $1"
    # An offset in seconds, signed: "+N" ahead of the real clock, "-N" behind it.
    local offset=$((target - $(date +%s)))
    [ "$offset" -ge 0 ] && offset="+$offset"
    echo "$offset" >"$E2E_CLOCK_FILE"
    E2E_CLOCK_SET=$target
    e2e_log "clock set to $(date -d "@$target" '+%a %F %T')"
    _e2e_announce_resume
}

e2e_start_audio() {
    command -v pulseaudio >/dev/null && command -v pactl >/dev/null ||
        { echo "SKIP: pulseaudio and pactl are not installed"; exit 77; }
    mkdir -p "$E2E_TMP/pulse"
    export PULSE_SERVER=unix:$E2E_TMP/pulse/native
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
        -L module-null-sink -L "module-native-protocol-unix socket=$E2E_TMP/pulse/native auth-anonymous=1" \
        >"$E2E_TMP/pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait pactl info || e2e_fail "the sound server did not start"
}

# Streams that are not corked (paused or stopped players may keep theirs).
e2e_sound_streams() { pactl list sink-inputs 2>/dev/null | grep -c 'Corked: no'; }

e2e_watch_opens() {
    python3 - "$1" "$2" <<'PY' &
import ctypes, os, struct, sys, time
libc = ctypes.CDLL(None, use_errno=True)
fd = libc.inotify_init()
IN_OPEN = 0x20
if fd < 0 or libc.inotify_add_watch(fd, sys.argv[1].encode(), IN_OPEN) < 0:
    sys.exit("inotify: cannot watch " + sys.argv[1])
open(sys.argv[2], "a").close()
while True:
    buf = os.read(fd, 4096)
    with open(sys.argv[2], "a") as log:
        for _ in range(len(buf) // 16):
            log.write("open %.1f\n" % time.time())
PY
    E2E_PIDS+=($!)
    e2e_wait test -e "$2" || e2e_fail "cannot watch $1"
}
