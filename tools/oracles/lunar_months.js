#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Writes tests/fixtures/official_lunar_months.txt: one line per lunar month whose
// first day lies in 1900-01-31 .. 2100-12-31,
//   YYYY-MM-DD LY M L N   (first civil day, lunar year, month 1-12, leap 0/1, length)
// Every table-based library is asked day by day; where they disagree the
// majority wins and the disagreement is printed to stdout.
const fs = require('fs');
const path = require('path');
const { DAY_MS, dayNumber, isoOf } = require('./lib/civil');
const { sources } = require('./lib/lunar_sources');
const Astronomy = require('astronomy-engine');

const FIRST = dayNumber(1900, 1, 31);
const LAST = dayNumber(2100, 12, 31);
// The output path, when given, is the last argument.
const OUT = process.argv[2] || path.join(__dirname, '..', '..', 'tests', 'fixtures', 'official_lunar_months.txt');

// Per source: map start day -> { y, m, leap, len }, the covered day span, and
// internal inconsistencies (day counts that do not run on).
function monthsOf(src) {
  const months = new Map();
  const anomalies = [];
  let covered = 0;
  let prev = null;
  let open = null;
  for (let n = FIRST; n <= LAST; n++) {
    const r = src.lunarOf(n);
    if (r) covered++;
    if (r && prev) {
      const sameMonth = r.y === prev.y && r.m === prev.m && r.leap === prev.leap;
      const runsOn = (sameMonth && r.d === prev.d + 1) || (!sameMonth && r.d === 1);
      if (!runsOn) {
        anomalies.push(`${isoOf(n - 1)} ${fmt(prev)} -> ${isoOf(n)} ${fmt(r)}`);
      }
    }
    if (r && r.d === 1) {
      if (open && prev) open.len = n - open.start;
      open = { start: n, y: r.y, m: r.m, leap: r.leap, len: null };
      months.set(n, open);
    } else if (!r) {
      open = null;
    }
    prev = r;
  }
  for (const mo of months.values()) {
    if (mo.len === null) mo.len = src.monthLength(mo.y, mo.m, mo.leap);
  }
  return { months, anomalies, covered };
}

function fmt(r) {
  return `${r.y}/${r.leap ? 'leap ' : ''}${r.m}/${r.d}`;
}

// Civil day (UTC+8) and time of the astronomical new moon nearest day n, from
// astronomy-engine: the tie-breaker where the tables split evenly, and a check
// of every kept month.
function newMoonNear(n) {
  const t = Astronomy.SearchMoonPhase(0, new Date((n - 15) * DAY_MS), 30);
  const ms = t.date.getTime() + 8 * 3600000;
  return { day: Math.floor(ms / DAY_MS), text: new Date(ms).toISOString().slice(0, 16).replace('T', ' ') };
}

function describe(mo) {
  if (!mo) return 'absent';
  return `${isoOf(mo.start)}/${mo.len === null ? '?' : mo.len}`;
}

// Two opinions agree when both lack the month or both have it with the same
// first day and (where known) the same length.
function agree(a, b) {
  if (!a || !b) return !a && !b;
  return a.start === b.start && (a.len === null || b.len === null || a.len === b.len);
}

function main() {
  const results = sources.map((s) => ({ name: s.name, src: s, ...monthsOf(s) }));
  for (const r of results) {
    console.log(`# ${r.name}: ${r.months.size} month starts, ${r.covered} days answered of ${LAST - FIRST + 1}`);
    if (r.anomalies.length) {
      console.log(`# ${r.name}: ${r.anomalies.length} places where its day count does not run on:`);
      for (const a of r.anomalies) console.log(`#   ${a}`);
    }
  }

  // Compare month by month, a month being named by lunar year, number and leap flag.
  const byId = results.map((r) => {
    const m = new Map();
    for (const mo of r.months.values()) m.set(`${mo.y} ${mo.m} ${mo.leap}`, mo);
    return m;
  });
  const ids = new Map();
  for (const m of byId) for (const [id, mo] of m) if (!ids.has(id)) ids.set(id, mo.start);

  const rows = [];
  let disagreements = 0;
  let unresolved = 0;
  for (const [id, anyStart] of ids) {
    // A source has an opinion on a month when it answers for the day some
    // source names as its first day.
    const starts = byId.map((m) => m.get(id)).filter(Boolean).map((mo) => mo.start);
    const opinions = [];
    results.forEach((r, i) => {
      const mo = byId[i].get(id) || null;
      if (mo || starts.some((n) => r.src.lunarOf(n) !== null)) opinions.push({ name: r.name, mo });
    });
    let chosen = opinions.find((o) => o.mo && o.mo.len !== null) || opinions[0];
    if (!opinions.every((o) => agree(o.mo, opinions[0].mo))) {
      disagreements++;
      const votes = opinions
        .map((o) => ({ o, count: opinions.filter((p) => agree(p.mo, o.mo)).length }))
        .sort((a, b) => b.count - a.count);
      const best = votes[0];
      const majority = best.count * 2 > opinions.length;
      chosen = best.o.mo ? opinions.find((o) => agree(o.mo, best.o.mo) && o.mo.len !== null) || best.o : best.o;
      let verdict = `kept ${describe(chosen.mo)} (${best.count} of ${opinions.length})`;
      if (!majority) {
        // No majority: the table whose first day is the civil date of the
        // computed new moon wins.
        const nm = newMoonNear(anyStart);
        const fit = opinions.find((o) => o.mo && o.mo.start === nm.day);
        if (fit) {
          chosen = fit;
          verdict = `no majority; new moon ${nm.text} UTC+8, kept ${fit.name}'s ${describe(fit.mo)}`;
        } else {
          unresolved++;
          chosen = opinions[0];
          verdict = `UNRESOLVED (new moon ${nm.text} UTC+8), kept ${chosen.name}'s ${describe(chosen.mo)}`;
        }
      }
      console.log(`DISAGREE ${id}: ` +
        opinions.map((o) => `${o.name}=${describe(o.mo)}`).join(' ') + ` -> ${verdict}`);
    }
    const mo = chosen.mo;
    if (!mo || mo.start < FIRST || mo.start > LAST) continue;
    if (mo.len === null) {
      console.log(`NOLENGTH ${id}: no source knows the month length; row left out`);
      continue;
    }
    rows.push(mo);
  }
  rows.sort((a, b) => a.start - b.start);
  for (let i = 1; i < rows.length; i++) {
    if (rows[i - 1].start + rows[i - 1].len !== rows[i].start) {
      console.log(`GAP after ${isoOf(rows[i - 1].start)}: the kept months do not run on`);
    }
  }
  // Where the kept first day is not the civil date of the computed new moon.
  // Before 1929 the official calendar reckoned in Beijing local time (UTC+7:46).
  let offMoon = 0;
  for (const mo of rows) {
    const nm = newMoonNear(mo.start);
    if (nm.day !== mo.start) {
      offMoon++;
      console.log(`NEWMOON ${isoOf(mo.start)} (${mo.y} ${mo.m} ${mo.leap}): computed new moon ${nm.text} UTC+8`);
    }
  }
  console.log(`# ${offMoon} kept months start on another day than the computed new moon (UTC+8)`);
  const lines = rows.map((mo) => `${isoOf(mo.start)} ${mo.y} ${mo.m} ${mo.leap} ${mo.len}`);
  fs.writeFileSync(OUT, lines.join('\n') + '\n');
  console.log(`# wrote ${lines.length} rows to ${path.relative(process.cwd(), OUT)}; ` +
    `${disagreements} months in disagreement, ${unresolved} unresolved`);
}

main();
