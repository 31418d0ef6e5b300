#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# TLS is verified: a server whose certificate comes from a CA Tidra does not
# know is refused with words a user understands, and nothing is lost; once the
# CA is trusted (a file of authorities in the settings), the waiting alarm goes out.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/caldav_lib.sh"
command -v openssl >/dev/null || { echo "SKIP: no openssl"; exit 77; }
caldav_session
e2e_init caldav-tls
e2e_start_x
e2e_start_tray
CALDAV_TLS=1 caldav_world
caldav_home A

on A e2e_start_tidra --alarm +1h Secure
on A e2e_command --sync
e2e_check "a certificate of an unknown CA is refused" test "$E2E_RC" = 1
e2e_check "in words" grep -q "certificate is not trusted" <<<"$E2E_ERR"
e2e_check "the alarm stays" bash -c "grep -qP '^alarm\tSecure\t' <<<\"\$1\"" _ \
    "$(on A "$TIDRA_BIN" --list)"
e2e_check "and did not reach the server" bash -c "! grep -rqs 'SUMMARY:Secure' '$E2E_TMP/radicale'"

caldav_restart A sed -i "/^\[calendars\]/a SyncCertificateAuthorities=$CALDAV_CA" \
    "$E2E_TMP/A/.config/Morvane/Tidra.conf"
on A e2e_command --sync
e2e_check "with the CA trusted, the sync goes through" test "$E2E_RC" = 0
e2e_check "and the alarm is on the server" grep -rqs 'SUMMARY:Secure' "$E2E_TMP/radicale"
e2e_pass
