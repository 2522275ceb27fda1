// SPDX-License-Identifier: GPL-3.0-or-later
// Sun and Moon ephemeris: the instants of solar terms and new moons and the
// equation of time that the calendar needs.
//
// The Earth is a truncation of VSOP87D [1] and the Moon of ELP/MPP02 [2]
// (tables in ephemeris_tables.cpp); nutation, aberration, the mean obliquity
// and Delta T are short formulas and tables (ephemeris_small_tables.cpp).
// Everything here is stateless and may be called from any thread.
//
// Conventions of this file:
//   T        Julian centuries of dynamical time (TT) since J2000.0:
//            T = (JD(TT) - 2451545) / 36525; tau = T / 10 in Julian millennia.
//   angles   radians, unless a formula says arcseconds (divided by kRad).
//   W        a target angle that also counts whole turns from the epoch:
//            W = 2*pi*k + lambda selects the k-th crossing. Pass it unreduced.
//   instant  days since J2000 in civil time UTC+8,
//            36525*T + 8/24 - Delta T (in days).
// The term counts passed to the series are the precision control: the
// solvers start with a handful of terms and use the full tables only in their
// last step, and the day-level solvers evaluate the series only when an
// instant falls near midnight. kPi is 3.14159265, not the full constant
// (ephemeris.h): the day boundaries were fitted with it.
//
// References (cited by number below):
//   [1] Bretagnon, P., Francou, G., 1988, "Planetary theories in rectangular
//       and spherical variables. VSOP87 solutions", Astron. Astrophys. 202,
//       309-315. VSOP87D: heliocentric ecliptic coordinates, equinox of date.
//   [2] Chapront, J., Francou, G., 2003, "The lunar theory ELP revisited.
//       Introduction of new planetary perturbations", Astron. Astrophys. 404,
//       735-742. ELP/MPP02 in its version fitted to DE405.
//   [3] Seidelmann, P.K., 1982, "1980 IAU theory of nutation: the final report
//       of the IAU Working Group on Nutation", Celest. Mech. 27, 79-106.
//   [4] Hilton, J.L. et al., 2006, "Report of the IAU Division I Working Group
//       on Precession and the Ecliptic", Celest. Mech. Dyn. Astr. 94, 351-367.
//   [5] Simon, J.L. et al., 1994, "Numerical expressions for precession
//       formulae and mean elements for the Moon and the planets", Astron.
//       Astrophys. 282, 663-683.
//   [6] Meeus, J., 1998, Astronomical Algorithms, 2nd ed., Willmann-Bell.
//   [7] Morrison, L.V., Stephenson, F.R., 2004, "Historical values of the
//       Earth's clock error Delta T and the calculation of eclipses",
//       J. Hist. Astron. 35, 327-336.
//   [8] Espenak, F., Meeus, J., 2006, Five Millennium Canon of Solar Eclipses:
//       -1999 to +3000, NASA/TP-2006-214141.
// The series coefficients come from the npm package astronomia 4.3.0 (MIT
// licence), files data/vsop87Dearth.js and data/elpMppDe.js, through
// tools/ephemeris/gen_ephemeris.js; see data/NOTICE.
#include "calendar/ephemeris.h"

#include <cmath>

#include "calendar/ephemeris_tables.h"

