#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Commands come back, with the truth. A command that has to start Tidra starts
# it detached (its own session, no terminal, nothing a shell waits for) and
# returns as soon as Tidra has taken it; a timeout that kills the command
# leaves Tidra and its alarm alone.
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
e2e_adopt
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
e2e_adopt
e2e_check "and the timer runs" listed timer Egg

# A second plain start hands over and returns; it opens no box a terminal waits behind.
timeout 5 "$TIDRA_BIN" >"$E2E_TMP/second.out" 2>&1
rc=$?
e2e_check "a second plain start exits 0 at once" test "$rc" = 0
e2e_check "saying Tidra runs already" grep -q 'runs already' "$E2E_TMP/second.out"
e2e_check "and the first one runs on" alive
e2e_command --quit

# No display: what needs none works; what needs one says why in one line, exit 2.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$TIDRA_BIN" "$@"; }
nodisplay --list >/dev/null 2>&1
e2e_check "--list without a display and without Tidra: 3" test $? = 3
for args in "" "--alarm +5m X"; do
    # shellcheck disable=SC2086 # the words are the arguments
    nodisplay $args >"$E2E_TMP/nodisplay.out" 2>&1
    rc=$?
    e2e_check "'tidra $args' without a display exits 2" test "$rc" = 2
    e2e_check "with one line naming the display" \
        test "$(grep -c DISPLAY "$E2E_TMP/nodisplay.out")/$(wc -l <"$E2E_TMP/nodisplay.out")" = 1/1
done
e2e_check "and starts nothing" gone
german=$(LC_ALL=de_DE.UTF-8 "$TIDRA_BIN" --bogus 2>&1)
e2e_check "a wrong command line is told in the user's language" \
    grep -q '^Aufruf: tidra ' <<<"$german"

e2e_pass
