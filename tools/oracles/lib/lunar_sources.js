// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Adapters over the table-based lunar calendars. Each one turns a day number
// (days since 1970-01-01, civil date in China) into { y, m, leap, d } where y is
// the year of the 正月 opening the lunar year, or null where the library
// refuses or throws (outside its table).
const { dayNumber, ymdOf } = require('./civil');
const solarlunar = require('solarlunar').default;
const chineseLunar = require('chinese-lunar');
const lunarCalendar = require('lunar-calendar');

let starts1900 = null;
function chineseLunar1900(n) {
  if (!starts1900) {
    starts1900 = [];
    const leapMonth = chineseLunar.leapMonthOfYear(1900);
    for (let m = 1; m <= 12; m++) {
      for (const leap of m === leapMonth ? [0, 1] : [0]) {
        const t = chineseLunar.lunarToSolar(1900, m, 1, leap === 1);
        const start = dayNumber(t.getFullYear(), t.getMonth() + 1, t.getDate());
        starts1900.push({ start, m, leap });
      }
    }
  }
  let hit = null;
  for (const s of starts1900) if (s.start <= n) hit = s;
  if (!hit) return null;
  return { y: 1900, m: hit.m, leap: hit.leap, d: n - hit.start + 1 };
}

const sources = [
  {
    name: 'solarlunar',
    lunarOf(n) {
      const { y, m, d } = ymdOf(n);
      const r = solarlunar.solar2lunar(y, m, d);
      if (r === -1 || !r) return null;
      return { y: r.lYear, m: r.lMonth, leap: r.isLeap ? 1 : 0, d: r.lDay };
    },
    // Its table also knows the length of a month that runs past its last day.
    monthLength(ly, m, leap) {
      return leap ? solarlunar.leapDays(ly) : solarlunar.monthDays(ly, m);
    },
  },
  {
    name: 'chinese-lunar',
    lunarOf(n) {
      const { y, m, d } = ymdOf(n);
      // Its converter refuses civil year 1900 although its table starts with
      // lunar 1900, so that year is read back through the table's reverse
      // conversion instead.
      if (y === 1900) return chineseLunar1900(n);
      let r;
      try {
        r = chineseLunar.solarToLunar(new Date(y, m - 1, d));
      } catch (e) {
        return null;
      }
      if (!r) return null;
      return { y: r.year, m: r.month, leap: r.leap ? 1 : 0, d: r.day };
    },
    monthLength() {
      return null;
    },
  },
  {
    name: 'lunar-calendar',
    lunarOf(n) {
      const { y, m, d } = ymdOf(n);
      let r;
      try {
        r = lunarCalendar.solarToLunar(y, m, d);
      } catch (e) {
        return null;
      }
      if (!r || r.error) return null;
      // lunarMonth counts the months of the year 1..13, the leap month included.
      const idx = r.lunarMonth;
      const lp = r.lunarLeapMonth;
      let month = idx;
      let leap = 0;
      if (lp > 0 && idx === lp + 1) {
        month = lp;
        leap = 1;
      } else if (lp > 0 && idx > lp + 1) {
        month = idx - 1;
      }
      return { y: r.lunarYear, m: month, leap, d: r.lunarDay };
    },
    monthLength() {
      return null;
    },
  },
];

module.exports = { sources, solarlunar, lunarCalendar };
