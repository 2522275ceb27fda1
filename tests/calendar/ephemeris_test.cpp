// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/ephemeris.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "calendar/ephemeris_tables.h"
#include "calendar/julian.h"

namespace qd::eph {
namespace {

// Civil record of a solver result T (TT centuries).
TDateTime CivilOfT(double T) {
    const double d = 36525 * T;
    return RecordOfJulianDay(d + kJ2000 + kZone - DeltaTDays(d));
}

// Day number (days since J2000, civil) of an instant in days since J2000.
int DayOf(double d) { return FloorInt(d + 0.5); }

int DayNumber(int y, int m, int d) { return FloorInt(JulianDay(y, m, d) - kJ2000 + 0.5); }

void ExpectRecord(const TDateTime& r, int y, int mo, int d, int h, int mi) {
    EXPECT_EQ(r, (TDateTime{int16_t(y), int16_t(mo), int16_t(d), int16_t(h), int16_t(mi)}))
        << r.year << "-" << r.month << "-" << r.day << " " << r.hour << ":" << r.minute;
}

// A stored value matches a printed one when it rounds to it. The slack of
// 1e-14 relative covers a printed frequency (16762.15758211) whose source
// value sits on the rounding boundary at the 16th significant digit.
void ExpectPrinted(double value, const char* printed, const std::string& where) {
    const char* dot = std::strchr(printed, '.');
    const int decimals = dot ? static_cast<int>(std::strlen(dot + 1)) : 0;
    const double expected = std::strtod(printed, nullptr);
    const double halfUnit = 0.5 * std::pow(10.0, -decimals);
    EXPECT_LE(std::abs(value - expected), halfUnit * (1 + 1e-9) + 1e-14 * std::abs(expected))
        << where << ": stored " << value << ", printed " << printed;
}

struct TellingRow {
    const char* where;
    const double* term;  // first double of the term
    std::vector<const char*> printed;
};

const double* EarthTerm(int coord, int power, int k) {
    return kEarthSeries + static_cast<int>(kEarthSeries[coord * 6 + 1 + power]) + 3 * k;
}

const double* MoonTerm(int coord, int power, int k) { return kMoonSeries[coord][power] + 6 * k; }

TEST(EphemerisTables, TellingRowsOfBothSeries) {
    // clang-format off
    const std::vector<TellingRow> rows = {
        {"Earth L0 #1", EarthTerm(0, 0, 0), {"17534704567", "0", "0"}},
        {"Earth L0 #2", EarthTerm(0, 0, 1), {"334165646", "4.669256804", "6283.075849991"}},
        {"Earth L0 #3", EarthTerm(0, 0, 2), {"3489428", "4.6261024", "12566.1517"}},
        {"Earth L1 #1", EarthTerm(0, 1, 0), {"62833196674749", "0", "0"}},
        {"Earth B0 #1", EarthTerm(1, 0, 0), {"27962", "3.1987", "84334.66158"}},
        {"Earth R0 #1", EarthTerm(2, 0, 0), {"10001398880", "0", "0"}},
        {"Moon lon0 #1", MoonTerm(0, 0, 0),
         {"22639.586", "0.78475822", "8328.691424623", "1.5229241", "25.0719", "-0.123598"}},
        {"Moon lon0 #2", MoonTerm(0, 0, 1),
         {"4586.438", "0.1873974", "7214.06286536", "-2.184756", "-18.86", "0.0828"}},
        {"Moon lon0 #3", MoonTerm(0, 0, 2),
         {"2369.914", "2.542952", "15542.75428998", "-0.661832", "6.212", "-0.0408"}},
        {"Moon lon1 #1", MoonTerm(0, 1, 0), {"1.6768", "4.66926", "628.301955", "-0.0266", "0.1", "-0.005"}},
        {"Moon lat0 #1", MoonTerm(1, 0, 0),
         {"18461.24", "0.05710892", "8433.466157492", "-0.6400617", "-0.5345", "-0.00294"}},
        {"Moon lat0 #2", MoonTerm(1, 0, 1),
         {"1010.167", "2.412663", "16762.15758211", "0.88286", "24.537", "-0.1265"}},
        {"Moon lat0 #3", MoonTerm(1, 0, 2),
         {"999.694", "5.440038", "-104.77473287", "2.16299", "25.606", "-0.1207"}},
        {"Moon dist0 #1", MoonTerm(2, 0, 0), {"385000.51", "0", "0", "0", "0", "0"}},
        {"Moon dist0 #2", MoonTerm(2, 0, 1),
         {"20905.354", "5.4971472", "8328.691424623", "1.522924", "25.0719", "-0.1236"}},
        {"Moon dist0 #3", MoonTerm(2, 0, 2),
         {"3699.111", "4.8997864", "7214.06286536", "-2.184756", "-18.86", "0.0828"}},
    };
    // clang-format on
    for (const auto& row : rows)
        for (size_t i = 0; i < row.printed.size(); i++)
            ExpectPrinted(row.term[i], row.printed[i],
                          std::string(row.where) + " [" + std::to_string(i) + "]");
}

TEST(EphemerisTables, LayoutOfBothSeries) {
    EXPECT_EQ(kEarthSeries[0], 1e10);
    const int offsets[19] = {20,   578,  920,  1100, 1124, 1136, 1148, 1217, 1226, 1229,
                             1229, 1229, 1229, 1937, 2363, 2618, 2633, 2660, 2666};
    for (int i = 0; i < 19; i++) EXPECT_EQ(kEarthSeries[i + 1], offsets[i]) << i;
    const int lengths[3][4] = {{2652, 894, 204, 12}, {1236, 270, 72, 0}, {1326, 312, 72, 0}};
    for (int c = 0; c < 3; c++)
        for (int p = 0; p < 4; p++) {
            EXPECT_EQ(kMoonSeriesLength[c][p], lengths[c][p]) << c << "," << p;
            // The last used term is filled and the block is empty after it.
            if (lengths[c][p] > 0) {
                EXPECT_NE(kMoonSeries[c][p][lengths[c][p] - 6], 0) << c << "," << p;
            }
            EXPECT_EQ(kMoonSeries[c][p][lengths[c][p]], 0) << c << "," << p;
        }
}

// Full series against the untruncated theories (values from the npm package
// astronomia's own VSOP87D planet position and ELP/MPP02 evaluation): the
// truncation costs arcseconds, a faulty transformation of the data costs
// degrees or thousands of km.
TEST(EphemerisSeries, FullSeriesAgreeWithUntruncatedTheories) {
    struct Row {
        double T, moonLon, moonLat, moonDist, earthL, earthB, earthR;
    };
    const Row rows[] = {
        {-1.5, 2.0846189055094904, -0.038222221679587845, 358307.656415, 1.7327091013096521,
         0.0000011530403805065930, 0.983231582381077},
        {-0.25, 2.4938004210765037, -0.086920917010271215, 362891.864154, 1.7486426967608608,
         0.0000037656562367349547, 0.983294021657445},
        {0, 3.8976506744808699, 0.090248687720597756, 402448.630272, 1.7519238681145628,
         -0.0000039655715721671785, 0.983327681910549},
        {0.123456, 4.0988992976308145, -0.016383463932253459, 357290.003162, 3.9546022535149348,
         0.0000010688133788114693, 1.00897145336488},
        {1, 2.8695265141550617, 0.0083651737028490741, 371188.505543, 1.7648379287585669,
         -0.0000010131978289557656, 0.983351312543688},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.T);
        EXPECT_NEAR(NormAngleSigned(MoonSeries(0, r.T, -1) - r.moonLon) * kRad, 0, 5);
        EXPECT_NEAR((MoonSeries(1, r.T, -1) - r.moonLat) * kRad, 0, 1);
        EXPECT_NEAR(MoonSeries(2, r.T, -1), r.moonDist, 1);
        EXPECT_NEAR(NormAngleSigned(EarthSeries(0, r.T, -1) - r.earthL) * kRad, 0, 0.5);
        EXPECT_NEAR((EarthSeries(1, r.T, -1) - r.earthB) * kRad, 0, 0.1);
        EXPECT_NEAR(EarthSeries(2, r.T, -1), r.earthR, 1e-7);
    }
}

TEST(EphemerisSeries, EarthTermCountsFollowTheMainSeries) {
    struct Case {
        int n;
        int counts[6];
    };
    const Case cases[] = {
        {8, {8, 6, 4, 2, 2, 2}},
        {10, {10, 7, 5, 2, 2, 2}},
        {50, {50, 32, 17, 3, 2, 2}},
        {-1, {186, 114, 60, 8, 4, 4}},
    };
    for (const auto& c : cases)
        for (int p = 0; p < 6; p++)
            EXPECT_EQ(EarthSeriesTermCount(0, p, c.n), c.counts[p]) << "n=" << c.n << " t^" << p;
    // Empty series stay empty; a large n is capped at the whole series.
    EXPECT_EQ(EarthSeriesTermCount(1, 3, 50), 0);
    EXPECT_EQ(EarthSeriesTermCount(2, 0, 1000), 236);
}

TEST(DeltaT, TableAndExtrapolation) {
    auto ext = [](double y) { return -20 + 31 * ((y - 1820) / 100) * ((y - 1820) / 100); };
    EXPECT_NEAR(DeltaT(2015), 69.0, 1e-9);
    EXPECT_DOUBLE_EQ(DeltaT(2115), ext(2115));
    EXPECT_DOUBLE_EQ(DeltaT(2300), ext(2300));
    EXPECT_NEAR(DeltaT(2000), 63.87, 1e-12);
    EXPECT_NEAR(DeltaT(2010), 66.7, 1e-12);
    EXPECT_NEAR(DeltaT(1900), -2.3, 1e-12);
    // Before the first row the first row's cubic runs backwards: t1 = -20/7.
    EXPECT_NEAR(DeltaT(-5000), 148819.7, 1e-6);
    EXPECT_NEAR(DeltaTDays(0), 63.87 / 86400, 1e-15);
}

TEST(SolarLongitudeTime, MarchEquinoxes) {
    ExpectRecord(CivilOfT(SunLongitudeTime(0)), 1999, 3, 21, 9, 46);
    ExpectRecord(CivilOfT(SunLongitudeTime(kPi2)), 2000, 3, 20, 15, 35);
}

TEST(ElongationTime, NewMoonOfJanuary2000) { ExpectRecord(CivilOfT(ElongationTime(0)), 2000, 1, 7, 2, 14); }

TEST(FastSolvers, StayWithinMinutesOfTheSeries) {
    for (int k = -2400; k <= 4800; k += 97) {
        const double W = k * kPi2 / 24;
        EXPECT_NEAR(SunLongitudeTimeFast(W), SunLongitudeTime(W), 8.0 / 1440 / 36525) << k;
    }
    for (int k = -1200; k <= 2500; k += 37) {
        const double W = k * kPi2;
        EXPECT_NEAR(ElongationTimeFast(W), ElongationTime(W), 4.0 / 1440 / 36525) << k;
    }
}

TEST(SeriesInstants, AwayFromMidnightTheFastSolutionStands) {
    // The series put this new moon at 02:14; the fast solver's 02:15 is kept
    // because it cannot change the day.
    ExpectRecord(RecordOfJulianDay(NewMoonHigh(0) + kJ2000), 2000, 1, 7, 2, 15);
    EXPECT_EQ(DayOf(SolarTermHigh(kPi2)), DayNumber(2000, 3, 20));
}

TEST(SeriesInstants, NearMidnightTheSeriesDecideTheDay) {
    // 小满 2008 falls 53 s after midnight; the fast solver puts it 11 s
    // before, on the previous day.
    const double W = 220 * kPi2 / 24;
    double fast = 36525 * SunLongitudeTimeFast(W);
    fast = fast - DeltaTDays(fast) + kZone;
    EXPECT_EQ(DayOf(fast), DayNumber(2008, 5, 20));
    EXPECT_EQ(DayOf(SolarTermHigh(W)), DayNumber(2008, 5, 21));

    // A new moon of -1164 (Julian calendar): fast 00:02 on the 24th, series
    // 23:58 on the 23rd.
    const double Wm = -39133 * kPi2;
    double fastMoon = 36525 * ElongationTimeFast(Wm);
    fastMoon = fastMoon - DeltaTDays(fastMoon) + kZone;
    EXPECT_EQ(DayOf(fastMoon), DayNumber(-1164, 1, 24));
    EXPECT_EQ(DayOf(NewMoonHigh(Wm)), DayNumber(-1164, 1, 23));
    ExpectRecord(RecordOfJulianDay(NewMoonHigh(Wm) + kJ2000), -1164, 1, 23, 23, 58);

    // 1999-01-17: the fast instant is 13 minutes before midnight, so the
    // series instant is returned even though the day does not change.
    const double Wn = -12 * kPi2;
    const double t = ElongationTime(Wn);
    double fastN = 36525 * ElongationTimeFast(Wn);
    fastN = fastN - DeltaTDays(fastN) + kZone;
    EXPECT_GT(std::abs(NewMoonHigh(Wn) - fastN) * 86400, 20);
    EXPECT_NEAR(NewMoonHigh(Wn), 36525 * t - DeltaTDays(36525 * t) + kZone, 1e-6);
}

TEST(ShortFormulas, CloseToTheSeriesAround1900) {
    // 1900 March equinox and the new moon of 1902-12-30.
    const double Ws = -99 * kPi2;
    const double ts = SunLongitudeTime(Ws);
    EXPECT_NEAR(SolarTermLow(Ws), 36525 * ts - DeltaTDays(36525 * ts) + kZone, 10.0 / 1440);
    ExpectRecord(RecordOfJulianDay(SolarTermLow(Ws) + kJ2000), 1900, 3, 21, 9, 37);
    const double Wm = -1200 * kPi2;
    const double tm = ElongationTime(Wm);
    EXPECT_NEAR(NewMoonLow(Wm), 36525 * tm - DeltaTDays(36525 * tm) + kZone, 10.0 / 1440);
    ExpectRecord(RecordOfJulianDay(NewMoonLow(Wm) + kJ2000), 1902, 12, 30, 5, 20);
}

TEST(EquationOfTime, KnownValues) {
    // 1992-10-13 0h TD: 13 min 42.6 s.
    EXPECT_NEAR(EquationOfTime((2448908.5 - kJ2000) / 36525) * 1440, 13.71, 0.05);
    // Early November maximum and mid-February minimum.
    EXPECT_NEAR(EquationOfTime((JulianDay(2024, 11, 3) - kJ2000) / 36525) * 1440, 16.4, 0.2);
    EXPECT_NEAR(EquationOfTime((JulianDay(2024, 2, 11) - kJ2000) / 36525) * 1440, -14.2, 0.2);
}

TEST(Angles, ReductionAndCoordinateChange) {
    EXPECT_NEAR(NormAngle(-0.5), kPi2 - 0.5, 1e-12);
    EXPECT_NEAR(NormAngle(5 * kPi2 + 1), 1, 1e-12);
    EXPECT_EQ(NormAngle(0), 0);
    EXPECT_NEAR(NormAngleSigned(kPi + 0.1), -kPi + 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(NormAngleSigned(-kPi), kPi);  // the interval is (-pi, pi]
    EXPECT_DOUBLE_EQ(NormAngleSigned(kPi), kPi);
    EXPECT_NEAR(NormAngleSigned(-3 * kPi2 - 0.2), -0.2, 1e-12);

    const double eps = MeanObliquity(0);
    EXPECT_NEAR(eps * kRad, 84381.406, 1e-6);
    double ra = 0, dec = 0;
    EclipticToEquatorial(kPi / 2, 0, eps, ra, dec);  // summer solstice point
    // kPi is not the exact pi, so the quadrant points are off by ~1e-8.
    EXPECT_NEAR(ra, kPi / 2, 1e-7);
    EXPECT_NEAR(dec, eps, 1e-12);
    EclipticToEquatorial(kPi * 1.5, 0, eps, ra, dec);
    EXPECT_NEAR(ra, kPi * 1.5, 1e-7);
    EXPECT_NEAR(dec, -eps, 1e-12);
    // On the solstitial colure latitude adds to the declination.
    EclipticToEquatorial(kPi / 2, 0.1, eps, ra, dec);
    EXPECT_NEAR(ra, kPi / 2, 1e-7);
    EXPECT_NEAR(dec, eps + 0.1, 1e-12);
    // South of the equinox point the right ascension wraps to just below 2 pi.
    EclipticToEquatorial(0, 0.1, eps, ra, dec);
    EXPECT_GT(ra, kPi2 - 0.05);
    EXPECT_LT(ra, kPi2);
}

}  // namespace
}  // namespace qd::eph
