#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Writes tests/fixtures/official_term_days.txt: every solar term of 1900..2100,
//   YYYY K YYYY-MM-DD   (civil year, term index 0 = 小寒 … 23 = 冬至, civil date in China)
// The dates come from solarlunar's term table, the one table-based term source
// among the libraries used here. Each date is checked against the instant that
// astronomy-engine computes; every difference is printed to stdout.
const fs = require('fs');
const path = require('path');
const { pad } = require('./lib/civil');
const { termInstantChinaMs } = require('./lib/terms');
const { solarlunar } = require('./lib/lunar_sources');

// The output path, when given, is the last argument.
const OUT = process.argv[2] || path.join(__dirname, '..', '..', 'tests', 'fixtures', 'official_term_days.txt');
const NAMES = ['小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种', '夏至',
  '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪', '大雪', '冬至'];

function main() {
  const lines = [];
  let differ = 0;
  for (let y = 1900; y <= 2100; y++) {
    for (let k = 0; k < 24; k++) {
      const month = Math.floor(k / 2) + 1; // two terms in each civil month, 小寒 in January
      const day = solarlunar.getTerm(y, k + 1);
      if (!(day >= 1 && day <= 31)) throw new Error(`solarlunar has no term ${k} for ${y}`);
      const date = `${y}-${pad(month)}-${pad(day)}`;
      lines.push(`${y} ${k} ${date}`);

      const t = new Date(termInstantChinaMs(y, k));
      const computed = t.toISOString().slice(0, 10);
      if (computed !== date) {
        differ++;
        console.log(`DIFFER ${y} ${k} ${NAMES[k]}: solarlunar ${date}, astronomy-engine ` +
          `${t.toISOString().slice(0, 19).replace('T', ' ')} UTC+8`);
      }
    }
  }
  fs.writeFileSync(OUT, lines.join('\n') + '\n');
  console.log(`# wrote ${lines.length} rows to ${path.relative(process.cwd(), OUT)}; ` +
    `${differ} dates differ from the computed instant`);
}

main();
