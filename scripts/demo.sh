#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of Tidra at work: the program runs on a private X server with a
# tray host, in a throw-away home filled with sample alarms, timers, holidays
# and a vacation, on a faked Wednesday morning just before an alarm is due.
#
#   scripts/demo.sh [OUTPUT-DIR]      (default docs/screenshots; `make demo`)
#
# Writes desktop-<skin>.png for every digit skin (the desktop with the fired
# alarm pop-up, timers and work windows), page-<n>-<name>.png for the main
# window's six pages and tray-main-menu.png / tray-fast-menu.png; the desktop
# and the pages again in a dark theme (dark-*.png) and in German (de-*.png).
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/docs/screenshots}" && cd "${1:-$here/docs/screenshots}" && pwd)
export TIDRA_BIN=${TIDRA_BIN:-$here/build/tidra}
export TIDRA_BUILD_DIR=${TIDRA_BUILD_DIR:-$(dirname "$TIDRA_BIN")}
[ -x "$TIDRA_BIN" ] || { echo "no program at $TIDRA_BIN (make build)" >&2; exit 1; }

# shellcheck source=../tests/e2e/lib.sh
source "$here/tests/e2e/lib.sh"
e2e_init demo

faketime_lib=""
for f in /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1; do
    [ -e "$f" ] && faketime_lib=$f && break
done
[ -n "$faketime_lib" ] || e2e_fail "libfaketime is missing (apt-get install faketime)"

# Ten seconds before the "Stand-up" alarm on a working Wednesday.
start_time="2026-12-09 10:29:50"

alarm() { # name enabled yyyy dd MM hh mm range mode sun..sat(7) measure message
    printf 'Alarm\n'
    printf '%s\n' "$@"
    printf 'Alarm end\n'
}
timer() { # name type yyyy dd MM hh mm continue format msec sec min hour day week visible x y
    printf 'Timer\n'
    printf '%s\n' "$@"
    printf 'Timer end\n'
}

# A fresh home for one run; the program rewrites its files when it quits.
prepare() { # skin
    rm -rf "$HOME/.Tidra" "$XDG_CONFIG_HOME/Morvane"
    mkdir -p "$HOME/.Tidra" "$XDG_CONFIG_HOME/Morvane"
    cat >"$XDG_CONFIG_HOME/Morvane/Tidra.conf" <<CONF
[tray]
showOnStartUp=false

[alarms]
DisplayTime=600
PlaySound=false

[timers]
DefaultSkin=$1
PlaySound=false

[work]
TimeToVacation=true
CONF
    {
        alarm "Stand-up" 1 2026 09 12 10 30 0 0 0 0 0 0 0 0 0 0 "Stand-up in room 4: bring the notes"
        alarm "Morning call" 1 2026 10 12 07 30 1 2 0 1 1 1 1 1 0 2 "Get up and go"
        alarm "Pay the rent" 1 2027 01 01 09 00 1 1 0 0 0 0 0 0 0 4 "Rent is due today"
        alarm "Dentist" 0 2026 18 12 16 15 0 0 0 0 0 0 0 0 0 0 "Dr. Brenner, 2nd floor"
    } >"$HOME/.Tidra/Alarms"
    {
        # A countdown in the short format, a stopwatch in the full one and a
        # countdown with its own choice of units.
        timer "Tea break" 0 2026 09 12 10 45 0 0 0 1 1 1 0 0 1 170 120
        timer "Project Kestrel" 1 2026 01 12 09 00 0 1 0 1 1 1 1 1 1 200 250
        timer "Release" 0 2026 24 12 18 00 0 2 0 0 1 1 1 0 1 200 380
    } >"$HOME/.Tidra/Timers"
    printf '%s\n' 1080 120 1080 220 1080 320 1080 420 >"$HOME/.Tidra/WorkTimers"
    printf '%s\n' \
        "Christmas" 0 2026 25 12 2026 26 12 \
        "New Year" 0 2027 01 01 2027 01 01 \
        "Winter trip" 1 2027 08 02 2027 19 02 >"$HOME/.Tidra/WorkSchedule"
}

start() {
    export LD_PRELOAD="$faketime_lib" FAKETIME="@$start_time" FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
    e2e_start_tidra
    unset LD_PRELOAD FAKETIME FAKETIME_DONT_FAKE_MONOTONIC NO_FAKE_STAT
    e2e_wait_tray_icon >/dev/null || e2e_fail "no tray icon"
}

