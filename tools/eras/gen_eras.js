#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// Checks tools/eras/eras.tsv and writes calendar/era_table.cpp from it.
//
//   node tools/eras/gen_eras.js [OUT]     (OUT defaults to the committed file)
//
// The table is compiled into the program as fixed-width GBK records, and its
// shape is fixed: 531 records, the first a 45-year reign from -2069, 101 reign
// records before 建元, the era column from 建元 on as era_sequence.txt lists it,
// and two modern records at the end. Nothing is written unless every check
// passes. The output depends on the input alone.
'use strict';
const fs = require('fs');
const path = require('path');

const SRC = path.join(__dirname, 'eras.tsv');
const SEQUENCE = path.join(__dirname, 'era_sequence.txt');
const out = process.argv[2] || path.join(__dirname, '../../calendar/era_table.cpp');

const RECORD_COUNT = 531;
const REIGN_RECORDS = 101;  // before 建元, one per reign
const OVERLAPS = 161;       // records starting before the previous one ends
const EMPTY_ERA = '空';     // how era_sequence.txt writes an empty era cell
// Field widths of the record, NUL included.
const FIELDS = [['dynasty', 11], ['title', 11], ['personalName', 31], ['era', 11]];
// Records whose values are fixed by the format, not by the data.
const FIXED = [
  { at: 0, start: -2069, years: 45, offset: 0 },
  { at: REIGN_RECORDS, start: -139, years: 6, offset: 0, dynasty: '西汉', era: '建元' },
  { at: RECORD_COUNT - 2, start: 1912, years: 37, offset: 0, dynasty: '近、现代', title: '中华民国',
    personalName: '', era: '民国' },
  { at: RECORD_COUNT - 1, start: 1949, years: 9999, offset: 1948, dynasty: '当代', title: '中国',
    personalName: '', era: '公历纪元' },
];

const errors = [];
function fail(msg) {
  errors.push(msg);
}
function done() {
  if (!errors.length) return;
  for (const e of errors) process.stderr.write(`gen_eras: ${e}\n`);
  process.exit(1);
}

// Every character GBK holds in two bytes, read from the platform's decoder.
function gbkDoubleByteSet() {
  const decoder = new TextDecoder('gbk');
  const set = new Set();
  for (let lead = 0x81; lead <= 0xfe; ++lead) {
    for (let trail = 0x40; trail <= 0xfe; ++trail) {
      if (trail === 0x7f) continue;
      const ch = decoder.decode(Uint8Array.of(lead, trail));
      if (ch.length === 1 && ch !== '\ufffd') set.add(ch);
    }
  }
  return set;
}
const GBK = gbkDoubleByteSet();

// Length in GBK bytes, or -1 when a character has no GBK code.
function gbkLength(text) {
  let n = 0;
  for (const ch of text) {
    if (ch.codePointAt(0) < 0x80) n += 1;
    else if (GBK.has(ch)) n += 2;
    else return -1;
  }
  return n;
}

function int16(text, where, what) {
  if (!/^-?\d+$/.test(text)) {
    fail(`${where}: ${what} "${text}" is not a number`);
    return 0;
  }
  const v = Number(text);
  if (v < -32768 || v > 32767) fail(`${where}: ${what} ${v} does not fit 16 bits`);
  return v;
}

// ---------------------------------------------------------------- reading

const records = [];
const gaps = [];    // {first, last, where, used}
const rivals = [];  // {start, era, where, used}
fs.readFileSync(SRC, 'utf8').split('\n').forEach((text, i) => {
  const where = `eras.tsv:${i + 1}`;
  if (text.endsWith('\r')) fail(`${where}: CR line ending`);
  const f = text.split('\t');
  if (f[0] === '#gap') {
    if (f.length < 3) return fail(`${where}: #gap FIRST LAST [why]`);
    gaps.push({ first: int16(f[1], where, 'first'), last: int16(f[2], where, 'last'), where, used: false });
    return;
  }
  if (f[0] === '#rival') {
    if (f.length < 3) return fail(`${where}: #rival START ERA [why]`);
    rivals.push({ start: int16(f[1], where, 'start'), era: f[2], where, used: false });
    return;
  }
  if (text === '' || text.startsWith('#')) return;
  if (f.length !== 7) return fail(`${where}: ${f.length} columns, 7 expected`);
  for (const t of f.slice(3)) {
    if (t !== t.trim()) fail(`${where}: blank around "${t}"`);
  }
  const r = {
    where,
    start: int16(f[0], where, 'start'),
    years: int16(f[1], where, 'years'),
    offset: int16(f[2], where, 'offset'),
    dynasty: f[3],
    title: f[4],
    personalName: f[5],
    era: f[6],
  };
  if (r.years < 1) fail(`${where}: an era lasts at least one year`);
  if (r.offset < 0) fail(`${where}: negative offset`);
  for (const [name, width] of FIELDS) {
    const n = gbkLength(r[name]);
    if (n < 0) fail(`${where}: ${name} "${r[name]}" has a character GBK lacks`);
    else if (n > width - 1) fail(`${where}: ${name} "${r[name]}" is ${n} GBK bytes, at most ${width - 1} fit`);
  }
  if (r.dynasty === '') fail(`${where}: no dynasty`);
  records.push(r);
});
done();

