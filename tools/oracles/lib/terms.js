// SPDX-License-Identifier: GPL-3.0-or-later

'use strict';
// Solar-term instants from astronomy-engine. Term K (0 = 小寒 … 23 = 冬至)
// lies at apparent solar longitude 285° + 15°·K; every term of a civil year
// falls inside that year, 小寒 near January 5.
const { DAY_MS } = require('./civil');
const Astronomy = require('astronomy-engine');

const CHINA_MS = 8 * 3600000;

function termLongitude(k) {
  return (285 + 15 * k) % 360;
}

// Instant of term k of civil year y as milliseconds of UTC+8 civil time
// (astronomy-engine works in UT, with its own ΔT model).
function termInstantChinaMs(y, k) {
  const guess = Date.UTC(y, 0, 5) + 15.2184 * k * DAY_MS;
  const t = Astronomy.SearchSunLongitude(termLongitude(k), new Date(guess - 6 * DAY_MS), 12);
  if (!t) throw new Error(`no term ${k} found for ${y}`);
  return t.date.getTime() + CHINA_MS;
}

// The ΔT (TT − UT, seconds) astronomy-engine used for that instant.
function termDeltaT(y, k) {
  const guess = Date.UTC(y, 0, 5) + 15.2184 * k * DAY_MS;
  const t = Astronomy.SearchSunLongitude(termLongitude(k), new Date(guess - 6 * DAY_MS), 12);
  return (t.tt - t.ut) * 86400;
}

module.exports = { termLongitude, termInstantChinaMs, termDeltaT };
