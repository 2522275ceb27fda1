// SPDX-License-Identifier: GPL-3.0-or-later
// Sun and Moon ephemeris: truncated VSOP87D (Earth) and ELP/MPP02 (Moon)
// series with nutation, aberration and Delta T, and the solvers that find
// the instants of solar terms and new moons. Stateless; angles in radians,
// T in Julian centuries of dynamical time since J2000.
#pragma once

namespace qd::eph {

// The calendar's own value of pi; every angle is formed with it so that the
// day boundaries stay where the tables were fitted.
constexpr double kPi = 3.14159265;
constexpr double kPi2 = 2 * kPi;
constexpr double kRad = 648000.0 / kPi;  // arcseconds per radian
constexpr double kZone = 8.0 / 24.0;     // civil time is UTC+8

double DeltaT(double year);   // seconds
double DeltaTDays(double d);  // days, d = days since J2000

// coord 0 L, 1 B (radians), 2 R (AU); n terms of the main series, n < 0 all.
double EarthSeries(int coord, double T, int n);
// Terms of power series `power` (0..5) of coord that EarthSeries sums for n.
int EarthSeriesTermCount(int coord, int power, int n);
// coord 0 longitude, 1 latitude (radians), 2 distance (km).
double MoonSeries(int coord, double T, int n);

double NutationLongitude(double T);
double MeanObliquity(double T);
double SunAberration(double T);
double MoonAberration();
double ApparentSunLongitude(double T, int n);
double MoonSunElongation(double T, int nMoon, int nSun);
double EarthSpeed(double T);
double MoonSpeed(double T);

// T at which the apparent solar longitude, or the elongation, equals W
// (W counts whole turns from the epoch).
double SunLongitudeTime(double W);
double ElongationTime(double W);
double SunLongitudeTimeFast(double W);
double ElongationTimeFast(double W);

// Calendar instants in days since J2000, civil time UTC+8, not rounded.
double SolarTermLow(double W);
double NewMoonLow(double W);
double SolarTermHigh(double W);
double NewMoonHigh(double W);

// Apparent minus mean solar time, in days.
double EquationOfTime(double T);

double NormAngle(double x);        // [0, 2pi)
double NormAngleSigned(double x);  // (-pi, pi]
void EclipticToEquatorial(double lon, double lat, double eps, double& ra, double& dec);

}  // namespace qd::eph
