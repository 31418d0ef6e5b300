#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Mutation check: applies each deliberate one-line fault of a list to a copy of
# the tree, rebuilds, and runs the unit and widget tests against it. A mutant
# the tests catch is "killed"; one they let through "survived". Exit 1 when any
# survived or no longer applies.
#
#   scripts/mutants.sh [FILTER]     (make mutants, make mutants FILTER=alarms)
#
# The lists are scripts/mutants/*.tsv, one per subsystem, one mutant a line,
# tab-separated:
#   file<TAB>text as it stands<TAB>text instead<TAB>what the fault means
# The text as it stands must occur exactly once in the file. Lines starting
# with # and blank lines are skipped. FILTER keeps the mutants whose line
# matches it (grep -E; the list's name is part of the line). MUTANTS_DIR
# (default build/mutants) holds the copy and its build; it is reused, so later
# runs rebuild little.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
filter=${1:-.}
work=${MUTANTS_DIR:-$root/build/mutants}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
src="$work/src"
build="$work/build"
log="$work/log"

lists=("$root"/scripts/mutants/*.tsv)
[ -f "${lists[0]}" ] || { echo "mutants: no lists in scripts/mutants" >&2; exit 2; }
mkdir -p "$src" "$log"

# A fresh copy of the tracked files (and untracked, not ignored ones), so a
# mutant never touches the working tree. Only files whose content changed are
# copied, and they get the time of the copy: a checkout's older time would
# leave the build's newer object of the old text in place.
(cd "$root" && git ls-files -co --exclude-standard -z) |
    rsync -a --no-times --checksum --from0 --files-from=- "$root/" "$src/"
# A file list keeps rsync from deleting: files gone from the tree go here.
(cd "$root" && git ls-files -co --exclude-standard) | sort >"$work/files"
(cd "$src" && find . -type f | sed 's|^\./||' | sort | comm -13 "$work/files" - |
    xargs -r -d '\n' rm -f)
# Test processes a mutant makes crash leave their temporary folders behind.
export TMPDIR="$work/tmp"

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTIDRA_BUILD_BENCH=OFF >"$log/configure.log" 2>&1 ||
        { cat "$log/configure.log"; exit 2; }
fi

# run_tests LOG [PROGRAM...]: builds and runs those test programs, or all of them.
run_tests() {
    local out=$1 targets=() tests='unit|widget'
    shift
    if [ $# -gt 0 ]; then
        targets=(--target "$@")
        tests="^(unit|widget)\.($(IFS='|'; echo "$*"))\$"
    fi
    rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
    cmake --build "$build" -j "$jobs" "${targets[@]}" >"$out.build" 2>&1 || return 3
    (cd "$build" && timeout 900 ctest -R "$tests" -j "$jobs" --stop-on-failure \
        --timeout 60 >"$out.test" 2>&1)
}

echo "mutants: baseline build and tests in $work"
if ! run_tests "$log/baseline"; then
    tail -n 30 "$log/baseline.build" "$log/baseline.test" 2>/dev/null
    echo "mutants: the unmutated tree does not pass; nothing to compare" >&2
    exit 2
fi

# The test programs each source file is built into: a mutant of a .cpp file
# rebuilds and runs only those (a header's, or one no test builds, all).
declare -A guards
while read -r program; do
    while read -r input; do
        guards[${input#"$src/"}]+=" $program"
    done < <(ninja -C "$build" -t inputs "tests/$program" 2>/dev/null | grep -F "$src/")
done < <(cd "$build" && ctest -N -L 'unit|widget' | sed -nE 's/^ *Test +#[0-9]+: (unit|widget)\.//p')

killed=0 survived=0 stale=0 n=0
survivors=()
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in ''|'#'*) continue ;; esac
    printf '%s\n' "$line" | grep -qE -- "$filter" || continue
    line=${line#*:}
    # Tabs are whitespace to read: consecutive ones would merge an empty field.
    IFS=$'\x1f' read -r file from to why <<<"${line//$'\t'/$'\x1f'}"
    n=$((n + 1))
    target="$src/$file"
    count=$(FROM="$from" perl -0777 -ne 'my $c = () = /\Q$ENV{FROM}\E/g; print $c' "$target" 2>/dev/null)
    if [ "${count:-0}" != 1 ]; then
        echo "[$n] STALE    $file: \"$from\" found ${count:-0} times ($why)"
        stale=$((stale + 1))
        continue
    fi
    cp "$target" "$target.orig"
    FROM="$from" TO="$to" perl -0777 -pi -e \
        'my $i = index($_, $ENV{FROM}); substr($_, $i, length $ENV{FROM}) = $ENV{TO};' "$target"
    # shellcheck disable=SC2086 # the list splits on purpose
    run_tests "$log/m$n" ${guards[$file]:-}
    rc=$?
    # Written back, not moved: the new time stamp makes the build drop the
    # mutant's object. A run stopped before this leaves the mutant in the copy,
    # where the next run's copying replaces it, being different from the tree.
    cp "$target.orig" "$target" && rm -f "$target.orig"
    if [ $rc = 3 ]; then
        echo "[$n] STALE    $file: the mutant does not compile ($why)"
        stale=$((stale + 1))
    elif [ $rc = 0 ]; then
        echo "[$n] SURVIVED $file: $why"
        survived=$((survived + 1))
        survivors+=("$n")
    else
        by=$(grep -m1 -oE '[^ ]+\.tst_[a-z_0-9]+ .*(Failed|Exception|Timeout)' "$log/m$n.test" | awk '{print $1}')
        echo "[$n] killed   $file: $why${by:+ (by $by)}"
        killed=$((killed + 1))
    fi
done < <(for l in "${lists[@]}"; do grep -v -E '^\s*(#|$)' "$l" | sed "s|^|$(basename "$l" .tsv):|"; done)

# Leave the copy as it was checked out, so the next run's build is short.
cmake --build "$build" -j "$jobs" >/dev/null 2>&1
echo "mutants: $n mutants, $killed killed, $survived survived, $stale stale"
[ $survived = 0 ] && [ $stale = 0 ]
