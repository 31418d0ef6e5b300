#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader finds, on the real accessibility bus: every control of
# the settings window, a pop-up, a timer and a work window has a name of its
# own; a pop-up says which alarm rings and what its message is, a timer or
# work window how much time is left.
source "$(dirname "$0")/lib.sh"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    { echo "SKIP: no AT-SPI (at-spi2-core, python3-pyatspi)"; exit 77; }
e2e_desktop accessible bus
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$launcher" --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
E2E_PIDS+=($!)
tree() { /usr/bin/python3 "$(dirname "$0")/accessible_tree.py" Tidra "$@"; }
e2e_conf '[tray]' showOnStartUp=false
e2e_fake_clock "2026-12-07 10:00:00"
e2e_start_in_tray

for page in datetime timers work settings about alarms; do
    e2e_command --show $page
    e2e_wait tree "Tidra!!! Settings" || e2e_fail "the settings window is not on the bus"
    e2e_check "every control of the $page page has a name" tree --unnamed "Tidra!!! Settings"
done

e2e_command --timer 10m Egg
timer_read() { tree Egg | grep -q ': 9 minutes'; }
e2e_check "a timer window speaks its time" e2e_wait timer_read
e2e_check "every work window has names" tree --unnamed "Time to"

e2e_command --alarm 10:05 Tea "Drink it while it is hot"
e2e_set_clock "2026-12-07 10:05:01"
popup_read() { tree "Alarm: Tea" | grep -qx 'dialog: Alarm: Tea | Drink it while it is hot'; }
e2e_check "a pop-up is named after its alarm and tells its message" e2e_wait popup_read
e2e_check "every control of the pop-up has a name" tree --unnamed "Alarm: "
e2e_command --quit
e2e_pass
