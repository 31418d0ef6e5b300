#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a CalDAV sync costs while nothing changes: a Tidra with ALARMS alarms
# in step with a Radicale calendar, watched through a counting proxy for
# SECONDS (the sync polls once a minute). Prints requests and bytes per
# minute and the program's CPU time over the span.
#
#   bench/caldav_idle.sh build/tidra [SECONDS] [ALARMS]
bench=$(cd "$(dirname "$0")" && pwd)
export TIDRA_BIN=${TIDRA_BIN:-$(realpath "${1:?the program}")}
export TIDRA_BUILD_DIR=${TIDRA_BUILD_DIR:-$(dirname "$TIDRA_BIN")}
SECS=${2:-125} ALARMS=${3:-1000}
source "$bench/../tests/e2e/lib.sh"
source "$bench/../tests/e2e/caldav_lib.sh"
source "$bench/scenario.sh"
caldav_session "$@"
e2e_init caldav-idle
e2e_start_x
e2e_start_tray
caldav_world
proxy_port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0));
print(s.getsockname()[1])')
traffic=$E2E_TMP/traffic.log
/usr/bin/python3 "$bench/caldav_proxy.py" "$proxy_port" "$port" "$traffic" >"$E2E_TMP/proxy.out" &
E2E_PIDS+=($!)
e2e_wait grep -q ready "$E2E_TMP/proxy.out" || e2e_fail "no proxy"
caldav_home A "http://127.0.0.1:$proxy_port"
for ((i = 0; i < ALARMS; i++)); do alarm_block "alarm $i" 2030 15 06; done >"$E2E_TMP/A/.Tidra/Alarms"

cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; } # clock ticks, user and system
on A e2e_start_tidra
on A e2e_wait "$TIDRA_BIN" --list || e2e_fail "Tidra did not start"
start=$(date +%s.%N)
# The first sync sends every alarm; a command gives up waiting after a minute.
for ((try = 0; try < 20; try++)); do
    on A e2e_command --sync
    [ "$E2E_RC" = 0 ] && break
done
echo "first sync ($ALARMS alarms sent): $(echo "$(date +%s.%N) - $start" | bc) s, $E2E_OUT"
on A e2e_command --sync # the write's own token is stale once
: >"$traffic"
on A e2e_command --sync
echo "one idle --sync: $(grep -c ' up .*_HTTP' "$traffic") request(s)," \
    "$(awk '{b += $3} END {print b + 0}' "$traffic") bytes both ways"
: >"$traffic"
before=$(cpu "$TIDRA_PID")
sleep "$SECS"
ticks=$(($(cpu "$TIDRA_PID") - before))
requests=$(grep -c ' up .*_HTTP' "$traffic")
bytes=$(awk '{b += $3} END {print b + 0}' "$traffic")
echo "idle for $SECS s: $requests request(s), $bytes bytes," \
    "$(echo "scale=1; $requests * 60 / $SECS" | bc) requests/min," \
    "$(echo "scale=0; $bytes * 60 / $SECS" | bc) bytes/min," \
    "CPU $(echo "scale=3; $ticks * 1000 / $(getconf CLK_TCK) * 60 / $SECS" | bc) ms/min"
grep -o ' up [0-9]* [A-Z]*' "$traffic" | awk '{print $3}' | sort | uniq -c
e2e_pass
