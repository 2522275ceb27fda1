#!/usr/bin/env node
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes calendar/ephemeris_tables.cpp: the truncated Earth (VSOP87D) and
// Moon (ELP/MPP02) coefficient tables the calendar's ephemeris evaluates.
//
//   cd tools/ephemeris && npm ci && node gen_ephemeris.js [output.cpp]
//
// Source data: the npm package astronomia (MIT licence), files
// data/vsop87Dearth.js and data/elpMppDe.js.
//
// Earth: astronomia keeps each VSOP87D term as [A, phi, omega] for
// A*cos(phi + omega*tau), A in AU or radians, tau in Julian millennia, in the
// published file's order. We keep that order, take the first N terms of each
// power series and write A in units of 1e-10 (the decimal point is shifted
// in the text, so no rounding enters).
//
// Moon: astronomia keeps each ELP/MPP02 term as [A, p0, p1, p2, p3, p4] for
// A*sin(p0 + p1*T + p2*T^2 + p3*T^3 + p4*T^4), T in Julian centuries, A in
// arcseconds (longitude, latitude) or km (distance; stored as sines with p0
// raised by pi/2), sorted by amplitude. The calendar evaluates
// A*cos(phi + omega*T + c2*T^2/1e4 + c3*T^3/1e8 + c4*T^4/1e8), so
// phi = p0 - pi/2 reduced to [0, 2pi), omega = p1, c2 = p2*1e4,
// c3 = p3*1e8, c4 = p4*1e8. Units and the per-century frequencies already
// match and are kept.
'use strict';

const fs = require('fs');
const path = require('path');

// Found through Node's resolver, so that NODE_PATH can point at an install
// outside this folder (the freshness test installs into the build folder).
const pkgDir = path.dirname(require.resolve('astronomia/package.json'));
const pkg = JSON.parse(fs.readFileSync(path.join(pkgDir, 'package.json'), 'utf8'));

// The data files are ES modules ("const m = {...}; export default m;");
// they hold a plain object literal, so evaluate that literal directly.
function loadData(file) {
  const text = fs.readFileSync(path.join(pkgDir, 'data', file), 'utf8');
  const body = text.replace(/export\s+default\s+m\s*;?\s*$/m, '');
  return new Function(body + '\nreturn m;')();
}

const earth = loadData('vsop87Dearth.js');
const moon = loadData('elpMppDe.js');

// Terms per power series t^0 .. t^5.
const EARTH_COUNTS = {
  L: [186, 114, 60, 8, 4, 4],
  B: [23, 3, 1, 0, 0, 0],
  R: [236, 142, 85, 5, 9, 2],
};
// Terms per power series t^0 .. t^3.
const MOON_COUNTS = {
  L: [442, 149, 34, 2],
  B: [206, 45, 12, 0],
  R: [221, 52, 12, 0],
};
const MOON_BLOCK = 2660;  // doubles reserved per Moon power series
const EARTH_SCALE_EXP = 10;

// Exact decimal text of x * 10^p, from the shortest text that round-trips x.
function shiftDecimal(x, p) {
  let s = String(x);
  let sign = '';
  if (s[0] === '-') { sign = '-'; s = s.slice(1); }
  let exp = 0;
  const e = s.indexOf('e');
  if (e >= 0) { exp = parseInt(s.slice(e + 1), 10); s = s.slice(0, e); }
  let intPart = s, frac = '';
  const dot = s.indexOf('.');
  if (dot >= 0) { intPart = s.slice(0, dot); frac = s.slice(dot + 1); }
  let digits = intPart + frac;
  let point = intPart.length + exp + p;  // position of the decimal point in digits
  while (point > digits.length) digits += '0';
  while (point < 1) { digits = '0' + digits; point += 1; }
  let ip = digits.slice(0, point).replace(/^0+(?=\d)/, '');
  let fp = digits.slice(point).replace(/0+$/, '');
  const out = fp ? ip + '.' + fp : ip;
  return (sign && /[1-9]/.test(out) ? sign : '') + out;
}

function num(x) {
  if (Object.is(x, -0)) return '0';
  return String(x);
}

