// SPDX-License-Identifier: GPL-3.0-or-later
// Outlines of the divisions in echarts' province maps, and the tests the
// seat matching puts to a point: inside an outline, or close to its edge.
'use strict';

// echarts' compact geometry: zigzag-encoded deltas, two characters a point.
function decodeRing(ring, offsets, scale) {
  if (typeof ring !== 'string') return ring;
  const pts = [];
  let px = offsets[0], py = offsets[1];
  for (let i = 0; i < ring.length; i += 2) {
    let x = ring.charCodeAt(i) - 64, y = ring.charCodeAt(i + 1) - 64;
    x = (x >> 1) ^ (-(x & 1));
    y = (y >> 1) ^ (-(y & 1));
    x += px; y += py; px = x; py = y;
    pts.push([x / scale, y / scale]);
  }
  return pts;
}

// Polygons of a feature, each an outer ring followed by its holes; empty
// geometries (a division drawn in a second feature) give none.
function polygonsOf(feature, scale) {
  const g = feature.geometry;
  const enc = g.encodeOffsets;
  const polys = g.type === 'Polygon'
    ? [g.coordinates.map((r, i) => decodeRing(r, enc ? enc[i] : null, scale))]
    : g.coordinates.map((poly, p) => poly.map((r, i) => decodeRing(r, enc ? enc[p][i] : null, scale)));
  return polys.filter((p) => p.length && p[0].length);
}

// Area-weighted centroid of the outer rings (the largest landmass dominates).
function centroid(polys) {
  let a = 0, cx = 0, cy = 0;
  for (const poly of polys) {
    const r = poly[0];
    for (let i = 0, j = r.length - 1; i < r.length; j = i++) {
      const f = r[j][0] * r[i][1] - r[i][0] * r[j][1];
      a += f; cx += (r[j][0] + r[i][0]) * f; cy += (r[j][1] + r[i][1]) * f;
    }
  }
  return [cx / (3 * a), cy / (3 * a)];
}

function insideRing(x, y, r) {
  let c = false;
  for (let i = 0, j = r.length - 1; i < r.length; j = i++) {
    const [xi, yi] = r[i], [xj, yj] = r[j];
    if ((yi > y) !== (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) c = !c;
  }
  return c;
}

function inside(x, y, polys) {
  return polys.some((p) => insideRing(x, y, p[0]) && !p.slice(1).some((h) => insideRing(x, y, h)));
}

// Kilometres between two points { lon, lat } (equirectangular, good enough
// over the tens of kilometres compared here).
function km(a, b) {
  const k = Math.cos(((a.lat + b.lat) / 2) * Math.PI / 180);
  return 111.2 * Math.hypot((a.lon - b.lon) * k, a.lat - b.lat);
}

// Distance in kilometres from a point to the nearest edge of the outlines.
function kmToEdge(x, y, polys) {
  const k = Math.cos(y * Math.PI / 180);
  let best = Infinity;
  for (const p of polys) {
    for (const r of p) {
      for (let i = 0, j = r.length - 1; i < r.length; j = i++) {
        const ax = (r[j][0] - x) * k, ay = r[j][1] - y;
        const dx = (r[i][0] - r[j][0]) * k, dy = r[i][1] - r[j][1];
        const len = dx * dx + dy * dy;
        const t = len ? Math.max(0, Math.min(1, -(ax * dx + ay * dy) / len)) : 0;
        best = Math.min(best, Math.hypot(ax + t * dx, ay + t * dy));
      }
    }
  }
  return best * 111.2;
}

// Inside the outlines, or at most `toleranceKm` outside them: the map
// outlines are simplified, and a seat on the coast or on the border may
// fall just outside.
function within(pt, polys, toleranceKm) {
  return inside(pt.lon, pt.lat, polys) || kmToEdge(pt.lon, pt.lat, polys) <= toleranceKm;
}

module.exports = { polygonsOf, centroid, km, within };
