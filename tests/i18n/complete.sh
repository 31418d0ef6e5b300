#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a translation lacks a text of the sources: updates a copy of each
# catalogue from the sources; lrelease counts what is unfinished, a search what
# is empty.
#   complete.sh LUPDATE SOURCE-DIR [LANG...]   (default: de)
set -uo pipefail
lupdate=$1 src=$2
shift 2
[ $# -gt 0 ] || set -- de
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for lang in "$@"; do
    ts=$tmp/tidra_$lang.ts
    cp "$src/resources/translations/tidra_$lang.ts" "$ts" || { status=1; continue; }
    (cd "$src" && "$lupdate" -silent -I . -no-obsolete -locations none \
        app alarms common timers work storage forms skins -ts "$ts") || { status=1; continue; }
    report=$("$(dirname "$lupdate")/lrelease" "$ts" -qm "$tmp/$lang.qm" 2>&1)
    empty='<(translation|numerusform)>\s*</|<(translation|numerusform)/>'
    if grep -q ' 0 unfinished)' <<<"$report" && ! grep -qE "$empty" "$ts"; then
        echo "tidra_$lang.ts: complete"
    else
        echo "tidra_$lang.ts: $report"
        grep -E -B3 "type=\"unfinished\"|$empty" "$ts" | grep '<source>'
        status=1
    fi
done
exit $status
