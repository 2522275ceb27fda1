// Coefficient tables behind the ephemeris. The series tables are generated
// (ephemeris_tables.cpp, by tools/ephemeris/gen_ephemeris.js); Delta T and
// nutation are short fixed tables (ephemeris_small_tables.cpp).
#pragma once

namespace qd::eph {

// Earth, truncated VSOP87D. [0] amplitude scale; [1..19] start offsets of the
// power series t^0..t^5 of L ([1..7]), B ([7..13]) and R ([13..19]), each list
// sharing its last entry with the next; then (A, phi, omega) triples for
// A*cos(phi + omega*tau), tau in Julian millennia.
inline constexpr int kEarthSeriesSize = 2666;
extern const double kEarthSeries[kEarthSeriesSize];

// Moon, truncated ELP/MPP02: [coordinate][power][doubles], coordinates
// longitude, latitude (arcseconds), distance (km); powers t^0..t^3. Terms
// (A, phi, omega, c2, c3, c4) for
// A*cos(phi + omega*T + c2*T^2/1e4 + c3*T^3/1e8 + c4*T^4/1e8).
inline constexpr int kMoonBlock = 2660;
extern const double kMoonSeries[3][4][kMoonBlock];
// Used length of each block, in doubles.
extern const int kMoonSeriesLength[3][4];

// Delta T in seconds: rows (start year, a0, a1, a2, a3), then the last
// table year and its value.
inline constexpr int kDeltaTSize = 102;
extern const double kDeltaT[kDeltaTSize];

// Nutation in longitude: rows (phi, omega, c, A in 0.01 arcseconds) for
// A*sin(phi + omega*T + c*T^2).
inline constexpr int kNutationRows = 10;
extern const double kNutation[kNutationRows][4];

}  // namespace qd::eph