namespace qd::eph {

namespace {

// Days per Julian century.
constexpr double kCentury = 36525.0;
// Mean motion of the Sun in longitude, equinox of date, rad per century
// (VSOP87's own linear rate is 628.3319667).
constexpr double kEarthRate = 628.3319653318;
// Mean motion of the Moon's elongation from the Sun, rad per century: the
// rate of the Moon's mean longitude W1 of [2], plus the general precession of
// [5] (5028.792262"), minus kEarthRate.
constexpr double kSynodicRate = 7771.37714500204;

// Start offset (in elements of kEarthSeries) of power series `power` (0..5)
// of coordinate `coord` (0 L, 1 B, 2 R); power + 1 gives its end.
int EarthStart(int coord, int power) { return static_cast<int>(kEarthSeries[coord * 6 + 1 + power]); }

// End offset (exclusive) of the terms EarthSeries sums for n: the same share
// of every power series as n terms are of the main one (3 more terms for the
// powers above 0), never past the series' end; n < 0 means all.
int EarthEnd(int coord, int power, int n) {
    const int start = EarthStart(coord, power);
    const int end = EarthStart(coord, power + 1);
    if (n < 0) return end;
    const int mainLen = EarthStart(coord, 1) - EarthStart(coord, 0);
    int last = static_cast<int>(std::floor(3.0 * n * (end - start) / mainLen + 0.5)) + start;
    if (power > 0) last += 3;
    return last < end ? last : end;
}

}  // namespace

// Delta T = TT - UT1.
//
// Given:    y   year, fractional (2000.5 is mid-2000), astronomical numbering
// Returned: Delta T in seconds
//
// Notes:
// 1. Before 2015 a piecewise cubic in t1 = 10 * (y - start) / (next start -
//    start) over the rows of kDeltaT; years before -4000 use the first row.
//    Its knots follow the historical reconstruction of [7] within 5 s from
//    -400 to 1600 (11 s at -500), and the measured Delta T within 1.5 s from
//    1650 to 2015; the row of 1600 is the 1600-1700 polynomial of [8].
// 2. From 2015 on, the parabola ext(y) = -20 + 31 u^2 s, u = (y - 1820)/100
//    (the form of [7], which has 32 u^2), joined linearly over a century to
//    the last table value: 69.0 s in 2015, a forecast; the measured value was
//    about 67.6 s, 69.4 s in 2020. After 2115 the parabola alone.
// 3. The short formulas (SolarTermLow, NewMoonLow) carry their own Delta T.
double DeltaT(double y) {
    const double y0 = kDeltaT[kDeltaTSize - 2];
    const double t0 = kDeltaT[kDeltaTSize - 1];
    if (y >= y0) {
        auto ext = [](double year) {
            const double u = (year - 1820) / 100;
            return -20 + 31 * u * u;
        };
        if (y > y0 + 100) return ext(y);
        return ext(y) - (ext(y0) - t0) * (y0 + 100 - y) / 100;
    }
    // Rows of five; the last full row starts 7 elements before the end.
    int i = 0;
    while (i + 5 < kDeltaTSize - 2 && y >= kDeltaT[i + 5]) i += 5;
    const double* r = kDeltaT + i;
    const double t1 = 10 * (y - r[0]) / (r[5] - r[0]);
    return r[1] + r[2] * t1 + r[3] * t1 * t1 + r[4] * t1 * t1 * t1;
}

// Delta T in days for d days since J2000 (Julian years of 365.2425 days).
double DeltaTDays(double d) { return DeltaT(d / 365.2425 + 2000) / 86400; }

// Number of terms of power series `power` of `coord` that EarthSeries sums
// for n (used by the tests that pin the truncation).
int EarthSeriesTermCount(int coord, int power, int n) {
    const int start = EarthStart(coord, power);
    const int end = EarthEnd(coord, power, n);
    return end > start ? (end - start + 2) / 3 : 0;
}

// Heliocentric ecliptic coordinate of the Earth, truncated VSOP87D [1].
//
// Given:    coord  0 longitude L, 1 latitude B, 2 radius vector R
//           T      Julian centuries (TT) since J2000
//           n      terms of the main (t^0) series; n < 0 all terms in the table
// Returned: L, B in radians (mean ecliptic and equinox of date), R in AU
//
// Notes:
// 1. Sum over powers i = 0..5 of tau^i * sum A cos(phi + omega tau), with
//    tau = T/10; the higher powers take the same share of their terms as n
//    is of the main series (EarthEnd). The terms stand in the published order,
//    largest first.
// 2. The table holds 186/114/60/8/4/4 terms of L, 23/3/1 of B and
//    236/142/85/5/9/2 of R (powers 0..5); amplitudes are stored * 1e10.
// 3. The final corrections (-0.0728" - 2.7702" tau ... in L) are empirical
//    and have no recorded source; they are not the dropped terms of the
//    series (those average under 0.01" over 1700-2300). The calendar's day
//    boundaries were fitted with them, so they stay.
double EarthSeries(int coord, double T, int n) {
    const double t = T / 10;
    double tn = 1;
    double total = 0;
    for (int i = 0; i < 6; i++, tn *= t) {
        const int start = EarthStart(coord, i);
        if (EarthStart(coord, i + 1) == start) continue;
        const int end = EarthEnd(coord, i, n);
        double sum = 0;
        for (int j = start; j < end; j += 3)
            sum += kEarthSeries[j] * std::cos(kEarthSeries[j + 1] + t * kEarthSeries[j + 2]);
        total += sum * tn;
    }
    total /= kEarthSeries[0];
    const double t2 = t * t, t3 = t2 * t;
    if (coord == 0) total += (-0.0728 - 2.7702 * t - 1.1019 * t2 - 0.0996 * t3) / kRad;
    if (coord == 1) total += (0.0004 * t + 0.0004 * t2 - 0.0026 * t3) / kRad;
    if (coord == 2) total += (-0.0020 + 0.0044 * t + 0.0213 * t2 - 0.0250 * t3) * 1e-6;
    return total;
}

// Geocentric ecliptic coordinate of the Moon, truncated ELP/MPP02 [2].
//
// Given:    coord  0 longitude, 1 latitude, 2 distance
//           T      Julian centuries (TT) since J2000
//           n      terms of the main (t^0) series; n < 0 all terms in the table
// Returned: longitude and latitude in radians, distance in km
//
// Notes:
// 1. Each term adds A cos(phi + omega T + c2 T^2/1e4 + c3 T^3/1e8 +
//    c4 T^4/1e8), A in arcseconds (km for the distance); powers T^0..T^3,
//    terms by decreasing amplitude, the higher powers taking the same share
//    of their terms as n is of the main series (6 more doubles each).
// 2. The longitude starts from the mean longitude W1 of the DE405 fit of [2]
//    (rounded from astronomia's data/elpMppDe.js) plus the general precession
//    in longitude p_A of [5], which refers it to the equinox of date.
// 3. The term added for T > 10 (after the year 3000) is an empirical
//    correction without a recorded source.
double MoonSeries(int coord, double T, int n) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    double total = 0;
    if (coord == 0) {
        // Mean longitude plus precession, which refers the series to the
        // equinox of date.
        total = (3.81034409 + 8399.684730072 * T - 3.319e-5 * T2 + 3.11e-8 * T3 - 2.033e-10 * T4) * kRad;
        total += 5028.792262 * T + 1.1124406 * T2 + 0.00007699 * T3 - 0.000023479 * T4 - 0.0000000178 * T5;
        if (T > 10) total += -0.866 + 1.43 * (T - 10) + 0.054 * (T - 10) * (T - 10);
    }
    const double q2 = T2 / 1e4, q3 = T3 / 1e8, q4 = T4 / 1e8;
    const int* len = kMoonSeriesLength[coord];
    n *= 6;
    if (n < 0) n = len[0];
    double tn = 1;
    for (int i = 0; i < 4; i++, tn *= T) {
        int N = static_cast<int>(std::floor(static_cast<double>(n) * len[i] / len[0] + 0.5));
        if (i > 0) N += 6;
        if (N > len[i]) N = len[i];
        const double* F = kMoonSeries[coord][i];
        double sum = 0;
        for (int j = 0; j < N; j += 6)
            sum += F[j] * std::cos(F[j + 1] + T * F[j + 2] + q2 * F[j + 3] + q3 * F[j + 4] + q4 * F[j + 5]);
        total += sum * tn;
    }
    if (coord != 2) total /= kRad;
    return total;
}