function buildEarth() {
  const offsets = [];
  const lines = [];
  let pos = 20;
  offsets.push(pos);
  for (const c of ['L', 'B', 'R']) {
    for (let i = 0; i < 6; i++) {
      const n = EARTH_COUNTS[c][i];
      const src = earth[c][String(i)] || [];
      if (src.length < n) throw new Error(`Earth ${c}${i}: ${src.length} terms, need ${n}`);
      if (n > 0) lines.push(`    // ${c} t^${i}: ${n} of ${src.length} terms`);
      for (let k = 0; k < n; k++) {
        const [a, phi, omega] = src[k];
        lines.push(`    ${shiftDecimal(a, EARTH_SCALE_EXP)}, ${num(phi)}, ${num(omega)},`);
      }
      pos += 3 * n;
      offsets.push(pos);
    }
  }
  // Seven offsets per coordinate, the last shared with the next coordinate.
  const L = offsets.slice(0, 7), B = offsets.slice(6, 13), R = offsets.slice(12, 19);
  const expected = {
    L: [20, 578, 920, 1100, 1124, 1136, 1148],
    B: [1148, 1217, 1226, 1229, 1229, 1229, 1229],
    R: [1229, 1937, 2363, 2618, 2633, 2660, 2666],
  };
  for (const [name, got] of [['L', L], ['B', B], ['R', R]]) {
    if (got.join() !== expected[name].join()) throw new Error(`Earth ${name} offsets ${got}`);
  }
  const head = [
    `    1e10,`,
    `    ${L.join(', ')},`,
    `    ${B.slice(1).join(', ')},`,
    `    ${R.slice(1).join(', ')},`,
  ];
  return { size: pos, text: head.concat(lines).join('\n') };
}

function moonPhase(p0) {
  let phi = p0 - Math.PI / 2;
  if (phi < 0) phi += 2 * Math.PI;
  return phi;
}

function buildMoon() {
  const blocks = [];
  const lengths = [];
  for (const c of ['L', 'B', 'R']) {
    const coordBlocks = [];
    const coordLengths = [];
    for (let i = 0; i < 4; i++) {
      const n = MOON_COUNTS[c][i];
      const src = moon[c][String(i)] || [];
      if (src.length < n) throw new Error(`Moon ${c}${i}: ${src.length} terms, need ${n}`);
      for (let k = 1; k < n; k++) {
        if (Math.abs(src[k][0]) > Math.abs(src[k - 1][0])) throw new Error(`Moon ${c}${i} not sorted`);
      }
      if (6 * n > MOON_BLOCK) throw new Error(`Moon ${c}${i} overflows its block`);
      const rows = [];
      for (let k = 0; k < n; k++) {
        const [a, p0, p1, p2, p3, p4] = src[k];
        rows.push(`            ${num(a)}, ${num(moonPhase(p0))}, ${num(p1)}, ` +
                  `${num(p2 * 1e4)}, ${num(p3 * 1e8)}, ${num(p4 * 1e8)},`);
      }
      const label = `        // ${c} t^${i}: ${n} of ${src.length} terms`;
      coordBlocks.push(rows.length ? `${label}\n        {\n${rows.join('\n')}\n        },` : `${label}\n        {},`);
      coordLengths.push(6 * n);
    }
    blocks.push(`    {\n${coordBlocks.join('\n')}\n    },`);
    lengths.push(`    {${coordLengths.join(', ')}},`);
  }
  return { text: blocks.join('\n'), lengths: lengths.join('\n') };
}

const e = buildEarth();
const m = buildMoon();

const out = `// SPDX-License-Identifier: GPL-3.0-or-later
// GENERATED FILE - do not edit by hand.
// Written by tools/ephemeris/gen_ephemeris.js (cd tools/ephemeris && npm install
// && node gen_ephemeris.js) from the npm package ${pkg.name} ${pkg.version} (MIT
// licence): data/vsop87Dearth.js (VSOP87D, Bretagnon & Francou, Bureau des
// Longitudes) and data/elpMppDe.js (ELP/MPP02 fitted to DE405, Chapront &
// Francou). See data/NOTICE.
//
// Earth: element 0 the amplitude scale, elements 1-19 the start offsets of
// the power series t^0..t^5 of L, B and R, then terms (A * 1e10, phi, omega
// per Julian millennium) in the published order, first N terms of each.
// Moon: longitude, latitude (arcseconds) and distance (km), four power
// series each in a fixed block; terms (A, phi, omega, c2, c3, c4) for
// A*cos(phi + omega*T + c2*T^2/1e4 + c3*T^3/1e8 + c4*T^4/1e8), T in Julian
// centuries, by decreasing amplitude.
#include "calendar/ephemeris_tables.h"

namespace qd::eph {

const double kEarthSeries[kEarthSeriesSize] = {
${e.text}
};

const double kMoonSeries[3][4][kMoonBlock] = {
${m.text}
};

const int kMoonSeriesLength[3][4] = {
${m.lengths}
};

}  // namespace qd::eph
`;

if (e.size !== 2666) throw new Error(`Earth array size ${e.size}`);
const target = process.argv[2] ||
  path.resolve(__dirname, '..', '..', 'calendar', 'ephemeris_tables.cpp');
fs.writeFileSync(target, out);
console.log(`wrote ${target}`);
