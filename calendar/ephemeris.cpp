// Sun and Moon ephemeris. The term counts passed to the series are the
// precision control: the solvers start with a handful of terms and use the
// full tables only in their last step.
#include "calendar/ephemeris.h"

#include <cmath>

#include "calendar/ephemeris_tables.h"

namespace qd::eph {

namespace {

constexpr double kCentury = 36525.0;
constexpr double kEarthRate = 628.3319653318;      // mean solar motion, rad/century
constexpr double kSynodicRate = 7771.37714500204;  // mean elongation motion, rad/century

// Start and end offset (in elements) of one Earth power series.
int EarthStart(int coord, int power) {
    return static_cast<int>(kEarthSeries[coord * 6 + 1 + power]);
}

// End offset (exclusive) of the terms EarthSeries sums for n.
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

double DeltaTDays(double d) {
    return DeltaT(d / 365.2425 + 2000) / 86400;
}

int EarthSeriesTermCount(int coord, int power, int n) {
    const int start = EarthStart(coord, power);
    const int end = EarthEnd(coord, power, n);
    return end > start ? (end - start + 2) / 3 : 0;
}

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

double MoonSeries(int coord, double T, int n) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    double total = 0;
    if (coord == 0) {
        // Mean longitude plus precession, which refers the series to the
        // equinox of date.
        total = (3.81034409 + 8399.684730072 * T - 3.319e-5 * T2 + 3.11e-8 * T3 - 2.033e-10 * T4) * kRad;
        total += 5028.792262 * T + 1.1124406 * T2 + 0.00007699 * T3 - 0.000023479 * T4 -
                 0.0000000178 * T5;
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

double MeanObliquity(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    return (84381.406 - 46.836769 * T - 0.0001831 * T2 + 0.0020034 * T3 - 5.76e-7 * T4 - 4.34e-8 * T5) /
           kRad;
}

double SunAberration(double T) {
    const double T2 = T * T;
    const double v = -0.043126 + 628.301955 * T - 0.000002732 * T2;
    const double e = 0.016708634 - 0.000042037 * T - 0.0000001267 * T2;
    return -20.49552 * (1 + e * std::cos(v)) / kRad;
}

double MoonAberration() {
    return -3.4e-6;
}

double ApparentSunLongitude(double T, int n) {
    return EarthSeries(0, T, n) + NutationLongitude(T) + SunAberration(T) + kPi;
}

double MoonSunElongation(double T, int nMoon, int nSun) {
    return MoonSeries(0, T, nMoon) + MoonAberration() - (EarthSeries(0, T, nSun) + SunAberration(T) + kPi);
}

double EarthSpeed(double T) {
    const double f = 628.307585 * T;
    return 628.332 + 21 * std::sin(1.527 + f) + 0.44 * std::sin(1.48 + 2 * f) +
           0.129 * T * std::sin(5.82 + f) + 0.00055 * T * T * std::sin(4.21 + f);
}

double MoonSpeed(double T) {
    return 8399.71 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
           (179 * std::sin(2.543 + 15542.7543 * T) + 160 * std::sin(0.1874 + 7214.0629 * T) +
            62 * std::sin(3.14 + 16657.3828 * T) + 34 * std::sin(4.827 + 16866.9323 * T) +
            22 * std::sin(4.9 + 23871.4457 * T) + 12 * std::sin(2.59 + 14914.4523 * T) +
            7 * std::sin(0.23 + 6585.7609 * T) + 5 * std::sin(0.9 + 25195.624 * T) +
            5 * std::sin(2.32 - 7700.3895 * T) + 5 * std::sin(3.88 + 8956.9934 * T) +
            5 * std::sin(0.49 + 7771.3771 * T));
}

// Fixed Newton steps without a convergence test: the step count is part of
// the result, so the instants stay reproducible.
double SunLongitudeTime(double W) {
    double T = (W - 1.75347 - kPi) / kEarthRate;
    double v = EarthSpeed(T);
    T += (W - ApparentSunLongitude(T, 10)) / v;
    v = EarthSpeed(T);
    T += (W - ApparentSunLongitude(T, -1)) / v;
    return T;
}

double ElongationTime(double W) {
    double T = (W + 1.08472) / kSynodicRate;
    T += (W - MoonSunElongation(T, 3, 3)) / kSynodicRate;
    const double v = MoonSpeed(T) - EarthSpeed(T);
    T += (W - MoonSunElongation(T, 20, 10)) / v;
    T += (W - MoonSunElongation(T, -1, 60)) / v;
    return T;
}

double SunLongitudeTimeFast(double W) {
    const double v = kEarthRate;
    double T = (W - 1.75347 - kPi) / v;
    T -= (0.000005297 * T * T + 0.0334166 * std::cos(4.669257 + 628.307585 * T) +
          0.0002061 * T * std::cos(2.67823 + 628.307585 * T)) /
         v;
    T += (W - EarthSeries(0, T, 8) - kPi + (20.5 + 17.2 * std::sin(2.1824 - 33.75705 * T)) / kRad) / v;
    return T;
}

double ElongationTimeFast(double W) {
    const double V = kSynodicRate;
    double T = (W + 1.08472) / V;
    const double T2 = T * T;
    T -= (-0.00003309 * T2 + 0.10976 * std::cos(0.784758 + 8328.6914246 * T + 0.000152292 * T2) +
          0.02224 * std::cos(0.18740 + 7214.0628654 * T - 0.00021848 * T2) -
          0.03342 * std::cos(4.669257 + 628.307585 * T)) /
         V;
    const double L = MoonSeries(0, T, 20) -
                     (4.8950632 + kEarthRate * T + 0.000005297 * T * T +
                      0.0334166 * std::cos(4.669257 + 628.307585 * T) +
                      0.0002061 * T * std::cos(2.67823 + 628.307585 * T) +
                      0.000349 * std::cos(4.6261 + 1256.61517 * T) - 20.5 / kRad);
    const double v = 7771.38 - 914 * std::sin(0.7848 + 8328.691425 * T + 0.0001523 * T * T) -
                     179 * std::sin(2.543 + 15542.7543 * T) - 160 * std::sin(0.1874 + 7214.0629 * T);
    T += (W - L) / v;
    return T;
}

// (32 * (T + 1.8)^2 - 20) seconds is the short formulas' own Delta T.
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
    const double L = 48950621.66 + 6283319653.318 * T + 53 * T * T + 334166 * std::cos(4.669257 + 628.307585 * T) +
                     3489 * std::cos(4.6261 + 1256.61517 * T) + 2060.6 * T * std::cos(2.67823 + 628.307585 * T) -
                     994 - 834 * std::sin(2.1824 - 33.75705 * T);
    T -= (L / 1e7 - W) / 628.332 + (32 * (T + 1.8) * (T + 1.8) - 20) / 86400 / kCentury;
    return T * kCentury + kZone;
}

namespace {

// The fast solution decides the civil day unless it falls within `margin`
// seconds of midnight; then the series decide.
double SeriesInstant(double W, double (*fast)(double), double (*full)(double), double margin) {
    double d = kCentury * fast(W);
    d = d - DeltaTDays(d) + kZone;
    const double x = d + 0.5;
    const double s = 86400 * (x - std::floor(x));
    if (s < margin || s > 86400 - margin) d = kCentury * full(W) - DeltaTDays(d) + kZone;
    return d;
}

}  // namespace

double SolarTermHigh(double W) {
    return SeriesInstant(W, SunLongitudeTimeFast, SunLongitudeTime, 1200);
}

double NewMoonHigh(double W) {
    return SeriesInstant(W, ElongationTimeFast, ElongationTime, 1800);
}

double EquationOfTime(double T) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T, T5 = T4 * T;
    const double L = (1753470142 + 628331965331.8 * T + 5296.74 * T2 + 0.432 * T3 - 0.1124 * T4 - 0.00009 * T5) * 1e-9 +
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

double NormAngle(double x) {
    const double c = x - kPi2 * std::trunc(x / kPi2);
    return c < 0 ? c + kPi2 : c;
}

double NormAngleSigned(double x) {
    const double c = x - kPi2 * std::trunc(x / kPi2);
    if (c <= -kPi) return c + kPi2;
    if (c > kPi) return c - kPi2;
    return c;
}

void EclipticToEquatorial(double lon, double lat, double eps, double& ra, double& dec) {
    ra = NormAngle(std::atan2(std::sin(lon) * std::cos(eps) - std::tan(lat) * std::sin(eps), std::cos(lon)));
    dec = std::asin(std::cos(eps) * std::sin(lat) + std::sin(eps) * std::cos(lat) * std::sin(lon));
}

}  // namespace qd::eph
