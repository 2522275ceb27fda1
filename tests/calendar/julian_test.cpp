// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/julian.h"

#include <gtest/gtest.h>

namespace qd {
namespace {

TEST(JulianDay, FixedDates) {
    EXPECT_DOUBLE_EQ(JulianDay(2000, 1, 1.5), 2451545.0);
    EXPECT_DOUBLE_EQ(JulianDay(1582, 10, 15.0), 2299160.5);  // first Gregorian day
    EXPECT_DOUBLE_EQ(JulianDay(1582, 10, 4.0), 2299159.5);   // last Julian day
    EXPECT_DOUBLE_EQ(JulianDay(-4712, 1, 1.5), 0.0);
    EXPECT_DOUBLE_EQ(JulianDay(1900, 1, 1.0), 2415020.5);
}

TEST(JulianDay, MomentRoundTrip) {
    EXPECT_EQ(MomentOfJulianDay(2299160.5), (TMoment{1582, 10, 15, 0, 0, 0}));
    EXPECT_EQ(MomentOfJulianDay(2299159.5), (TMoment{1582, 10, 4, 0, 0, 0}));
    EXPECT_EQ(MomentOfJulianDay(2451545.0), (TMoment{2000, 1, 1, 12, 0, 0}));
    // Every day from 4713 BC to AD 9999 comes back as itself.
    for (double jd = 0.5; jd < 5373484; jd += 97.0) {
        TMoment m = MomentOfJulianDay(jd);
        EXPECT_DOUBLE_EQ(JulianDayOfMoment(m), jd) << m.year << "-" << m.month << "-" << m.day;
    }
}

TEST(JulianDay, RecordAtSecondOneAndRounding) {
    const TDateTime noon{2000, 1, 1, 12, 0};
    EXPECT_NEAR(JulianDayOfRecord(noon), 2451545.0 + 1.0 / 86400, 1e-9);
    EXPECT_EQ(RecordOfJulianDay(JulianDayOfRecord(noon)), noon);

    // A day count near 2.45e6 carries about 50 microseconds of resolution, so
    // "31 whole seconds" is probed a hair above the boundary.
    const double minute = JulianDay(2000, 1, 1.0) + (12 * 60 + 34) / 1440.0;
    struct Case {
        double seconds;
        int16_t minute;
    } cases[] = {{30.0, 34}, {30.9, 34}, {31.01, 35}, {59.5, 35}, {1.0, 34}};
    for (const Case& c : cases) {
        TDateTime r = RecordOfJulianDay(minute + c.seconds / 86400);
        EXPECT_EQ(r.hour, 12) << c.seconds;
        EXPECT_EQ(r.minute, c.minute) << c.seconds;
    }
    // Rounding up carries over midnight and the year.
    EXPECT_EQ(RecordOfJulianDay(JulianDay(1999, 12, 31.0) + 1 - 20.0 / 86400), (TDateTime{2000, 1, 1, 0, 0}));
}

TEST(JulianDay, NextDayCrossesTheReform) {
    TDateTime r{1582, 10, 4, 9, 30};
    NextDay(r);
    EXPECT_EQ(r, (TDateTime{1582, 10, 15, 9, 30}));
    TDateTime leap{2024, 2, 28, 23, 59};
    NextDay(leap);
    EXPECT_EQ(leap, (TDateTime{2024, 2, 29, 23, 59}));
}

TEST(CivilCalendar, Validity) {
    struct Case {
        int16_t y, m, d;
        bool valid;
    } cases[] = {
        {1582, 10, 10, false}, {1582, 10, 5, false}, {1582, 10, 14, false}, {1582, 10, 4, true},
        {1582, 10, 15, true},  {1582, 10, 31, true}, {1900, 2, 29, false},  {2000, 2, 29, true},
        {2100, 2, 29, false},  {1500, 2, 29, true},  {0, 2, 29, true},      {-1, 2, 29, false},
        {-4, 2, 29, true},     {2023, 4, 31, false}, {2023, 12, 31, true},  {2023, 2, 28, true},
        {1700, 2, 29, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidDate(TDateTime{c.y, c.m, c.d, 0, 0}), c.valid) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST(CivilCalendar, WeekDayAndDayCycle) {
    struct Case {
        TDateTime r;
        int week, cycle;
    } cases[] = {
        {{2000, 1, 1, 0, 0}, 6, 55},    // Saturday, 戊午
        {{1984, 2, 2, 0, 0}, 4, 3},     // 丙寅
        {{1582, 10, 15, 0, 0}, 5, 11},  // a Friday, right after the reform
        {{1582, 10, 4, 0, 0}, 4, 10},   // the Thursday before it
        {{-100, 3, 1, 0, 0}, -1, -1},
    };
    for (const Case& c : cases) {
        const int w = WeekDay(c.r), d = DayCycle(c.r);
        EXPECT_GE(w, 0);
        EXPECT_LT(w, 7);
        EXPECT_GE(d, 0);
        EXPECT_LT(d, 60);
        if (c.week >= 0) {
            EXPECT_EQ(w, c.week) << c.r.year;
            EXPECT_EQ(d, c.cycle) << c.r.year;
        }
    }
    // Consecutive days step the cycle by one, across the reform too.
    TDateTime r{1582, 10, 1, 12, 0};
    int prev = DayCycle(r);
    for (int i = 0; i < 20; ++i) {
        NextDay(r);
        EXPECT_EQ(DayCycle(r), (prev + 1) % 60);
        prev = DayCycle(r);
    }
}

TEST(CivilCalendar, CycleFromStemBranch) {
    EXPECT_EQ(CycleFromStemBranch(1, 1), 1);    // 甲子
    EXPECT_EQ(CycleFromStemBranch(0, 0), 0);    // 癸亥
    EXPECT_EQ(CycleFromStemBranch(10, 0), 60);  // 癸亥 again
    EXPECT_EQ(CycleFromStemBranch(5, 7), 55);   // 戊午
    for (int n = 0; n < 60; ++n) {
        const int c = CycleFromStemBranch(n % 10, n % 12);
        EXPECT_EQ(c % 60, n);
    }
}

TEST(CivilCalendar, NumeralText) {
    struct Case {
        int16_t n;
        const char* text;
    } cases[] = {
        {1, "一"},          {9, "九"},       {10, "十"},    {11, "十一"}, {19, "十九"}, {20, "二十"},
        {21, "廿一"},       {29, "廿九"},    {30, "三十"},  {31, "三一"}, {0, "○"},     {2024, "二○二四"},
        {-221, "前二二一"}, {-15, "前一五"}, {100, "一○○"}, {-5, "前五"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumeralText(c.n), c.text) << c.n;
}

}  // namespace
}  // namespace qd
