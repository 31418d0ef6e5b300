#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a translation lacks a text of the sources: updates a copy of each
# catalogue from the sources; lrelease counts what is unfinished, a search what
# is empty.
#   complete.sh LUPDATE SOURCE-DIR
set -uo pipefail
lupdate=$1 src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
empty='<(translation|numerusform)>\s*</|<(translation|numerusform)/>'
status=0
for catalogue in "$src"/resources/translations/tidra_*.ts; do
    ts=$tmp/$(basename "$catalogue")
    cp "$catalogue" "$ts"
    (cd "$src" && "$lupdate" -silent -I . -no-obsolete -locations none \
        app alarms common timers work storage forms skins -ts "$ts") || { status=1; continue; }
    report=$("$(dirname "$lupdate")/lrelease" "$ts" -qm "$ts.qm" 2>&1)
    grep -q ' 0 unfinished)' <<<"$report" && ! grep -qE "$empty" "$ts" && continue
    echo "${ts##*/}: $report"
    grep -E -B3 "type=\"unfinished\"|$empty" "$ts" | grep '<source>'
    status=1
done
exit $status
