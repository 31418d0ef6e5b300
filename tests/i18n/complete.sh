#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every translatable text of the program has a finished translation: lupdate
# runs over the sources into a copy of each translation and must find nothing
# new or unfinished. To bring a translation up to date after changing texts:
#   cmake --build build --target update_translations
# then translate what Qt Linguist shows as unfinished.
#   complete.sh LUPDATE SOURCE_DIR [LANGUAGE...]   (default: de)
set -uo pipefail
lupdate=$1 src=$2
shift 2
[ $# -gt 0 ] || set -- de
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for lang in "$@"; do
    ts=$src/resources/translations/tidra_$lang.ts
    [ -f "$ts" ] || { echo "no translation $ts"; status=1; continue; }
    cp "$ts" "$tmp/"
    (cd "$src" && "$lupdate" -silent -I . -no-obsolete -locations none \
        app alarms common timers work storage forms -ts "$tmp/tidra_$lang.ts") || { status=1; continue; }
    # Each unfinished message, with its context, on one line.
    left=$(python3 - "$tmp/tidra_$lang.ts" <<'PY'
import sys, xml.etree.ElementTree as ET
for ctx in ET.parse(sys.argv[1]).getroot().iter('context'):
    for m in ctx.iter('message'):
        t = m.find('translation')
        empty = not (t.text or '').strip() and not any((f.text or '').strip() for f in t)
        if t.get('type') in ('unfinished', 'vanished', 'obsolete') or empty:
            print(f"  {ctx.find('name').text}: {m.find('source').text!r}")
PY
)
    if [ -n "$left" ]; then
        echo "tidra_$lang.ts: unfinished translations:"
        echo "$left"
        status=1
    else
        echo "tidra_$lang.ts: complete"
    fi
done
exit $status
