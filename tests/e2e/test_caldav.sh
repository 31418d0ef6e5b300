#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two Tidras, two homes, one calendar on a real Radicale: an alarm added in
# one reaches the other, an edit comes back, a deletion goes across, and a
# change made while the server is down is kept and goes out once it is back.
# The password is in a real secret service (gnome-keyring), never in a file.
for tool in gnome-keyring-daemon secret-tool dbus-run-session curl; do
    command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
/usr/bin/python3 -c 'import radicale' 2>/dev/null || { echo "SKIP: no radicale"; exit 77; }
[ -n "${TIDRA_DBUS_SESSION:-}" ] || exec env TIDRA_DBUS_SESSION=1 dbus-run-session -- bash "$0"
bus=$DBUS_SESSION_BUS_ADDRESS
source "$(dirname "$0")/lib.sh"
e2e_init caldav
export DBUS_SESSION_BUS_ADDRESS=$bus
e2e_start_x
e2e_start_tray

# The secret service, unlocked, in this test's home; a service the bus starts
# by itself gets that home too, never the real one.
dbus-update-activation-environment HOME XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME \
    XDG_CACHE_HOME || e2e_fail "the bus keeps the real home"
printf '%s' keyring-pw | gnome-keyring-daemon --foreground --unlock --components=secrets \
    >"$E2E_TMP/keyring.log" 2>&1 &
E2E_PIDS+=($!)
user=alice password='s3cret pw'
has_secrets() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.freedesktop.secrets | grep -q true
}
e2e_wait has_secrets ||
    e2e_fail "the secret service did not start"

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0));
print(s.getsockname()[1])')
url=http://127.0.0.1:$port
mkdir -p "$E2E_TMP/radicale"
printf '%s:%s\n' "$user" "$password" >"$E2E_TMP/radicale/users"
cat >"$E2E_TMP/radicale/config" <<EOF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $E2E_TMP/radicale/users
htpasswd_encryption = plain
[rights]
type = owner_only
[storage]
filesystem_folder = $E2E_TMP/radicale/store
EOF
start_radicale() {
    /usr/bin/python3 -m radicale --config "$E2E_TMP/radicale/config" \
        >>"$E2E_TMP/radicale.log" 2>&1 &
    RADICALE_PID=$!
    E2E_PIDS+=($RADICALE_PID)
    e2e_wait curl -sf -u "$user:$password" "$url/.web/" || e2e_fail "Radicale did not start"
}
start_radicale
curl -sf -u "$user:$password" -X MKCALENDAR "$url/$user/tidra/" >/dev/null ||
    e2e_fail "no calendar made"
# Stored as Tidra's keychain stores it; both homes share the session's keyring.
printf '%s' "$password" | secret-tool store --label="Tidra CalDAV" xdg:schema org.qt.keychain \
    user "caldav:$user@127.0.0.1" server Tidra type plaintext ||
    e2e_fail "the password could not be stored"

# Each Tidra in its own home; `on A cmd...` runs a command in A's.
for side in A B; do
    home=$E2E_TMP/$side
    mkdir -p "$home/.config/Morvane" "$home/.Tidra" "$home/run"
    chmod 700 "$home/run"
    printf '%s\n' '[tray]' showOnStartUp=false '[calendars]' "SyncServer=$url/" \
        "SyncUser=$user" "SyncCalendar=$url/$user/tidra/" >"$home/.config/Morvane/Tidra.conf"
done
on() {
    local home=$E2E_TMP/$1
    shift
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run "$@"
}
sync_ok() { on "$1" e2e_command --sync && [ "$E2E_RC" = 0 ]; }
listed() { on "$1" e2e_command --list && grep -qP "^alarm\t$2\t" <<<"$E2E_OUT"; }
unlisted() { ! listed "$@"; }

for side in A B; do
    on $side e2e_start_tidra --alarm +3h "Warmup${side#A}"
    sync_ok $side || e2e_fail "the first sync of $side failed: $E2E_ERR"
done
e2e_check "a sync says when it was" grep -q 'Last sync' <<<"$E2E_OUT"
sync_ok A
e2e_check "A has B's first alarm" listed A WarmupB
e2e_check "kept once, not twice" test "$(grep -c WarmupB <<<"$E2E_OUT")" = 1
e2e_check "and A's own" listed A Warmup

on A e2e_command --alarm +2h Dentist "Bring the card"
sync_ok A || e2e_fail "A could not send: $E2E_ERR"
sync_ok B
e2e_check "an alarm added in A is in B" listed B Dentist
e2e_check "the password is in no file" bash -c "! grep -rq '$password' '$E2E_TMP/A' '$E2E_TMP/B'"

# Edits made while Tidra is not running are found at its next start.
restart() {
    on "$1" e2e_command --quit
    [ "$E2E_RC" = 0 ] || e2e_fail "$1 did not quit"
    grep -q "$2" "$E2E_TMP/$1/.Tidra/Alarms" || e2e_fail "nothing to edit in $1"
    sed -i "$3" "$E2E_TMP/$1/.Tidra/Alarms"
    on "$1" e2e_start_tidra
    on "$1" e2e_wait "$TIDRA_BIN" --list || e2e_fail "$1 did not start again"
}
restart B '^Dentist$' 's/^Dentist$/Dentist at nine/'
sync_ok B || e2e_fail "B could not send its edit: $E2E_ERR"
sync_ok A
e2e_check "an edit in B reaches A" listed A 'Dentist at nine'
e2e_check "in place of the old alarm" unlisted A Dentist

# A deletion in A: the alarm's block goes from the file.
restart A '^Warmup$' '/^Alarm$/{N;/\nWarmup$/{:a;N;/\nAlarm end$/!ba;d}}'
listed A Warmup && e2e_fail "the alarm was not deleted in A"
sync_ok A || e2e_fail "A could not send its deletion: $E2E_ERR"
sync_ok B
e2e_check "a deletion in A reaches B" unlisted B Warmup

# Radicale dies in the middle of a sync that carries A's change: the change
# stays, waits while the server is away, and goes out once it is back.
on A e2e_command --alarm +4h Offline
kill -STOP "$RADICALE_PID"
on A "$TIDRA_BIN" --sync >"$E2E_TMP/mid.out" 2>&1 &
mid=$!
asking() { ss -tnH state established "( sport = :$port )" | grep -q .; }
e2e_wait asking || e2e_fail "the sync did not reach the server"
kill -KILL "$RADICALE_PID"
e2e_wait_exit "$mid" 60 || e2e_fail "the sync did not come back"
e2e_check "a sync cut off fails" test "$E2E_RC" = 1
e2e_check "and says so in words" grep -q 'does not answer' "$E2E_TMP/mid.out"
on A e2e_command --sync
e2e_check "so does one without a server" grep -q 'does not answer' <<<"$E2E_ERR"
e2e_check "the alarm is still there" listed A Offline
start_radicale
sync_ok A || e2e_fail "A could not send after the server came back: $E2E_ERR"
sync_ok B
e2e_check "the change made offline arrived" listed B Offline

e2e_pass
