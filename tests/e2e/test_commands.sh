#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Commands come back, with the truth. A command that has to start Tidra starts
# it detached (its own session, no terminal, nothing a shell waits for) and
# returns as soon as Tidra has taken it; a timeout that kills the command
# leaves Tidra and its alarm alone. --quit on a full disk says so within
# seconds and Tidra runs on; with room again it says 0 and Tidra is gone.
source "$(dirname "$0")/lib.sh"
e2e_init commands
e2e_start_x
e2e_start_tray
mkdir -p "$DATA"
e2e_conf '[tray]' showOnStartUp=false
lock=$XDG_RUNTIME_DIR/Tidra.lock
instance() { cat "$lock" 2>/dev/null; }
ms() { date +%s%3N; }
alive() { [ -n "$(instance)" ] && kill -0 "$(instance)" 2>/dev/null; }
gone() { ! alive; }
# The started Tidra is no child of ours: the cleanup must know it.
adopt() { e2e_wait alive || e2e_fail "no Tidra runs"; E2E_PIDS+=("$(instance)"); }
detached() {
    local pid=$1 fd
    [ "$(ps -o sid= -p "$pid")" != "$(ps -o sid= -p $$)" ] || return 1
    for fd in 0 1 2; do [ "$(readlink "/proc/$pid/fd/$fd")" = /dev/null ] || return 1; done
}
listed() { e2e_command --list; grep -qP "^$1\t$2\t" <<<"$E2E_OUT"; }

start=$(ms)
timeout 10 "$TIDRA_BIN" --alarm +5m X >"$E2E_TMP/first.out" 2>&1
rc=$? took=$(($(ms) - start))
e2e_log "the first command took $took ms"
e2e_check "a command with no Tidra running exits 0" test "$rc" = 0
e2e_check "within a second" test "$took" -lt 1000
e2e_check "saying what it did" grep -q '^Alarm "X" is set for' "$E2E_TMP/first.out"
adopt
e2e_check "Tidra runs on after the command" alive
e2e_check "detached: its own session, its streams on /dev/null" detached "$(instance)"
e2e_check "with the alarm" listed alarm X
e2e_command --quit
e2e_check "--quit says 0" test "$E2E_RC" = 0
e2e_check "and Tidra is gone" gone

out=$(timeout 10 "$TIDRA_BIN" --timer 1m Egg)
rc=$?
e2e_check "\$(tidra --timer ...) returns with 0" test "$rc" = 0
e2e_check "with the reply" grep -q '^Timer "Egg" counts down to' <<<"$out"
adopt
e2e_check "and the timer runs" listed timer Egg

if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=256k,mode=0700 tmpfs "$DATA"; then
    trap 'st=$?; umount -l "$DATA"; (exit $st); e2e_cleanup' EXIT
    e2e_command --quit
    e2e_check "Tidra quits for the mount" test "$E2E_RC" = 0
    e2e_check "and is gone" e2e_wait gone
    timeout 10 "$TIDRA_BIN" --timer 1h Tea >/dev/null || e2e_fail "no start on the small disk"
    adopt
    cat /dev/zero >"$DATA/filler" 2>/dev/null
    echo x >>"$DATA/filler" 2>/dev/null && e2e_fail "the disk is not full"
    tea=$(e2e_wait_window '^Tea$') && e2e_drag_by "$tea" -40 0 # a change only a save keeps
    e2e_check "the failed save is told in a balloon" e2e_wait e2e_balloon
    start=$(ms)
    timeout 10 "$TIDRA_BIN" --quit >"$E2E_TMP/quit.out" 2>"$E2E_TMP/quit.err"
    rc=$? took=$(($(ms) - start))
    e2e_check "--quit on a full disk answers 1" test "$rc" = 1
    e2e_check "within a few seconds" test "$took" -lt 5000
    e2e_check "with the reason" grep -q 'No space left on device' "$E2E_TMP/quit.err"
    sleep 1
    e2e_check "and Tidra runs on" alive
    rm -f "$DATA/filler"
    e2e_command --quit
    e2e_check "with room again --quit says 0" test "$E2E_RC" = 0
    e2e_check "and Tidra is gone" gone
    e2e_check "with its timer on disk" grep -qx Tea "$DATA/Timers"
else
    e2e_log "skipped the full disk: it needs root to mount a tmpfs"
fi
e2e_pass
