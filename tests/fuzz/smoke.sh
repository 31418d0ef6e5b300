#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes every event-file reader for SECONDS each (default 3; `make fuzz` runs
# longer), starting from the kept corpus; builds the libFuzzer targets with
# clang (the "fuzz" preset) below the build folder first. A crash leaves its
# input under <build>/fuzz/artifacts; once fixed, keep it in
# tests/fuzz/corpus/<reader>/ so the unit tests replay it.
#   TIDRA_SOURCE_DIR=. TIDRA_BUILD_DIR=build tests/fuzz/smoke.sh [SECONDS]
set -euo pipefail
src=${TIDRA_SOURCE_DIR:?} out=${TIDRA_BUILD_DIR:?}/fuzz secs=${1:-3}
command -v clang++ >/dev/null || { echo "fuzz: clang++ not installed, skipped"; exit 77; }
cd "$src"
mkdir -p "$out/artifacts"
readers=(alarms timers worktimers workschedule)
{ [ -f "$out/build/build.ninja" ] || cmake --preset fuzz -B "$out/build"; } \
    >"$out/build.log" 2>&1 &&
  cmake --build "$out/build" -j 2 $(printf -- '--target fuzz_%s ' "${readers[@]}") \
    >>"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log"; exit 1; }
export TZ=Europe/Berlin # local date-times must meet daylight saving changes
status=0
for r in "${readers[@]}"; do
  rm -rf "$out/work/$r" && mkdir -p "$out/work/$r" && cp tests/fuzz/corpus/$r/* "$out/work/$r/"
  "$out/build/tests/fuzz/fuzz_$r" -max_total_time="$secs" -artifact_prefix="$out/artifacts/$r-" \
    "$out/work/$r" >"$out/$r.log" 2>&1 ||
    { tail -n 40 "$out/$r.log"; echo "fuzz: $r FAILED; inputs in $out/artifacts/"; status=1; }
done
exit $status