// Nutation in longitude, IAU 1980 theory [3], ten largest terms.
//
// Given:    T  Julian centuries (TT) since J2000
// Returned: Delta psi in radians
//
// Notes: kNutation holds the amplitudes rounded to 0.01"; the first term
// keeps its secular part, -17.1996" - 0.01742" T (the -1.742 here, in
// 0.01"). The largest term left out is 0.0158".
double NutationLongitude(double T) {
    const double T2 = T * T;
    double sum = 0;
    for (int i = 0; i < kNutationRows; i++) {
        const double* r = kNutation[i];
        const double a = i == 0 ? -1.742 * T : 0;
        sum += (r[3] + a) * std::sin(r[0] + r[1] * T + r[2] * T2);
    }
    return sum / 100 / kRad;
}

// Mean obliquity of the ecliptic, IAU 2006 [4].
//
// Given:    T  Julian centuries (TT) since J2000
// Returned: epsilon_A in radians (84381.406" at J2000)
double MeanObliquity(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    return (84381.406 - 46.836769 * T - 0.0001831 * T2 + 0.0020034 * T3 - 5.76e-7 * T4 - 4.34e-8 * T5) / kRad;
}

// Annual aberration of the Sun in longitude.
//
// Given:    T  Julian centuries (TT) since J2000
// Returned: radians (about -20.5")
//
// Notes: -kappa (1 + e cos v), first order of -kappa a/R, with the constant
// of aberration kappa = 20.49552" (IAU 1976), the eccentricity e of the
// Earth's orbit of [6] eq. 25.4 and v the Sun's mean anomaly (constant and
// rate of [6] eq. 25.3).
double SunAberration(double T) {
    const double T2 = T * T;
    const double v = -0.043126 + 628.301955 * T - 0.000002732 * T2;
    const double e = 0.016708634 - 0.000042037 * T - 0.0000001267 * T2;
    return -20.49552 * (1 + e * std::cos(v)) / kRad;
}

