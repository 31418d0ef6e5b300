# SPDX-License-Identifier: GPL-3.0-or-later
# Prepared data for the measurement scripts: a HOME holding settings and
# event files for one workload. Sourced by measure.sh and callgrind_ticks.sh.
#
#   prepare HOME ALARMS TIMERS full|short VACATION-WINDOW(true|false)

# Fake "now" for every scenario: a Wednesday mid-morning (work windows on)
# or a Saturday (work windows off).
weekday="2026-12-09 10:30:00"
weekend="2026-12-12 10:30:00"

alarm_block() { # name year day month
    printf 'Alarm\n%s\n1\n%s\n%s\n%s\n07\n30\n1\n0\n0\n0\n0\n0\n0\n0\n0\n0\nmeasure\nAlarm end\n' "$@"
}
timer_block() { # name type year day month hour min format visible x y
    printf 'Timer\n%s\n%s\n%s\n%s\n%s\n%s\n%s\n0\n%s\n1\n1\n1\n1\n0\n0\n%s\n%s\n%s\nTimer end\n' "$@"
}

prepare() { # home alarms timers timer-kind(full|short) vacation-window(true|false)
    local home=$1 na=$2 nt=$3 kind=$4 vacation=$5 i
    mkdir -p "$home/.Tidra" "$home/.config/Morvane" "$home/.config/autostart" "$home/run"
    chmod 700 "$home/run"
    printf '[tray]\nshowOnStartUp=false\n[work]\nTimeToVacation=%s\n' "$vacation" >"$home/.config/Morvane/Tidra.conf"
    : >"$home/.Tidra/Alarms"
    for ((i = 0; i < na; i++)); do alarm_block "alarm $i" 2030 15 06 >>"$home/.Tidra/Alarms"; done
    : >"$home/.Tidra/Timers"
    for ((i = 0; i < nt; i++)); do
        local x=$((100 + (i % 10) * 170)) y=$((80 + (i / 10 % 10) * 90))
        if [ "$kind" = short ]; then # countdown ending 40 minutes after the faked start
            timer_block "timer $i" 0 2026 09 12 11 10 0 1 $x $y >>"$home/.Tidra/Timers"
        else # stopwatch started the day before, Full format
            timer_block "watch $i" 1 2026 08 12 09 00 1 1 $x $y >>"$home/.Tidra/Timers"
        fi
    done
    printf '300\n300\n300\n400\n300\n500\n300\n600\n' >"$home/.Tidra/WorkTimers"
    printf 'Summer\n1\n2027\n01\n07\n2027\n14\n07\n' >"$home/.Tidra/WorkSchedule"
}
