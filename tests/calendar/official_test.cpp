// SPDX-License-Identifier: GPL-3.0-or-later
// Walks the calendar against fixtures from independent sources (see
// tests/fixtures/README): the official lunar months and solar-term days of
// 1900-2100 and high-precision solar-term instants of 1900-2200.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calendar/ephemeris.h"
#include "calendar/yidate.h"

namespace qd {
namespace {

std::vector<std::string> Lines(const char* name) {
    std::ifstream in(std::string(QD_FIXTURES) + "/" + name);
    EXPECT_TRUE(in) << name;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

int DayNumber(int y, int m, int d) { return FloorInt(JulianDay(y, m, d + 0.5)) - 2451545; }

std::string DateText(const TDateTime& r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", r.year, r.month, r.day);
    return buf;
}

// After 1960 a new moon within two minutes of midnight hangs on Delta T,
// which nobody can know yet; there the calendar follows its own series.
const std::set<std::string> kMonthsOnDeltaT = {
    "2057-09-28",  // the new moon of late 2057-09-28
    "2057-09-29",
    "2097-08-07",  // and of 2097-08-07
    "2097-08-08",
};

TEST(OfficialCalendar, EveryLunarMonth1900To2100) {
    MYiDateEx cal;
    int checked = 0;
    std::vector<std::string> deltaT;
    for (const std::string& line : Lines("official_lunar_months.txt")) {
        int y, m, d, ly, lm, leap, length;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d-%d-%d %d %d %d %d", &y, &m, &d, &ly, &lm, &leap, &length), 7);
        const TDateTime first{int16_t(y), int16_t(m), int16_t(d), 12, 0};
        TDateTime lastDay = first;
        for (int i = 1; i < length; ++i) cal.NextDay(lastDay);
        TDateTime a, b;
        int lenA = 0, lenB = 0;
        const bool leapA = cal.LunarOfSolar(first, a, lenA);
        const bool leapB = cal.LunarOfSolar(lastDay, b, lenB);
        const bool ok = a.year == ly && a.month == lm && a.day == 1 && leapA == (leap != 0) &&
                        (lenA == length || y == 2100) && b.day == length && b.month == lm && leapB == leapA;
        if (!ok && (kMonthsOnDeltaT.count(DateText(first)) || kMonthsOnDeltaT.count(DateText(lastDay)))) {
            deltaT.push_back(line);
            continue;
        }
        EXPECT_TRUE(ok) << "official " << line << " computed first day " << a.year << " " << a.month << " "
                        << a.day << " leap " << leapA << " length " << lenA << ", last day " << b.day;
        ++checked;
    }
    EXPECT_GT(checked, 2470);
    // The months that end or begin on those two days.
    const std::vector<std::string> expected = {"2057-08-30 2057 8 0 30", "2057-09-29 2057 9 0 29",
                                               "2097-07-09 2097 6 0 30", "2097-08-08 2097 7 0 29"};
    EXPECT_EQ(deltaT, expected);
    for (const std::string& s : deltaT) std::printf("  on Delta T: %s\n", s.c_str());
}

// 大寒 of 1979 falls about ten seconds before midnight; the official table,
// like the rounding to the minute, puts it on the next day, while the
// layout's day-level solver keeps the day of the instant. No new moon falls
// near it, so no lunar month changes.
const std::set<std::string> kTermDaysOnTheInstant = {"1979 1 1979-01-21"};

TEST(OfficialCalendar, EverySolarTermDayAsTheLayoutUsesIt) {
    MYiDateEx cal;
    for (const std::string& line : Lines("official_term_days.txt")) {
        int year, k, y, m, d;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %d-%d-%d", &year, &k, &y, &m, &d), 5);
        int day = DayNumber(y, m, d);
        if (kTermDaysOnTheInstant.count(line)) {
            std::printf("  layout day before the official day: %s\n", line.c_str());
            --day;
        }
        EXPECT_EQ(cal.EventDay(day, EventKind::SolarTerm), day) << line;
        // A caller's estimate may be a day or two off.
        EXPECT_EQ(cal.EventDay(day - 1.7, EventKind::SolarTerm), day) << line;
        EXPECT_EQ(cal.EventDay(day + 1.7, EventKind::SolarTerm), day) << line;
    }
}

// SolarTermsOfYear uses the series alone. Before 1929 the official calendar
// followed older methods and Beijing local time, and a few terms fall within
// minutes of midnight; these differ from the official day by one.
const std::set<std::string> kTermsOffTheOfficialDay = {
    "1912 小雪", "1913 秋分", "1917 大雪", "1923 雨水", "1927 白露", "1928 夏至",
};

TEST(OfficialCalendar, SolarTermsOfYearAgainstTheOfficialDays) {
    MYiDateEx cal;
    std::vector<std::string> lines = Lines("official_term_days.txt");
    size_t at = 0;
    std::set<std::string> off;
    for (int year = 1900; year <= 2100; ++year) {
        const std::vector<TSolarTermEntry> terms = cal.SolarTermsOfYear(year);
        ASSERT_EQ(terms.size(), 24u) << year;
        for (const TSolarTermEntry& e : terms) {
            ASSERT_LT(at, lines.size());
            int fy, k, y, m, d;
            ASSERT_EQ(std::sscanf(lines[at++].c_str(), "%d %d %d-%d-%d", &fy, &k, &y, &m, &d), 5);
            ASSERT_EQ(fy, year);
            ASSERT_EQ(k, e.index);
            if (e.when.year != y || e.when.month != m || e.when.day != d) {
                off.insert(std::to_string(year) + " " + kSolarTermNames[e.index]);
            }
        }
    }
    EXPECT_EQ(off, kTermsOffTheOfficialDay);
    for (const std::string& s : off) std::printf("  off the official day: %s\n", s.c_str());
}

// Delta T after the present is an extrapolation, and each ephemeris has its
// own; the instants are therefore compared in dynamical time (each side
// adding its own Delta T), and in civil time as long as Delta T is measured.
TEST(OfficialCalendar, SolarTermInstantsWithinAMinuteOfAnIndependentEphemeris) {
    MYiDateEx cal;
    std::vector<std::string> lines = Lines("term_instants.txt");
    size_t at = 0;
    double worstTt = 0, worstUt = 0, worstUtMeasured = 0;
    for (int year = 1900; year <= 2200; ++year) {
        for (const TSolarTermEntry& e : cal.SolarTermsOfYear(year)) {
            ASSERT_LT(at, lines.size());
            int fy, k, y, m, d, hh, mm, ss;
            double oracleDeltaT;
            ASSERT_EQ(std::sscanf(lines[at++].c_str(), "%d %d %d-%d-%d %d:%d:%d %lf", &fy, &k, &y, &m, &d,
                                  &hh, &mm, &ss, &oracleDeltaT),
                      9);
            ASSERT_EQ(k, e.index) << year;
            const double oracle = JulianDay(y, m, d + (hh + (mm + ss / 60.0) / 60.0) / 24.0);
            const double ours = cal.SolarTermJulianDay(year, e.index * 15 - 75);
            EXPECT_EQ(RecordOfJulianDay(ours), e.when);
            const double ourDeltaT = eph::DeltaTDays(ours - 2451545) * 86400;
            const double ut = std::fabs(ours - oracle) * 86400;
            const double tt = std::fabs((ours - oracle) * 86400 + ourDeltaT - oracleDeltaT);
            worstTt = std::max(worstTt, tt);
            worstUt = std::max(worstUt, ut);
            EXPECT_LE(tt, 60.0) << lines[at - 1];
            if (year <= 2025) {
                worstUtMeasured = std::max(worstUtMeasured, ut);
                EXPECT_LE(ut, 60.0) << lines[at - 1];
            }
        }
    }
    EXPECT_EQ(at, lines.size());
    std::printf(
        "  worst difference: %.1f s in dynamical time, %.1f s in civil time to 2025, %.1f s in civil time to 2200\n",
        worstTt, worstUtMeasured, worstUt);
}

}  // namespace
}  // namespace qd
