#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two Tidras, two homes, one calendar on a real Radicale: an alarm added in
# one reaches the other, an edit comes back, a deletion goes across, and a
# change made while the server is down is kept and goes out once it is back.
# The password is in a real secret service (gnome-keyring), never in a file. A
# calendar subscribed to rings, read-only. TLS is verified: a certificate from
# a CA Tidra does not know is refused in words, until a file of authorities in
# the settings trusts it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/caldav_lib.sh"
caldav_session
e2e_init caldav
e2e_start_x
e2e_start_tray
CALDAV_TLS=1 caldav_world
caldav_home A
caldav_home B
sync_ok() { on "$1" e2e_command --sync && [ "$E2E_RC" = 0 ]; }
listed() { on "$1" e2e_command --list && grep -qP "^alarm\t$2\t" <<<"$E2E_OUT"; }
unlisted() { ! listed "$@"; }

trust() { sed -i "/^\[calendars\]/a SyncCertificateAuthorities=$CALDAV_CA" "$1"; }
on A e2e_start_tidra --alarm +3h Warmup
on A e2e_command --sync
e2e_check "a certificate of an unknown CA is refused" test "$E2E_RC" = 1
e2e_check "in words" grep -q "certificate is not trusted" <<<"$E2E_ERR"
e2e_check "and nothing reached the server" bash -c "! grep -rqs 'SUMMARY:' '$E2E_TMP/radicale'"
caldav_restart A trust "$E2E_TMP/A/.config/Morvane/Tidra.conf"
trust "$E2E_TMP/B/.config/Morvane/Tidra.conf"
on B e2e_start_tidra --alarm +3h WarmupB
for side in A B; do sync_ok $side || e2e_fail "the first sync of $side failed: $E2E_ERR"; done
sync_ok A
e2e_check "A has B's first alarm" listed A WarmupB
e2e_check "and A's own" listed A Warmup

on A e2e_command --alarm +2h Dentist "Bring the card"
sync_ok A || e2e_fail "A could not send: $E2E_ERR"
sync_ok B
e2e_check "an alarm added in A is in B" listed B Dentist
e2e_check "the password is in no file" bash -c "! grep -rq '$password' '$E2E_TMP/A' '$E2E_TMP/B'"

# Edits made while Tidra is not running are found at its next start.
caldav_restart B sed -i 's/^Dentist$/Dentist at nine/' "$E2E_TMP/B/.Tidra/Alarms"
sync_ok B || e2e_fail "B could not send its edit: $E2E_ERR"
sync_ok A
e2e_check "an edit in B reaches A" listed A 'Dentist at nine'
e2e_check "in place of the old alarm" unlisted A Dentist

# A deletion in A: the alarm's block goes from the file.
caldav_restart A sed -i '/^Alarm$/{N;/\nWarmup$/{:a;N;/\nAlarm end$/!ba;d}}' \
    "$E2E_TMP/A/.Tidra/Alarms"
listed A Warmup && e2e_fail "the alarm was not deleted in A"
sync_ok A || e2e_fail "A could not send its deletion: $E2E_ERR"
sync_ok B
e2e_check "a deletion in A reaches B" unlisted B Warmup

# A change made while the server is away stays and goes out once it is back.
kill -KILL "$RADICALE_PID"
on A e2e_command --alarm +4h Offline
on A e2e_command --sync
e2e_check "a sync without a server fails" test "$E2E_RC" = 1
e2e_check "and says so in words" grep -q 'does not answer' <<<"$E2E_ERR"
e2e_check "the alarm is still there" listed A Offline
caldav_start_radicale
sync_ok A || e2e_fail "A could not send after the server came back: $E2E_ERR"
sync_ok B
e2e_check "the change made offline arrived" listed B Offline

# A calendar B subscribes to: its reminders ring in B and never travel into
# the calendar of Tidra's own alarms.
_caldav_curl -X MKCALENDAR "$url/$user/team/" >/dev/null || e2e_fail "no team calendar"
start=$(date -u -d '+3 hours' +%Y%m%dT%H%M00Z)
printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//test//EN BEGIN:VEVENT UID:standup-1 \
    DTSTAMP:20260101T000000Z "DTSTART:$start" SUMMARY:Standup BEGIN:VALARM ACTION:DISPLAY \
    TRIGGER:-PT15M DESCRIPTION:Standup END:VALARM END:VEVENT END:VCALENDAR >"$E2E_TMP/standup.ics"
_caldav_curl -T "$E2E_TMP/standup.ics" -H 'Content-Type: text/calendar' \
    "$url/$user/team/standup-1.ics" || e2e_fail "no team event"
team="SyncSubscribed=$url/$user/team/\nSyncSubscribedNames=Team"
caldav_restart B sed -i "/^\[calendars\]/a $team" "$E2E_TMP/B/.config/Morvane/Tidra.conf"
sync_ok B || e2e_fail "B could not read its subscription: $E2E_ERR"
e2e_check "a subscribed reminder rings in B" listed B Standup
e2e_check "labelled with its calendar" grep -qx 'Calendar Team' "$E2E_TMP/B/.Tidra/Alarms"
# Without a change of B's own, its sync would not look at the alarms at all.
on B e2e_command --alarm +5h Lunch
sync_ok B && sync_ok A
e2e_check "B's own alarms still go out" listed A Lunch
e2e_check "the subscribed one stays out of them" unlisted A Standup

e2e_pass
