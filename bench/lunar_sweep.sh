#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `qdl lunar 1900-01-01 2200-12-31` as a whole process against the same
# sweep done by date-chinese (an astronomical Chinese calendar on Node.js),
# and reports the ratio. Needs a build (./dev.sh test) and
# `npm ci` in tools/oracles.
set -euo pipefail
cd "$(dirname "$0")/.."
qdl=build/bin/qdl
[ -x "$qdl" ] || { echo "build first: ./dev.sh test" >&2; exit 1; }
[ -d tools/oracles/node_modules ] || (cd tools/oracles && npm ci --silent)

now() { date +%s.%N; }
t0=$(now); "$qdl" lunar 1900-01-01 2200-12-31 > /tmp/qdl_sweep.txt; t1=$(now)
t2=$(now); node tools/oracles/date_chinese_sweep.js > /tmp/date_chinese_sweep.txt 2>/dev/null; t3=$(now)
awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v n="$(wc -l < /tmp/qdl_sweep.txt)" 'BEGIN {
  q = b - a; j = d - c;
  printf "days: %d\nqdl lunar (whole process): %.3f s\ndate-chinese (whole process): %.3f s\nratio: %.1f x faster\n", n, q, j, j / q }'
