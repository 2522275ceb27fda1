#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes data/dat/dili.ini (GBK): one section per province; in each, the
// prefecture-level divisions of echarts' province maps, each followed by
// those of its county-level divisions whose seat could be placed with
// confidence (see seats.js); value "D:M*d:m" rounded to the minute.
//
//   cd tools/places && npm ci && node gen_dili.js [OUT] [--log FILE]
//
// OUT defaults to data/dat/dili.ini; --log writes every county with the
// place taken for its seat or the reason it was left out. The output
// depends only on the pinned packages, so a second run writes the same
// bytes; nothing is fetched once node_modules is installed.
'use strict';
const fs = require('fs');
const path = require('path');
const iconv = require('iconv-lite');
const { centroid } = require('./geometry');
const { loadDivisions } = require('./divisions');
const { keyOf, shortPrefecture, checkKey, kMaxKeyChars, chars } = require('./names');
const { loadPlaces, findSeats } = require('./seats');

const args = process.argv.slice(2);
const logAt = args.indexOf('--log');
const logFile = logAt >= 0 ? args.splice(logAt, 2)[1] : null;
const out = args[0] || path.join(__dirname, '../../data/dat/dili.ini');

// Degrees and minutes rounded to the nearest minute; minutes carry the sign
// of nothing, so negative degrees keep positive minutes.
function dm(v) {
  const total = Math.round(v * 60);
  const d = Math.floor(total / 60), m = total - d * 60;
  return `${d}:${m}`;
}

// Where a map entry stands: its centre point, else its recorded position,
// else the centroid of its outline.
function entryPoint(e) {
  if (e.props.cp) return e.props.cp;
  if (typeof e.props.longitude === 'number') return [e.props.longitude, e.props.latitude];
  return centroid(e.polys);
}

// Keys of a province's counties: the name, or where it occurs twice in the
// province (among all its counties, placed or not) or equals an entry's
// key, the prefecture's short name in front (南京鼓楼区, 徐州鼓楼区).
function countyKeys(province) {
  const seen = new Map();
  const count = (k) => seen.set(k, (seen.get(k) || 0) + 1);
  province.entries.forEach((e) => count(keyOf(e.name)));
  province.units.forEach((u) => count(keyOf(u.name)));
  for (const u of province.units) {
    let key = keyOf(u.name);
    if (seen.get(key) > 1) {
      if (!u.prefecture) throw new Error(`${province.section}: ${u.name} twice, no prefecture to tell them apart`);
      key = shortPrefecture(keyOf(u.prefecture)) + key;
      if (chars(key) > kMaxKeyChars) throw new Error(`${province.section}: ${key} longer than ${kMaxKeyChars}`);
    }
    u.key = checkKey(key, province.section);
  }
}

const provinces = loadDivisions();
const places = loadPlaces(new Set(['CN', 'TW']));
const units = provinces.flatMap((p) => p.units);
findSeats(units, places);

let text = '';
let entries = 0;
const coverage = [];
for (const p of provinces) {
  countyKeys(p);
  text += `[${p.section}]\r\n`;
  const keys = new Set();
  const line = (key, lon, lat) => {
    if (keys.has(key)) throw new Error(`${p.section}: ${key} twice`);
    keys.add(key);
    text += `${key}=${dm(lon)}*${dm(lat)}\r\n`;
    entries++;
  };
  for (const e of p.entries) {
    const [lon, lat] = entryPoint(e);
    line(checkKey(keyOf(e.name), p.section), lon, lat);
    for (const u of p.units.filter((x) => x.entry === e && x.seat)) line(u.key, u.seat.lon, u.seat.lat);
  }
  text += '\r\n';
  const placed = p.units.filter((u) => u.seat).length;
  coverage.push({ section: p.section, entries: p.entries.length, placed, total: p.units.length });
}

fs.mkdirSync(path.dirname(out), { recursive: true });
fs.writeFileSync(out, iconv.encode(text, 'gbk'));

if (logFile) {
  const rows = units.map((u) => [u.code, u.key, u.seat ? `${u.seat.lon.toFixed(4)} ${u.seat.lat.toFixed(4)}` : '-',
    u.seat ? `${u.seat.how} ${u.seat.place.feature} ${u.seat.place.id} ${u.seat.place.name}` : u.rejected].join('\t'));
  fs.writeFileSync(logFile, rows.join('\n') + '\n');
}

for (const c of coverage) {
  console.log(`${c.section}\t${c.entries} entries\t${c.placed} of ${c.total} counties`);
}
const placed = coverage.reduce((s, c) => s + c.placed, 0);
console.log(`${out}: ${provinces.length} provinces, ${entries} places, ${placed} of ${units.length} counties placed`);