// ---------------------------------------------------------------- shape

const end = (r) => r.start + r.years - 1;  // last year of a record

if (records.length !== RECORD_COUNT) fail(`${records.length} records, ${RECORD_COUNT} expected`);
for (const want of FIXED) {
  const r = records[want.at];
  if (!r) continue;
  for (const [k, v] of Object.entries(want)) {
    if (k !== 'at' && r[k] !== v) fail(`${r.where}: ${k} is ${JSON.stringify(r[k])}, ${JSON.stringify(v)} expected`);
  }
}
records.slice(0, REIGN_RECORDS).forEach((r) => {
  if (r.era === '') fail(`${r.where}: a reign record names its ruler in the era column`);
  if (end(r) >= -139) fail(`${r.where}: reign record runs into 建元 (-139)`);
});

// The era column from 建元 to the modern records, run by run.
const expected = [];
fs.readFileSync(SEQUENCE, 'utf8').split('\n').forEach((text) => {
  if (text === '' || text.startsWith('#')) return;
  const [dynasty, eras] = text.split('\t');
  for (const era of eras.split(' ')) expected.push({ dynasty, era: era === EMPTY_ERA ? '' : era });
});
const listed = records.slice(REIGN_RECORDS, RECORD_COUNT - 2);
if (expected.length !== listed.length) fail(`era_sequence.txt lists ${expected.length} eras, eras.tsv ${listed.length}`);
listed.forEach((r, i) => {
  const e = expected[i];
  if (e && (r.dynasty !== e.dynasty || r.era !== e.era)) {
    fail(`${r.where}: ${r.dynasty} ${r.era || EMPTY_ERA}, era_sequence.txt has ${e.dynasty} ${e.era || EMPTY_ERA}`);
  }
});

// Within a run of one dynasty: in order of start, no gap that is not declared,
// and at most the year of a change shared, unless the next record is a rival
// court's.
for (let i = 1; i < records.length; ++i) {
  const p = records[i - 1];
  const r = records[i];
  if (p.dynasty !== r.dynasty) continue;
  if (r.start < p.start) fail(`${r.where}: starts before the record above`);
  if (r.start > end(p) + 1) {
    const g = gaps.find((x) => x.first === end(p) + 1 && x.last === r.start - 1);
    if (g) g.used = true;
    else fail(`${r.where}: ${r.dynasty} has no record for ${end(p) + 1}..${r.start - 1}`);
  }
  if (r.start < end(p)) {
    const rival = rivals.find((x) => x.start === r.start && x.era === r.era);
    if (rival) rival.used = true;
    else fail(`${r.where}: shares ${end(p) - r.start + 1} years with the record above`);
  }
}
for (const g of gaps) if (!g.used) fail(`${g.where}: no such gap in the table`);
for (const x of rivals) if (!x.used) fail(`${x.where}: no such rival record`);

// Every year from the first record on has a record, but for the declared gaps.
const first = records[0] ? records[0].start : 0;
const last = Math.max(...records.map(end));
const covered = new Uint8Array(last - first + 1);
for (const r of records) covered.fill(1, r.start - first, end(r) - first + 1);
const missing = [];
covered.forEach((c, i) => {
  const y = first + i;
  if (!c && !gaps.some((g) => g.first <= y && y <= g.last)) missing.push(y);
});
if (missing.length) fail(`no record for the years ${missing.slice(0, 10).join(', ')}${missing.length > 10 ? ' ...' : ''}`);

let overlaps = 0;
for (let i = 1; i < records.length; ++i) {
  if (records[i].start < records[i - 1].start + records[i - 1].years) ++overlaps;
}
if (overlaps !== OVERLAPS) fail(`${overlaps} records start before the previous one ends, ${OVERLAPS} expected`);
done();

// ---------------------------------------------------------------- writing

function cString(s) {
  return '"' + s.replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"';
}
const rows = records.map(
  (r) => `    {${r.start}, ${r.years}, ${r.offset}, ${[r.dynasty, r.title, r.personalName, r.era].map(cString).join(', ')}},`);
const text = `// SPDX-License-Identifier: GPL-3.0-or-later
// Generated by tools/eras/gen_eras.js from tools/eras/eras.tsv; edit those, not this.
#include "calendar/eras.h"

namespace qd {

namespace {
const TEraRecord kRecords[] = {
${rows.join('\n')}
};
}  // namespace

std::span<const TEraRecord> EraTable() { return kRecords; }

}  // namespace qd
`;
fs.writeFileSync(out, text);
process.stdout.write(`${out}: ${records.length} records\n`);