// Aberration of the Moon in longitude, a constant -3.4e-6 rad (-0.70"): its
// motion during the 1.3 s light time.
double MoonAberration() { return -3.4e-6; }

// Apparent geocentric longitude of the Sun, equinox of date, in radians:
// Earth's heliocentric L (n terms) + pi, with nutation and aberration.
double ApparentSunLongitude(double T, int n) {
    return EarthSeries(0, T, n) + NutationLongitude(T) + SunAberration(T) + kPi;
}

// Apparent longitude of the Moon minus that of the Sun, radians (zero at new
// moon). Nutation cancels in the difference and is left out.
double MoonSunElongation(double T, int nMoon, int nSun) {
    return MoonSeries(0, T, nMoon) + MoonAberration() - (EarthSeries(0, T, nSun) + SunAberration(T) + kPi);
}

// Rate of the Sun's longitude in radians per century: kEarthRate's mean
// value with the derivatives of the largest periodic terms of VSOP87 L [1]
// (21 = 0.0334166 * 628.3, the equation of centre). Newton steps only.
double EarthSpeed(double T) {
    const double f = 628.307585 * T;
    return 628.332 + 21 * std::sin(1.527 + f) + 0.44 * std::sin(1.48 + 2 * f) +
           0.129 * T * std::sin(5.82 + f) + 0.00055 * T * T * std::sin(4.21 + f);
}

// Rate of the Moon's longitude in radians per century: the mean rate with
// the derivatives of the largest terms of ELP/MPP02 [2] (914 = 22639.586"
// * 8328.69 / kRad). Newton steps only.
double MoonSpeed(double T) {
    return 8399.71 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
           (179 * std::sin(2.543 + 15542.7543 * T) + 160 * std::sin(0.1874 + 7214.0629 * T) +
            62 * std::sin(3.14 + 16657.3828 * T) + 34 * std::sin(4.827 + 16866.9323 * T) +
            22 * std::sin(4.9 + 23871.4457 * T) + 12 * std::sin(2.59 + 14914.4523 * T) +
            7 * std::sin(0.23 + 6585.7609 * T) + 5 * std::sin(0.9 + 25195.624 * T) +
            5 * std::sin(2.32 - 7700.3895 * T) + 5 * std::sin(3.88 + 8956.9934 * T) +
            5 * std::sin(0.49 + 7771.3771 * T));
}

// Instant at which the apparent solar longitude equals W.
//
// Given:    W  target longitude in radians, counting whole turns from the
//              epoch (0 is the March equinox of 1999, 2 pi that of 2000)
// Returned: T, Julian centuries (TT) since J2000
//
// Notes: fixed Newton steps without a convergence test, from the mean
// longitude at J2000 (1.75347 + pi): one with 10 terms, one with the whole
// table. The step count is part of the result, so the instants stay
// reproducible.
double SunLongitudeTime(double W) {
    double T = (W - 1.75347 - kPi) / kEarthRate;
    double v = EarthSpeed(T);
    T += (W - ApparentSunLongitude(T, 10)) / v;
    v = EarthSpeed(T);
    T += (W - ApparentSunLongitude(T, -1)) / v;
    return T;
}

// Instant at which the Moon-Sun elongation equals W (a new moon for
// W = 2 pi k).
//
// Given:    W  target elongation in radians, whole turns counted from the
//              new moon of 2000-01-07 (UTC+8); the start (W + 1.08472) / rate
//              uses the Moon's mean elongation at J2000, about -1.0847 rad
// Returned: T, Julian centuries (TT) since J2000
//
// Notes: a start from the mean motion, then fixed steps with 3, 20 and all
// lunar terms (3, 10 and 60 of the Earth); no convergence test, for
// reproducible instants.
double ElongationTime(double W) {
    double T = (W + 1.08472) / kSynodicRate;
    T += (W - MoonSunElongation(T, 3, 3)) / kSynodicRate;
    const double v = MoonSpeed(T) - EarthSpeed(T);
    T += (W - MoonSunElongation(T, 20, 10)) / v;
    T += (W - MoonSunElongation(T, -1, 60)) / v;
    return T;
}

