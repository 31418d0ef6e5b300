#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Alarms in the desktop's notification area: as balloons, one notification each
# with the alarm's name, message, icon, urgency and display time, whose "Remind
# in 5 minutes" and "Edit" do what the pop-up's menu does; as a copy of the
# pop-up, one that goes when the pop-up is closed. Runs on a private session bus
# with a stand-in notification server.
source "$(dirname "$0")/lib.sh"
: "${TIDRA_BUILD_DIR:?}"
host=${TIDRA_SNI_HOST:-$TIDRA_BUILD_DIR/tests/tidra_sni_host}
for tool in dbus-run-session gdbus; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
[ -x "$host" ] || { echo "SKIP: no notification server stand-in (Qt D-Bus missing)"; exit 77; }
if [ -z "${TIDRA_DBUS_SESSION:-}" ]; then
  exec env TIDRA_DBUS_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi

bus=$DBUS_SESSION_BUS_ADDRESS
e2e_init notifications
export DBUS_SESSION_BUS_ADDRESS=$bus XDG_CURRENT_DESKTOP= TZ=Europe/Berlin
e2e_start_x
conf=$XDG_CONFIG_HOME/Morvane/Tidra.conf
mkdir -p "$XDG_CONFIG_HOME/Morvane"
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayBaloon=true\nDisplayTime=30\nPlaySound=false\n' >"$conf"

log=$E2E_TMP/host.log
: >"$log"
"$host" "$log" >"$E2E_TMP/host-out.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait grep -q '^ready' "$log" || e2e_fail "the stand-in server did not start"

e2e_fake_clock "2026-12-07 10:00:20"
e2e_start_tidra
e2e_wait grep -q '^item' "$log" || e2e_fail "Tidra did not start"
e2e_command --alarm +1m Tea "Drink it"
e2e_command --alarm +2m Soup

notified() { grep -P "^notify\tTidra\t$1\t" "$log"; }
# The id the server gave the notification of an alarm (fields: notify, app,
# summary, body, icon, expiry, actions, hints, id).
id_of() { notified "$1" | awk -F'\t' '{ print $9; exit }'; }
act() { # id action, as a click in the notification area
  gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications \
    -m org.freedesktop.Notifications.Act "$1" "$2" >/dev/null || e2e_fail "cannot act on $1"
}

# --- a balloon alarm: one notification with every field ---
e2e_set_clock "2026-12-07 10:01:02"
E2E_TIMEOUT=20 e2e_wait notified Tea || e2e_fail "no notification for the alarm"
sleep 1.5 # more ticks: still one
[ "$(notified Tea | wc -l)" = 1 ] || e2e_fail "more than one notification: $(notified Tea)"
id=$(id_of Tea)
want=$'notify\tTidra\tTea\tDrink it\torg.morvane.Tidra\t30000\tremind-5-minutes|Remind in 5 minutes|edit|Edit\tdesktop-entry=org.morvane.Tidra;urgency=2\t'$id
got=$(notified Tea)
[ "$got" = "$want" ] || e2e_fail "the notification is [$got], want [$want]"
e2e_check "no pop-up in balloon mode" e2e_window_gone '^Alarm$'
e2e_check "no tray balloon beside it" bash -c '! grep -q "^notify.*Alarm: Tea" "$0"' "$log"

# --- "Remind in 5 minutes": the alarm comes back five minutes later ---
act "$id" remind-5-minutes
reminded() { e2e_command --list; grep -qP '^alarm\tTea\t2026-12-07 10:06\t' <<<"$E2E_OUT"; }
e2e_check "the reminder is set for 10:06" e2e_wait reminded

# --- "Edit" opens the alarm's editor ---
e2e_set_clock "2026-12-07 10:02:02"
E2E_TIMEOUT=20 e2e_wait notified Soup || e2e_fail "no notification for the second alarm"
soup=$(id_of Soup)
[ "$soup" != "$id" ] || e2e_fail "both alarms got notification $id"
act "$soup" edit
editor=$(e2e_wait_window '^Alarm$') || e2e_fail "Edit did not open the editor"
e2e_screenshot editor-from-notification
e2e_dismiss "$editor" Escape || e2e_fail "the editor does not close"

e2e_set_clock "2026-12-07 10:06:10"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "the reminder did not come back"
e2e_screenshot reminder
e2e_dismiss "$popup" Escape
e2e_command --quit

# --- a copy of the pop-up goes when the pop-up is closed ---
printf '[tray]\nshowOnStartUp=false\n[alarms]\nDisplayBaloon=false\nAlsoNotify=true\nDisplayTime=30\nPlaySound=false\n' >"$conf"
e2e_start_tidra --alarm +1m Copy
e2e_wait grep -q 'Copy' "$HOME/.Tidra/Alarms" || e2e_fail "no alarm from the command that started Tidra"
e2e_set_clock "2026-12-07 10:07:10"
popup=$(E2E_TIMEOUT=20 e2e_wait_window '^Alarm$') || e2e_fail "no pop-up with a copy in the notification area"
e2e_wait notified Copy || e2e_fail "the pop-up has no copy in the notification area"
copy=$(id_of Copy)
e2e_dismiss "$popup" Escape
e2e_check "closing the pop-up takes its copy away" e2e_wait grep -qx "close	$copy" "$log"
e2e_pass
