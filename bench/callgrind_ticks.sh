#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Instructions executed by one main tick and one timer-window tick with the
# data of the "B" workload (20 alarms, 10 Full-format timers, work windows).
#
#   bench/callgrind_ticks.sh [path/to/build] [--native]
#
# --native runs the program once without valgrind (a check that it works).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:-$here/../build}")
prog=$build/tick_callgrind # beside tidra, so it finds the skins
[ -x "$prog" ] || { echo "no program at $prog" >&2; exit 1; }

work=$(mktemp -d /tmp/tidra-callgrind-XXXXXX)
trap '[ -n "${KEEP_CG:-}" ] && cp "$work"/cg.out.* "$KEEP_CG"/ ; rm -rf "$work"' EXIT
# shellcheck source=scenario.sh
. "$here/scenario.sh"
prepare "$work/home" 20 10 full true
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/home/run
export TZ=${TZ:-Europe/Berlin} QT_QPA_PLATFORM=offscreen


if [ "${2:-}" = --native ]; then
    "$prog" "$weekday"
    exit
fi

(cd "$work" && valgrind --tool=callgrind --instr-atstart=no \
    --callgrind-out-file="$work/cg.out" "$prog" "$weekday" >"$work/log" 2>&1) || {
    cat "$work/log" >&2
    exit 1
}
grep -v '^==' "$work/log" || true
echo "| tick | instructions |"
echo "|---|---|"
for f in "$work"/cg.out.*; do
    name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
    count=$(awk '/^totals:/ {print $2}' "$f")
    printf '| %s | %s |\n' "$name" "$count"
done | sort -t'|' -k2
