# SPDX-License-Identifier: GPL-3.0-or-later
# A CalDAV world for a test or a measurement: a secret service, Radicale and
# homes of Tidras that sync with it. Sourced after lib.sh, from a script that
# called caldav_session first (before e2e_init).
#
#   caldav_session             skips (77) without the tools; reruns the script
#                              under dbus-run-session (CALDAV_BUS: its bus)
#   caldav_world               after e2e_init: gnome-keyring unlocked in this
#                              home, Radicale on a free port (url, user,
#                              password, RADICALE_PID), calendar $user/tidra/,
#                              the password stored as Tidra's keychain does;
#                              with CALDAV_TLS=1 over https, its certificate
#                              its own authority, in $CALDAV_CA
#   caldav_start_radicale      (again, after it was stopped)
#   caldav_home SIDE [URL]     a home for Tidra SIDE, set up to sync with URL
#   on SIDE CMD...             runs CMD in SIDE's home
#   caldav_restart SIDE CMD... quits Tidra SIDE, runs CMD (an edit of its files)
#                              and starts it again

caldav_session() {
    local tool
    for tool in gnome-keyring-daemon secret-tool dbus-run-session curl openssl; do
        command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
    done
    /usr/bin/python3 -c 'import radicale' 2>/dev/null || { echo "SKIP: no radicale"; exit 77; }
    [ -n "${TIDRA_DBUS_SESSION:-}" ] ||
        exec env TIDRA_DBUS_SESSION=1 dbus-run-session -- bash "$0" "$@"
    CALDAV_BUS=$DBUS_SESSION_BUS_ADDRESS
}

_caldav_has_secrets() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.freedesktop.secrets | grep -q true
}

caldav_world() {
    export DBUS_SESSION_BUS_ADDRESS=$CALDAV_BUS
    # A service the bus starts by itself gets this home too, never the real one.
    dbus-update-activation-environment HOME XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME \
        XDG_CACHE_HOME || e2e_fail "the bus keeps the real home"
    printf '%s' keyring-pw | gnome-keyring-daemon --foreground --unlock --components=secrets \
        >"$E2E_TMP/keyring.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait _caldav_has_secrets || e2e_fail "the secret service did not start"

    user=alice password='s3cret pw'
    port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0));
print(s.getsockname()[1])')
    url=http://127.0.0.1:$port
    mkdir -p "$E2E_TMP/radicale"
    local tls=()
    if [ -n "${CALDAV_TLS:-}" ]; then
        _caldav_certificates "$E2E_TMP/tls"
        url=https://127.0.0.1:$port
        tls=(ssl=True "certificate = $E2E_TMP/tls/server.pem" "key = $E2E_TMP/tls/server.key")
    fi
    printf '%s:%s\n' "$user" "$password" >"$E2E_TMP/radicale/users"
    printf '%s\n' '[server]' "hosts = 127.0.0.1:$port" "${tls[@]}" '[auth]' 'type = htpasswd' \
        "htpasswd_filename = $E2E_TMP/radicale/users" 'htpasswd_encryption = plain' \
        '[rights]' 'type = owner_only' '[storage]' \
        "filesystem_folder = $E2E_TMP/radicale/store" >"$E2E_TMP/radicale/config"
    caldav_start_radicale
    _caldav_curl -X MKCALENDAR "$url/$user/tidra/" >/dev/null ||
        e2e_fail "no calendar made"
    # Every home shares the session's keyring.
    printf '%s' "$password" |
        secret-tool store --label="Tidra CalDAV" xdg:schema org.qt.keychain \
            user "caldav:$user@127.0.0.1" server Tidra type plaintext ||
        e2e_fail "the password could not be stored"
}

_caldav_curl() { curl -sf ${CALDAV_CA:+--cacert "$CALDAV_CA"} -u "$user:$password" "$@"; }

# A certificate for 127.0.0.1 that is its own authority, as a home server's is.
_caldav_certificates() {
    mkdir -p "$1" && openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1/server.key" \
        -out "$1/server.pem" -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
        2>/dev/null || e2e_fail "no test certificate"
    CALDAV_CA=$1/server.pem
}

caldav_start_radicale() {
    /usr/bin/python3 -m radicale --config "$E2E_TMP/radicale/config" \
        >>"$E2E_TMP/radicale.log" 2>&1 &
    RADICALE_PID=$!
    E2E_PIDS+=($RADICALE_PID)
    e2e_wait _caldav_curl "$url/.web/" || e2e_fail "Radicale did not start"
}

caldav_home() {
    local home=$E2E_TMP/$1 server=${2:-$url}
    mkdir -p "$home/.config/Morvane" "$home/.Tidra" "$home/run"
    chmod 700 "$home/run"
    printf '%s\n' '[tray]' showOnStartUp=false '[calendars]' "SyncServer=$server/" \
        "SyncUser=$user" "SyncCalendar=$server/$user/tidra/" >"$home/.config/Morvane/Tidra.conf"
}

on() {
    local home=$E2E_TMP/$1
    shift
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/run "$@"
}

caldav_restart() {
    on "$1" e2e_command --quit
    [ "$E2E_RC" = 0 ] || e2e_fail "$1 did not quit"
    "${@:2}" || e2e_fail "could not change the files of $1"
    on "$1" e2e_start_tidra
    on "$1" e2e_wait "$TIDRA_BIN" --list || e2e_fail "$1 did not start again"
}