// SunLongitudeTime from a short formula: the equation of centre of VSOP87
// [1] (0.0334166, 0.0002061 T), 8 Earth terms, aberration 20.5" and the
// principal nutation term 17.2" sin(Omega) [3]. Within about 7 minutes of
// SunLongitudeTime over 1900-2100: enough to decide a civil day away from
// midnight.
double SunLongitudeTimeFast(double W) {
    const double v = kEarthRate;
    double T = (W - 1.75347 - kPi) / v;
    T -= (0.000005297 * T * T + 0.0334166 * std::cos(4.669257 + 628.307585 * T) +
          0.0002061 * T * std::cos(2.67823 + 628.307585 * T)) /
         v;
    T += (W - EarthSeries(0, T, 8) - kPi + (20.5 + 17.2 * std::sin(2.1824 - 33.75705 * T)) / kRad) / v;
    return T;
}

// ElongationTime from a short formula: the three largest periodic terms of
// the Moon and the Sun, 20 lunar terms and one Newton step. Within about 4
// minutes of ElongationTime over 1900-2100: enough to decide a civil day
// away from midnight.
double ElongationTimeFast(double W) {
    const double V = kSynodicRate;
    double T = (W + 1.08472) / V;
    const double T2 = T * T;
    T -= (-0.00003309 * T2 + 0.10976 * std::cos(0.784758 + 8328.6914246 * T + 0.000152292 * T2) +
          0.02224 * std::cos(0.18740 + 7214.0628654 * T - 0.00021848 * T2) -
          0.03342 * std::cos(4.669257 + 628.307585 * T)) /
         V;
    const double L = MoonSeries(0, T, 20) - (4.8950632 + kEarthRate * T + 0.000005297 * T * T +
                                             0.0334166 * std::cos(4.669257 + 628.307585 * T) +
                                             0.0002061 * T * std::cos(2.67823 + 628.307585 * T) +
                                             0.000349 * std::cos(4.6261 + 1256.61517 * T) - 20.5 / kRad);
    const double v = 7771.38 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
                     179 * std::sin(2.543 + 15542.7543 * T) - 160 * std::sin(0.1874 + 7214.0629 * T);
    T += (W - L) / v;
    return T;
}

// Short-formula instants of the lunar calendar between its mean-value tables
// and 1960, before the one-day corrections of lunar_corrections.cpp.
//
// Given:    W  target angle as for ElongationTime / SunLongitudeTime
// Returned: instant in days since J2000, civil time UTC+8, not rounded
//
// Notes:
// 1. The terms are the largest of ELP/MPP02 [2] (0.10976 rad = 22639.6",
//    0.02224 = 4586.4") and of VSOP87 [1] (0.0334166, 3489e-7, 2060.6e-7 T,
//    53e-7 T^2), with aberration (994e-7 rad = 20.5") and the principal
//    nutation term (834e-7 rad = 17.2") [3]; SolarTermLow works in 1e-7 rad.
// 2. Their Delta T is the parabola (32 (T + 1.8)^2 - 20) s, T + 1.8 being
//    centuries since 1820: the long-term formula of [7] and [8].
// 3. They stray from the series by up to about 100 minutes for new moons
//    (in the 8th century) and 12 minutes for solar terms (after 1700); the
//    correction texts make the rounded day right.
double NewMoonLow(double W) {
    const double V = kSynodicRate;
    double T = (W + 1.08472) / V;
    T -= (-0.0000331 * T * T + 0.10976 * std::cos(0.785 + 8328.6914 * T) +
          0.02224 * std::cos(0.187 + 7214.0629 * T) - 0.03342 * std::cos(4.669 + 628.3076 * T)) /
             V +
         (32 * (T + 1.8) * (T + 1.8) - 20) / 86400 / kCentury;
    return T * kCentury + kZone;
}

