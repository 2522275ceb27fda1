#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates one generated file into a temporary folder and compares it
# with the committed copy: a table whose generator or inputs changed without
# the table being regenerated fails here.
#
#   check_fresh.sh --committed FILE [--need FILE]... [--need-cmd CMD]...
#                  [--npm TOOLDIR STAGE] [--regen TEXT] -- COMMAND [ARG]...
#
# COMMAND runs with the temporary output path appended as its last argument
# (every generator takes its output path last). --need and --need-cmd name
# inputs and programs without which the test is skipped; --npm installs the
# npm inputs of TOOLDIR with `npm ci` from its committed lockfile into STAGE
# (kept between runs) and points NODE_PATH there. --regen is the command
# printed when the copies differ. Exit status: 0 fresh, 1 stale or failed,
# 77 skipped (with the reason on stdout).
set -uo pipefail

SKIP=77
committed="" regen="" npm_dir="" npm_stage=""
needs=() need_cmds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --committed) committed=$2; shift 2 ;;
    --need) needs+=("$2"); shift 2 ;;
    --need-cmd) need_cmds+=("$2"); shift 2 ;;
    --npm) npm_dir=$2; npm_stage=$3; shift 3 ;;
    --regen) regen=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "check_fresh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ $# -gt 0 ] && [ -n "$committed" ] || { echo "check_fresh: need --committed FILE -- COMMAND" >&2; exit 2; }

skip() { echo "SKIPPED: $*"; exit $SKIP; }

for c in "${need_cmds[@]+"${need_cmds[@]}"}"; do
  command -v "$c" >/dev/null 2>&1 || skip "$c is not installed"
done
for f in "${needs[@]+"${needs[@]}"}"; do
  [ -e "$f" ] || skip "input $f is not on this machine"
done

if [ -n "$npm_dir" ] && [ -f "$npm_dir/package.json" ]; then
  command -v npm >/dev/null 2>&1 || skip "npm is not installed"
  [ -f "$npm_dir/package-lock.json" ] || skip "$npm_dir has no committed package-lock.json for npm ci"
  mkdir -p "$npm_stage"
  # Install again only when the manifest or the lockfile changed.
  if ! cmp -s "$npm_dir/package.json" "$npm_stage/package.json" ||
     ! cmp -s "$npm_dir/package-lock.json" "$npm_stage/package-lock.json" ||
     [ ! -d "$npm_stage/node_modules" ]; then
    rm -rf "$npm_stage/node_modules" "$npm_stage/package.json" "$npm_stage/package-lock.json"
    cp "$npm_dir/package.json" "$npm_dir/package-lock.json" "$npm_stage/"
    if ! log=$(cd "$npm_stage" && timeout 600 npm ci --ignore-scripts --no-audit --no-fund --prefer-offline 2>&1); then
      rm -f "$npm_stage/package.json"  # retry next time
      # A lockfile that no longer matches its package.json is a fault of
      # the tree; anything else (no network, no registry) only stops the test.
      if grep -q "in sync" <<<"$log"; then
        echo "$log" | head -n 8
        echo "FAILED: $npm_dir/package-lock.json does not match its package.json (run npm install there)"
        exit 1
      fi
      echo "$log" | tail -n 5
      skip "npm ci could not install the inputs of $npm_dir"
    fi
  fi
  export NODE_PATH="$npm_stage/node_modules${NODE_PATH:+:$NODE_PATH}"
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/fresh.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
out="$tmp/$(basename "$committed")"

if ! "$@" "$out" >"$tmp/log" 2>&1; then
  cat "$tmp/log"
  echo "FAILED: the generator did not run: $*"
  exit 1
fi
if [ ! -f "$out" ]; then
  cat "$tmp/log"
  echo "FAILED: the generator wrote no $out"
  exit 1
fi
if ! cmp -s "$committed" "$out"; then
  diff -u "$committed" "$out" | head -n 40
  echo "FAILED: $committed differs from what its generator writes now."
  [ -n "$regen" ] && echo "Regenerate it with: $regen"
  exit 1
fi
echo "fresh: $committed"
