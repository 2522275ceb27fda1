#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Crash consistency of the qdl db commands: each of import, export, compact,
# backup and restore is killed (SIGKILL) at random points. After each kill
# the next command's start-up opening finishes or undoes the work, and the
# case folder must pass SQLite's integrity check, hold exactly the old or
# exactly the new cases, and have a non-empty comment file for every case.
# An export file or a backup marked complete must be whole.
#
#   crash_test.sh QDL CRASH_CHECK [--long]
# The short form (ctest) kills each command a few times; --long many times.
set -u
QDL=$1
CHECK=$2
KILLS=3
[ "${3:-}" = "--long" ] && KILLS=40

WORK=$(mktemp -d "${TMPDIR:-/tmp}/qd_crash.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
failures=0
trials=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Signature of a case folder (after the start-up opening has run).
sig_of() {
  "$QDL" db --home "$1" info >/dev/null 2>&1
  "$CHECK" check "$1" | sed -n 's/^cases .* sig //p'
}

now_ms() { date +%s%3N; }

# Fixtures: the folder under test, a database to import, a backup to restore.
"$CHECK" make "$WORK/base" 800 甲 || exit 1
"$CHECK" make "$WORK/src" 200 乙 || exit 1
mkdir -p "$WORK/bk"
"$QDL" db --home "$WORK/src" backup "$WORK/bk" >/dev/null || exit 1
BACKUP=$(ls -d "$WORK"/bk/*/)
OLD=$(sig_of "$WORK/base")

# run NAME ARGS...: the command once to the end (its duration and the new
# signature), then killed at random points.
run() {
  local name=$1
  shift
  rm -rf "$WORK/ref" "$WORK/out" && cp -a "$WORK/base" "$WORK/ref" && mkdir -p "$WORK/out"
  local start end
  start=$(now_ms)
  "$QDL" db --home "$WORK/ref" "$@" >/dev/null 2>&1 || { fail "$name does not run"; return; }
  end=$(now_ms)
  local span=$((end - start + 5))
  local new
  new=$(sig_of "$WORK/ref")
  for ((k = 0; k < KILLS; k++)); do
    trials=$((trials + 1))
    rm -rf "$WORK/w" "$WORK/out" && cp -a "$WORK/base" "$WORK/w" && mkdir -p "$WORK/out"
    local delay=$((RANDOM % span))
    "$QDL" db --home "$WORK/w" "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep "$(printf '0.%03d' "$delay")" 2>/dev/null || sleep "$((delay / 1000))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    local got
    got=$(sig_of "$WORK/w")
    if [ -z "$got" ]; then
      "$CHECK" check "$WORK/w" | head -5
      fail "$name killed after ${delay} ms: the case folder does not check"
    elif [ "$got" != "$OLD" ] && [ "$got" != "$new" ]; then
      fail "$name killed after ${delay} ms: neither the old nor the new cases"
    fi
    check_outputs "$name" "$delay"
  done
}

# What export and backup write beside the case folder.
check_outputs() {
  for f in "$WORK"/out/*.db; do
    [ -e "$f" ] || continue
    "$CHECK" check-db "$f" | grep -q "^cases 800 " || fail "$1 killed after $2 ms: a partial export $f"
  done
  for d in "$WORK"/out/*/; do
    [ -e "$d/Quadrelle_f/save.txt" ] || continue
    [ "$("$CHECK" check-backup "$d" | sed -n 's/^cases .* sig //p')" = "$OLD" ] ||
      fail "$1 killed after $2 ms: a backup marked complete is not whole"
  done
}

run import import "$WORK/src/dat/Quadrelle.db"
run export export "$WORK/out/export.db"
run compact compact
run backup backup "$WORK/out"
run restore restore "$BACKUP"

echo "$trials kills, $failures failures"
[ "$failures" -eq 0 ]
