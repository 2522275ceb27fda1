// SPDX-License-Identifier: GPL-3.0-or-later
// Coefficient tables behind the ephemeris (ephemeris.cpp). The series tables
// are generated into ephemeris_tables.cpp by tools/ephemeris/gen_ephemeris.js
// from the data files of the npm package astronomia 4.3.0 (MIT licence; see
// data/NOTICE); Delta T and nutation are short fixed tables
// (ephemeris_small_tables.cpp).
#pragma once

namespace qd::eph {

// Earth, truncated VSOP87D (Bretagnon & Francou 1988, Astron. Astrophys.
// 202, 309): heliocentric longitude L and latitude B (radians) and radius R
// (AU), mean ecliptic and equinox of date. [0] amplitude scale 1e10; [1..19]
// start offsets of the power series t^0..t^5 of L ([1..7]), B ([7..13]) and
// R ([13..19]), each list sharing its last entry with the next; then
// (A, phi, omega) triples for A*cos(phi + omega*tau): A in units of 1e-10 rad
// or AU, phi in radians, omega in radians per Julian millennium, tau in
// Julian millennia (TT) from J2000. Terms in the published order, largest
// first.
inline constexpr int kEarthSeriesSize = 2666;
extern const double kEarthSeries[kEarthSeriesSize];

// Moon, truncated ELP/MPP02 in its fit to DE405 (Chapront & Francou 2003,
// Astron. Astrophys. 404, 735): [coordinate][power][doubles], coordinates
// geocentric longitude, latitude (arcseconds; the longitude without the mean
// longitude W1 and precession, which MoonSeries adds) and distance (km);
// powers T^0..T^3. Terms (A, phi, omega, c2, c3, c4) for
// A*cos(phi + omega*T + c2*T^2/1e4 + c3*T^3/1e8 + c4*T^4/1e8), phi in
// radians, T in Julian centuries (TT) from J2000, by decreasing amplitude.
inline constexpr int kMoonBlock = 2660;
extern const double kMoonSeries[3][4][kMoonBlock];
// Used length of each block, in doubles.
extern const int kMoonSeriesLength[3][4];

// Delta T in seconds: rows (start year, a0, a1, a2, a3), then the last
// table year and its value. Sources in ephemeris_small_tables.cpp.
inline constexpr int kDeltaTSize = 102;
extern const double kDeltaT[kDeltaTSize];

// Nutation in longitude, the ten largest terms of IAU 1980: rows (phi,
// omega, c, A in 0.01 arcseconds) for A*sin(phi + omega*T + c*T^2).
inline constexpr int kNutationRows = 10;
extern const double kNutation[kNutationRows][4];

}  // namespace qd::eph
