// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Civil-date helpers shared by the oracle scripts. Every library here builds
// local-time Date objects from y/m/d, so the process runs in UTC to keep a
// local midnight from ever landing on a DST gap or another day.
process.env.TZ = 'UTC';

const DAY_MS = 86400000;

// Days since 1970-01-01 of a Gregorian date.
function dayNumber(y, m, d) {
  return Math.round(Date.UTC(y, m - 1, d) / DAY_MS);
}

function ymdOf(n) {
  const t = new Date(n * DAY_MS);
  return { y: t.getUTCFullYear(), m: t.getUTCMonth() + 1, d: t.getUTCDate() };
}

const pad = (v, w = 2) => String(v).padStart(w, '0');

function isoOf(n) {
  const { y, m, d } = ymdOf(n);
  return `${pad(y, 4)}-${pad(m)}-${pad(d)}`;
}

module.exports = { DAY_MS, dayNumber, ymdOf, isoOf, pad };
