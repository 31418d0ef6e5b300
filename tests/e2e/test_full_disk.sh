#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A full disk under the data folder: a change in a window that cannot be saved
# is kept in memory and told in a balloon, the files on disk stay whole, Quit
# asks before throwing the change away, and with room again it is saved. Needs
# root for a small tmpfs. (Commands refused on a full disk: tst_events, tst_commandline.)
source "$(dirname "$0")/lib.sh"
[ "$(id -u)" = 0 ] || { echo "skipped: a full disk needs root to mount a tmpfs" >&2; exit 77; }
e2e_desktop full_disk
mkdir -p "$DATA"
mount -t tmpfs -o size=256k,mode=0700 tmpfs "$DATA" ||
    { echo "skipped: no tmpfs here" >&2; exit 77; }
trap 'st=$?; umount -l "$DATA"; (exit $st); e2e_cleanup' EXIT
for i in $(seq 150); do
    e2e_block Alarm "Alarm number $i" "1 2099 01 02 08 30 0 0 0 0 0 0 0 0 0 0 Text"
done >"$DATA/Alarms"
e2e_block Timer "Tea break" "1 2024 06 05 09 15 0 0 1 1 1 1 0 0 1 640 300" >"$DATA/Timers"
printf '%s\n' 400 600 500 600 600 600 700 600 >"$DATA/WorkTimers"
printf '%s\n' "New Year" 0 2099 01 01 2099 01 01 >"$DATA/WorkSchedule"
told="Tidra could not save your alarms: No space left on device. They are kept in memory"
fill_disk() { # and keeps a copy of the files as they were then
    cat /dev/zero >"$DATA/filler" 2>/dev/null
    ! echo x >>"$DATA/filler" 2>/dev/null && rm -rf "$E2E_TMP/full" && cp -r "$DATA" "$E2E_TMP/full"
}
told_times() { test "$(grep -cF "$told" "$E2E_TMP/tidra.log")" = "$1"; }
# A change only saves keep: whoever moves a countdown's window, its place is saved.
moved_tea() { xdotool windowmove --relative "$(e2e_wait_window '^Tea break$')" 40 0; }
saved_place() { grep -A18 -x 'Tea break' "$DATA/Timers" | sed -n '17p' | grep -qvx 640; }

e2e_start_in_tray
e2e_check "the disk can be filled" fill_disk
moved_tea
e2e_check "the failed save is told" e2e_wait told_times 1
e2e_check "in a balloon" e2e_wait e2e_balloon
e2e_check "the files on the full disk are whole, no temporary file beside" \
    diff -rq "$DATA" "$E2E_TMP/full"
e2e_menu 3 Up Return # Quit
box=$(e2e_wait_window '^Tidra$') || e2e_fail "Quit after a failed save does not ask"
e2e_check "Enter keeps the program running" e2e_dismiss "$box" Return
sleep 1
e2e_check "it runs on" kill -0 "$TIDRA_PID"
rm -f "$DATA/filler"
e2e_menu 3 Up Return
e2e_wait_exit "$TIDRA_PID" || e2e_fail "Quit with room again did not end the program"
e2e_check "Quit exits with 0, asking nothing" \
    test "$E2E_RC" = 0 -a -z "$(e2e_find_window '^Tidra$')"
e2e_check "the moved window is on disk" saved_place
e2e_check "no temporary file is left after Quit" test "$(ls -A "$DATA" | wc -l)" = 4
e2e_pass
