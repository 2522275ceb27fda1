#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Writes tests/fixtures/term_instants.txt: every solar term of 1900..2200,
//   YYYY K YYYY-MM-DD HH:MM:SS DT   (civil year, term index, instant in UTC+8 to
//   the second, and the TT - UT in seconds that astronomy-engine used for it)
const fs = require('fs');
const path = require('path');
const { pad } = require('./lib/civil');
const { termInstantChinaMs, termDeltaT } = require('./lib/terms');

// The output path, when given, is the last argument.
const OUT = process.argv[2] || path.join(__dirname, '..', '..', 'tests', 'fixtures', 'term_instants.txt');

function main() {
  const lines = [];
  for (let y = 1900; y <= 2200; y++) {
    let last = -Infinity;
    for (let k = 0; k < 24; k++) {
      const ms = Math.round(termInstantChinaMs(y, k) / 1000) * 1000;
      const t = new Date(ms);
      if (t.getUTCFullYear() !== y || ms <= last) throw new Error(`term ${k} of ${y} out of order`);
      last = ms;
      lines.push(`${y} ${k} ${t.getUTCFullYear()}-${pad(t.getUTCMonth() + 1)}-${pad(t.getUTCDate())} ` +
        `${pad(t.getUTCHours())}:${pad(t.getUTCMinutes())}:${pad(t.getUTCSeconds())} ` +
        termDeltaT(y, k).toFixed(1));
    }
  }
  fs.writeFileSync(OUT, lines.join('\n') + '\n');
  console.log(`# wrote ${lines.length} rows to ${path.relative(process.cwd(), OUT)}`);
}

main();
