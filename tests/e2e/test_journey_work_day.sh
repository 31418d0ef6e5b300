#!/usr/bin/env bash
# A working week through the real widgets: an earlier start on Mondays typed
# into the timetable, a vacation entered in the holiday editor and its window
# switched on; then the four work windows show and hide as the (faked) day
# goes on, each at a place of its own.
source "$(dirname "$0")/lib.sh"
e2e_init journey_work_day
export TZ=Europe/Berlin
e2e_start_x 1280x800
e2e_start_tray
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
data=$HOME/.Tidra

# The work windows shown, in their fixed order, by short names.
shown() {
    local name list=()
    for name in "begin of lunch:lunch" "end of work:end" "holiday:holiday" "vacation:vacation"; do
        [ -n "$(e2e_find_window "^Time to ${name%%:*}\$")" ] && list+=("${name#*:}")
    done
    echo "${list[*]}"
}
showing() { [ "$(shown)" = "$1" ]; }
expect_shown() { # "names" description
    e2e_wait showing "$1" || e2e_fail "$2: shown [$(shown)], want [$1]"
    e2e_log "ok: $2: [$1]"
}
apart() { # no two shown work windows share a place
    local places
    places=$(for id in $(e2e_find_window '^Time to '); do e2e_geometry "$id" | cut -d' ' -f1-2; done)
    [ "$(sort <<<"$places" | uniq -d)" = "" ]
}

# A Monday, 6:30, a first start with the usual week: 9:00-18:00, lunch 13-14.
e2e_fake_clock "2026-12-07 06:30:00"
e2e_start_tidra
e2e_check "the tray icon appears" e2e_wait_tray_icon
main=$(e2e_wait_window '^Tidra!!! Settings$') || e2e_fail "no settings window on the first start"
E2E_TIMEOUT=5 e2e_wait e2e_balloon && e2e_close_balloon
expect_shown "holiday" "before work only the way to Saturday"

# --- Settings -> Work -> Schedule: Monday begins at 6:00 ---
e2e_pick_main settings
e2e_click_at "$main" 334 52 # "Work"
e2e_click_at "$main" 140 82 # "Schedule"
e2e_click_at "$main" 180 153 # hours of Monday's work begin
xdotool key Down Down Down
e2e_screenshot timetable
e2e_check "Monday's new begin is stored" e2e_wait grep -q '^MonWorkBeginTime=6:00$' "$conf"
expect_shown "lunch end holiday" "at 6:30 Monday's work has begun"

# --- Holidays: a vacation from 21 to 25 December ---
e2e_click_at "$main" 222 82 # "Holidays"
e2e_click_at "$main" 500 113 # the add button
editor=$(e2e_wait_window '^Holiday$') || e2e_fail "no holiday editor"
e2e_click_at "$editor" 123 30 # type
sleep 0.3
xdotool key Down Return # "Vacation"
wide() { [ "$(e2e_geometry "$editor" | cut -d' ' -f3)" -gt 230 ]; }
e2e_check "the editor shows the vacation fields" e2e_wait wide
e2e_click_at "$editor" 138 59 # the day of the start date
xdotool key --delay 30 --repeat 14 Up # 21 Dec
e2e_click_at "$editor" 178 117 # length in days
xdotool key ctrl+a type "4"
e2e_click_at "$editor" 183 145 # name
xdotool type --delay 20 "Ski"
e2e_screenshot vacation-editor
e2e_press_key "$editor" Return
e2e_check "the editor closes" e2e_wait e2e_window_gone '^Holiday$'
vacation_saved() { grep -A7 -x Ski "$data/WorkSchedule" | paste -sd' ' | grep -qx 'Ski 1 2026 21 12 2026 25 12'; }
e2e_check "the vacation is on disk, 21 to 25 December" e2e_wait vacation_saved
e2e_screenshot holidays

# --- Work schedule page: the vacation window on ---
e2e_pick_main work
e2e_click_at "$main" 108 155 # "Show time to start of vacation"
e2e_check "the choice is stored" e2e_wait grep -q '^TimeToVacation=true$' "$conf"
expect_shown "lunch end holiday vacation" "all four in the morning"
e2e_check "the four windows do not pile up" apart
e2e_press_key "$main" Escape
e2e_screenshot morning

# --- the day goes on ---
e2e_set_clock "2026-12-07 13:30:00"
expect_shown "end holiday vacation" "at lunch"
e2e_screenshot lunch
e2e_set_clock "2026-12-07 19:00:00"
expect_shown "holiday vacation" "after work"
e2e_set_clock "2026-12-12 10:00:00"
expect_shown "vacation" "on Saturday, a day off"
e2e_set_clock "2026-12-22 10:00:00"
expect_shown "lunch end holiday" "during the vacation, none after it"
e2e_check "the windows still do not pile up" apart
e2e_screenshot in-vacation
e2e_pass
