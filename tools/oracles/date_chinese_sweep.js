#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Bench helper: converts every civil day of a span (default 1900-01-01 ..
// 2200-12-31) to a lunar date with date-chinese, an astronomical Chinese
// calendar (astronomia's VSOP87 and ELP series; Beijing local time before 1929,
// UTC+8 after). Prints one line per day to stdout,
//   YYYY-MM-DD Y M D L   (civil date, lunar year of its 正月, month 1-12, day, leap 0/1)
// and the elapsed wall time of the conversions, in seconds, to stderr.
// Usage: node date_chinese_sweep.js [FIRST_YEAR LAST_YEAR] > out.txt
const { dayNumber, ymdOf, pad } = require('./lib/civil');
const { CalendarChinese } = require('date-chinese');

function main() {
  const firstYear = Number(process.argv[2] || 1900);
  const lastYear = Number(process.argv[3] || 2200);
  const first = dayNumber(firstYear, 1, 1);
  const last = dayNumber(lastYear, 12, 31);

  const cal = new CalendarChinese(); // one instance, so its per-year cache is reused
  const out = [];
  const t0 = process.hrtime.bigint();
  for (let n = first; n <= last; n++) {
    const { y, m, d } = ymdOf(n);
    cal.fromGregorian(y, m, d);
    // The library counts 60-year cycles from 2636 BCE; this is the civil year
    // in which the lunar year's 正月 begins.
    const ly = cal.yearFromEpochCycle();
    out.push(`${pad(y, 4)}-${pad(m)}-${pad(d)} ${ly} ${cal.month} ${cal.day} ${cal.leap ? 1 : 0}`);
  }
  const seconds = Number(process.hrtime.bigint() - t0) / 1e9;
  process.stdout.write(out.join('\n') + '\n');
  process.stderr.write(`date-chinese: ${last - first + 1} days converted in ${seconds.toFixed(3)} s\n`);
}

main();