double SolarTermLow(double W) {
    const double v = kEarthRate;
    double T = (W - 4.895062166) / v;
    T -= (53 * T * T + 334116 * std::cos(4.67 + 628.307585 * T) + 2061 * T * std::cos(2.678 + 628.3076 * T)) /
         v / 1e7;
    const double L = 48950621.66 + 6283319653.318 * T + 53 * T * T +
                     334166 * std::cos(4.669257 + 628.307585 * T) + 3489 * std::cos(4.6261 + 1256.61517 * T) +
                     2060.6 * T * std::cos(2.67823 + 628.307585 * T) - 994 -
                     834 * std::sin(2.1824 - 33.75705 * T);
    T -= (L / 1e7 - W) / 628.332 + (32 * (T + 1.8) * (T + 1.8) - 20) / 86400 / kCentury;
    return T * kCentury + kZone;
}

namespace {

// The fast solution decides the civil day unless it falls within `margin`
// seconds of midnight; then the series decide. Delta T is taken at the fast
// instant in both cases.
double SeriesInstant(double W, double (*fast)(double), double (*full)(double), double margin) {
    double d = kCentury * fast(W);
    d = d - DeltaTDays(d) + kZone;
    const double x = d + 0.5;
    const double s = 86400 * (x - std::floor(x));
    if (s < margin || s > 86400 - margin) d = kCentury * full(W) - DeltaTDays(d) + kZone;
    return d;
}

}  // namespace

// Series instants of a solar term or a new moon (from 1960 on and before the
// mean-value tables): days since J2000, civil time UTC+8, not rounded. The
// full series run only within 20 (solar term) or 30 (new moon) minutes of
// midnight.
double SolarTermHigh(double W) { return SeriesInstant(W, SunLongitudeTimeFast, SunLongitudeTime, 1200); }

double NewMoonHigh(double W) { return SeriesInstant(W, ElongationTimeFast, ElongationTime, 1800); }

// Equation of time: apparent minus mean solar time.
//
// Given:    T  Julian centuries (TT) since J2000
// Returned: days (a fraction of a turn); positive when the sundial is ahead
//
// Notes: E = L - alpha, with L the Sun's mean longitude (within 0.07" and
// 0.3" per century of VSOP87's leading terms [1], less 20.5" aberration) and
// alpha the apparent right ascension from 50 Earth terms, the three largest
// terms of B, aberration and the principal nutation terms (17.2" sin(Omega)
// in longitude, 9.2" cos(Omega) in obliquity [3]); as in [6] ch. 28.
double EquationOfTime(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    const double L =
        (1753470142 + 628331965331.8 * T + 5296.74 * T2 + 0.432 * T3 - 0.1124 * T4 - 0.00009 * T5) * 1e-9 +
        kPi - 20.5 / kRad;
    const double dL = -17.2 * std::sin(2.1824 - 33.75705 * T) / kRad;
    const double dE = 9.2 * std::cos(2.1824 - 33.75705 * T) / kRad;
    const double eps = MeanObliquity(T) + dE;
    const double lon = EarthSeries(0, T, 50) + kPi + SunAberration(T) + dL;
    const double lat = -(2796 * std::cos(3.1987 + 8433.46616 * T) + 1016 * std::cos(5.4225 + 550.75532 * T) +
                         804 * std::cos(3.88 + 522.3694 * T)) *
                       1e-9;
    double ra = 0, dec = 0;
    EclipticToEquatorial(lon, lat, eps, ra, dec);
    ra -= dL * std::cos(eps);
    return NormAngleSigned(L - ra) / kPi2;
}

// x reduced to [0, 2 pi), with this file's kPi.
double NormAngle(double x) {
    const double c = x - kPi2 * std::trunc(x / kPi2);
    return c < 0 ? c + kPi2 : c;
}

// x reduced to (-pi, pi], with this file's kPi.
double NormAngleSigned(double x) {
    const double c = x - kPi2 * std::trunc(x / kPi2);
    if (c <= -kPi) return c + kPi2;
    if (c > kPi) return c - kPi2;
    return c;
}

// Ecliptic longitude and latitude to right ascension in [0, 2 pi) and
// declination, for obliquity eps; all in radians.
void EclipticToEquatorial(double lon, double lat, double eps, double& ra, double& dec) {
    ra = NormAngle(std::atan2(std::sin(lon) * std::cos(eps) - std::tan(lat) * std::sin(eps), std::cos(lon)));
    dec = std::asin(std::cos(eps) * std::sin(lat) + std::sin(eps) * std::cos(lat) * std::sin(lon));
}

}  // namespace qd::eph
