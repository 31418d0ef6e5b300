#!/usr/bin/env bash
# Short fuzzing pass of every event-file reader, run by the test suite: builds
# the libFuzzer targets with clang (the "fuzz" preset) below the build folder
# and runs each for TIDRA_FUZZ_SECONDS, starting from the kept corpus. A crash
# leaves its input under <build>/fuzz/artifacts; once fixed, keep it in
# tests/fuzz/corpus/<reader>/ so the unit tests replay it.
set -euo pipefail
src=${TIDRA_SOURCE_DIR:?}
out=${TIDRA_BUILD_DIR:?}/fuzz
secs=${TIDRA_FUZZ_SECONDS:-20}
readers=(alarms timers worktimers workschedule)

if ! command -v clang++ >/dev/null; then
  echo "fuzz smoke: clang++ not installed, skipped"
  exit 77
fi

cd "$src"
mkdir -p "$out"
cmake --preset fuzz -B "$out/build" >"$out/configure.log" 2>&1 || {
  cat "$out/configure.log"; exit 1; }
cmake --build "$out/build" -j 2 $(printf -- '--target fuzz_%s ' "${readers[@]}")

status=0
mkdir -p "$out/artifacts"
for r in "${readers[@]}"; do
  work="$out/work/$r"
  rm -rf "$work" && mkdir -p "$work"
  cp "$src/tests/fuzz/corpus/$r/"* "$work/"
  echo "fuzz smoke: $r for ${secs}s"
  if ! "$out/build/tests/fuzz/fuzz_$r" -max_total_time="$secs" -workers=1 -print_final_stats=1 \
      -artifact_prefix="$out/artifacts/$r-" "$work" >"$out/$r.log" 2>&1; then
    tail -n 40 "$out/$r.log"
    echo "fuzz smoke: $r FAILED; inputs in $out/artifacts/"
    status=1
  else
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/$r.log" || true
  fi
done
exit $status