# Lets the windows finish painting before a picture is taken.
settle() { sleep 0.7; }

shot_root() { import -window root "$out/$1.png" 2>/dev/null || e2e_fail "no screenshot $1"; }

# An open tray menu (named after the program, unlike the alarm pop-up).
tray_menu() { e2e_visible_menu Tidra; }

# The area of an open menu with some room around it.
shot_menu() { # name
    local menu
    menu=$(E2E_TIMEOUT=5 e2e_wait tray_menu && tray_menu) || e2e_fail "no menu for $1"
    settle
    read -r _ x y w h <<<"$menu"
    local left=$((x - 40 < 0 ? 0 : x - 40))
    import -window root -crop "$((w + 80))x$((y + h + 20))+$left+0" +repage "$out/$1.png" 2>/dev/null ||
        e2e_fail "no screenshot $1"
}

close_menu() {
    xdotool key Escape
    e2e_wait no_menu || true
}

no_menu() { ! tray_menu; }

# Picks entry N (1 = first) of the tray's main menu.
main_menu_entry() {
    e2e_click_tray_icon 3
    E2E_TIMEOUT=5 e2e_wait tray_menu || e2e_fail "no main menu"
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
}

quit() {
    e2e_click_tray_icon 3
    E2E_TIMEOUT=5 e2e_wait tray_menu || e2e_fail "no main menu to quit from"
    xdotool key Up Return # the last entry: Quit
    e2e_wait_exit "$TIDRA_PID" 20 || e2e_fail "Quit did not end the program"
}

e2e_start_x 1280x800
e2e_start_tray

# The six pages of the main window, as PREFIX-page-<n>-<name>.png.
shoot_pages() { # prefix
    local n=0 entry page win
    # Entry 3, "Show alarm pop-ups", is offered while the pop-up shows.
    for entry in 1:date-time 2:alarms 4:timers 5:work-schedule 6:settings 7:about; do
        n=$((n + 1))
        page=${entry#*:}
        main_menu_entry "${entry%%:*}"
        win=$(e2e_wait_window "$main_title") || e2e_fail "no main window for $page"
        settle
        import -window "$win" "$out/$1page-$n-$page.png" 2>/dev/null || e2e_fail "no screenshot $page"
    done
}

# One run: the desktop once the alarm has fired; with a prefix, the pages too.
run() { # skin prefix
    prepare "$1"
    start
    E2E_TIMEOUT=40 e2e_wait_window "$popup_title" >/dev/null || e2e_fail "the alarm did not fire"
    settle
    shot_root "${2}desktop-$1"
    e2e_log "desktop with the $1 skin${2:+ ($2)}"
    [ -n "$2" ] && shoot_pages "$2"
    quit
}

main_title='^Tidra!!! (Settings|Einstellungen)$'
popup_title='^(Alarm|Wecker)$'

first=1
for skin in $(cd "$TIDRA_BUILD_DIR/skins" && ls -- *.so | sed 's/\.so$//'); do
    if [ $first = 1 ]; then
        first=0
        prepare "$skin"
        start
        E2E_TIMEOUT=40 e2e_wait_window "$popup_title" >/dev/null || e2e_fail "the alarm did not fire"
        settle
        shot_root "desktop-$skin"
        e2e_click_tray_icon 3
        shot_menu tray-main-menu
        close_menu
        e2e_click_tray_icon 1
        shot_menu tray-fast-menu
        close_menu
        shoot_pages ""
        e2e_log "desktop with the $skin skin, main window pages and tray menus"
        quit
    else
        run "$skin" ""
    fi
done

# A dark desktop theme, as the qt6ct theme tool gives one (Debian: qt6ct).
if [ -d /usr/share/qt6ct/colors ]; then
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    cat >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<CONF
[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
CONF
    QT_QPA_PLATFORMTHEME=qt6ct run classic dark-
else
    e2e_log "no dark screenshots: qt6ct is missing (apt-get install qt6ct)"
fi

# German.
LANG=de_DE.UTF-8 LANGUAGE=de LC_ALL=de_DE.UTF-8 run classic de-

e2e_log "screenshots in $out"
e2e_pass
