// SPDX-License-Identifier: GPL-3.0-or-later
// Delta T and nutation tables of the ephemeris, read by DeltaT and
// NutationLongitude in ephemeris.cpp (units and sources there and below).
#include "calendar/ephemeris_tables.h"

namespace qd::eph {

// Delta T = TT - UT1 in seconds. Rows (start year, a0, a1, a2, a3):
// Delta T = a0 + a1 t1 + a2 t1^2 + a3 t1^3 with t1 = 10 * (y - start) /
// (next start - start), so a0 is the value at the start year. After the
// last full row, the pair (last table year, its value) anchors the parabolic
// extrapolation.
//
// Sources: the knots follow the historical Delta T of Morrison & Stephenson
// (2004, J. Hist. Astron. 35, 327) within 5 s from -400 to 1600 (11 s at
// -500), and the measured Delta T within 1.5 s from 1650 to 2015. The row of
// 1600 is the 1600-1700 polynomial of Espenak & Meeus (2006, NASA/TP-2006-
// 214141), 120 - 0.9808 t - 0.01532 t^2 + t^3/7129 with t = y - 1600,
// rewritten in t1. The 69.0 s of 2015 was a forecast (measured: 67.6 s).
// clang-format off
const double kDeltaT[kDeltaTSize] = {
    -4000, 108371.7, -13036.80, 392.000, 0.0000,
    -500,  17201.0,  -627.82,   16.170,  -0.3413,
    -150,  12200.6,  -346.41,   5.403,   -0.1593,
    150,   9113.8,   -328.13,   -1.647,  0.0377,
    500,   5707.5,   -391.41,   0.915,   0.3145,
    900,   2203.4,   -283.45,   13.034,  -0.1778,
    1300,  490.1,    -57.35,    2.085,   -0.0072,
    1600,  120.0,    -9.81,     -1.532,  0.1403,
    1700,  10.2,     -0.91,     0.510,   -0.0370,
    1800,  13.4,     -0.72,     0.202,   -0.0193,
    1830,  7.8,      -1.81,     0.416,   -0.0247,
    1860,  8.3,      -0.13,     -0.406,  0.0292,
    1880,  -5.4,     0.32,      -0.183,  0.0173,
    1900,  -2.3,     2.06,      0.169,   -0.0135,
    1920,  21.2,     1.69,      -0.304,  0.0167,
    1940,  24.2,     1.22,      -0.064,  0.0031,
    1960,  33.2,     0.51,      0.231,   -0.0109,
    1980,  51.0,     1.29,      -0.026,  0.0032,
    2000,  63.87,    0.10,      0,       0,
    2005,  64.7,     0.40,      0,       0,
    2015,  69.0,
};
// clang-format on

// Nutation in longitude: the ten largest terms of the IAU 1980 theory
// (Seidelmann 1982, Celest. Mech. 27, 79), rows (phi, omega, c, A) for
// A sin(phi + omega T + c T^2); phi in radians, omega in radians per Julian
// century, A in 0.01" (-17.1996", -1.3187", -0.2274", 0.2062", 0.1426",
// 0.0712", -0.0517", -0.0386", -0.0301", 0.0217" rounded). The arguments,
// in row order: the Moon's node Omega, 2 L(Sun), 2 L(Moon), 2 Omega, the
// Sun's mean anomaly M (written as -sin(-M)), the Moon's mean anomaly M',
// 2 L(Sun) + M, 2 L(Moon) - Omega, 2 L(Moon) + M', 2 L(Sun) - M. The first
// term's secular part, -0.01742" T, is added in NutationLongitude.
const double kNutation[kNutationRows][4] = {
    {2.1824, -33.75705, 3.6e-5, -1720},
    {3.5069, 1256.66393, 1.1e-5, -132},
    {1.3375, 16799.4182, -5.1e-5, -23},
    {4.3649, -67.5141, 7.2e-5, 21},
    {0.04, -628.302, 0, -14},
    {2.36, 8328.691, 0, 7},
    {3.46, 1884.966, 0, -5},
    {5.44, 16833.175, 0, -4},
    {3.69, 25128.11, 0, -3},
    {3.55, 628.362, 0, 2},
};

}  // namespace qd::eph
