// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "calendar/yidate.h"

namespace qd {
namespace {

struct Lunar {
    int year, month, day;
    bool leap;
    int length;
};

Lunar ToLunar(MYiDateEx& cal, int16_t y, int16_t m, int16_t d) {
    TDateTime l;
    int length = 0;
    const bool leap = cal.LunarOfSolar(TDateTime{y, m, d, 8, 30}, l, length);
    EXPECT_EQ(l.hour, 8);
    EXPECT_EQ(l.minute, 30);
    return Lunar{l.year, l.month, l.day, leap, length};
}

TEST(LunarCalendar, KnownDays) {
    struct Case {
        int16_t y, m, d;
        Lunar lunar;
    } cases[] = {
        {2024, 2, 10, {2024, 1, 1, false, 29}},   // 正月初一 2024
        {2024, 2, 9, {2023, 12, 30, false, 30}},  // the last day of 2023
        {2023, 3, 22, {2023, 2, 1, true, 29}},    // first day of the leap second month
        {2023, 2, 20, {2023, 2, 1, false, 30}},
        {2000, 1, 1, {1999, 11, 25, false, 30}},  // between 冬至 and 正月: still 1999
        {2033, 12, 22, {2033, 11, 1, true, 29}},  // leap eleventh month
        {1984, 2, 2, {1984, 1, 1, false, 30}},
        {1900, 1, 31, {1900, 1, 1, false, 29}},
        {2100, 12, 31, {2100, 12, 1, false, 29}},
    };
    MYiDateEx cal;
    for (const Case& c : cases) {
        const Lunar l = ToLunar(cal, c.y, c.m, c.d);
        EXPECT_EQ(l.year, c.lunar.year) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(l.month, c.lunar.month) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(l.day, c.lunar.day) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(l.leap, c.lunar.leap) << c.y << "-" << c.m << "-" << c.d;
        if (c.y != 2100) {  // the month after 2100-12 lies outside the official table
            EXPECT_EQ(l.length, c.lunar.length) << c.y << "-" << c.m << "-" << c.d;
        }
    }
}

TEST(LunarCalendar, SolarOfLunar) {
    struct Case {
        TDateTime lunar;
        bool leap;
        TDateTime solar;
    } cases[] = {
        {{2023, 2, 1, 10, 5}, false, {2023, 2, 20, 10, 5}},
        {{2023, 2, 1, 10, 5}, true, {2023, 3, 22, 10, 5}},
        {{2024, 1, 1, 0, 0}, false, {2024, 2, 10, 0, 0}},
        {{1999, 11, 25, 23, 59}, false, {2000, 1, 1, 23, 59}},
        {{2033, 11, 1, 12, 0}, true, {2033, 12, 22, 12, 0}},
        {{2023, 12, 30, 12, 0}, false, {2024, 2, 9, 12, 0}},  // February start clipped to the 28th
    };
    MYiDateEx cal;
    for (const Case& c : cases) {
        TDateTime solar{};
        std::string message;
        ASSERT_TRUE(cal.SolarOfLunar(c.lunar, c.leap, solar, message))
            << c.lunar.year << "-" << c.lunar.month;
        EXPECT_EQ(solar, c.solar) << c.lunar.year << "-" << c.lunar.month << "-" << c.lunar.day;
        EXPECT_TRUE(message.empty());
    }
}

TEST(LunarCalendar, SolarOfLunarRefusesADateThatDoesNotExist) {
    MYiDateEx cal;
    const TDateTime before{1, 2, 3, 4, 5};
    struct Case {
        TDateTime lunar;
        bool leap;
    } cases[] = {
        {{2023, 3, 30, 12, 0}, false},  // the third month of 2023 has 29 days (checked below)
        {{2024, 2, 1, 12, 0}, true},    // 2024 has no leap second month
    };
    // Make sure the first case really is a 29-day month.
    TDateTime first;
    std::string message;
    ASSERT_TRUE(cal.SolarOfLunar(TDateTime{2023, 3, 1, 12, 0}, false, first, message));
    TDateTime l;
    int length = 0;
    cal.LunarOfSolar(first, l, length);
    ASSERT_EQ(length, 29);

    for (const Case& c : cases) {
        TDateTime solar = before;
        std::string msg;
        EXPECT_FALSE(cal.SolarOfLunar(c.lunar, c.leap, solar, msg));
        EXPECT_EQ(msg, "不存在这个农历日期，无法转换到公历！");
        EXPECT_EQ(solar, before);
    }
}

TEST(LunarCalendar, AncientMonthNumbering) {
    MYiDateEx cal;
    // In -220 .. -104 the year starts with the tenth month and its
    // thirteenth month is numbered 10 again; before -220 the extra month is 13.
    auto numbers = [&](int16_t year) {
        std::vector<int> seen;
        TDateTime r{year, 6, 1, 12, 0};
        TDateTime l;
        for (int i = 0; i < 420; ++i) {
            cal.LunarOfSolar(r, l);
            if (l.day == 1) seen.push_back(l.month);
            cal.NextDay(r);
        }
        return seen;
    };
    auto has = [](const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); };
    bool thirteen = false;
    for (int16_t y = -600; y < -560; y += 1) thirteen = thirteen || has(numbers(y), 13);
    EXPECT_TRUE(thirteen);
    for (int16_t y = -200; y < -160; y += 3) EXPECT_FALSE(has(numbers(y), 13)) << y;
    // No leap flag in the ancient calendars.
    TDateTime l;
    for (TDateTime r{-300, 1, 1, 12, 0}; r.year < -296; cal.NextDay(r)) {
        EXPECT_FALSE(cal.LunarOfSolar(r, l));
    }
}

TEST(LunarCalendar, Years689To700NumberTwoMonthsOne) {
    MYiDateEx cal;
    TDateTime r{695, 1, 1, 12, 0}, l;
    int ones = 0;
    for (int i = 0; i < 366; ++i, cal.NextDay(r)) {
        cal.LunarOfSolar(r, l);
        if (l.day == 1 && l.month == 1) ++ones;
    }
    EXPECT_EQ(ones, 2);
}

TEST(LunarCalendar, KeptLayoutEqualsARebuild) {
    // One object walking day by day keeps its layout; a fresh object per day
    // rebuilds it. Both must answer alike, across mean-table, corrected and
    // series periods.
    MYiDateEx walker;
    for (int16_t start : {int16_t(-500), int16_t(1100), int16_t(1700), int16_t(1959), int16_t(2033)}) {
        TDateTime r{start, 11, 1, 12, 0};
        for (int i = 0; i < 500; ++i, walker.NextDay(r)) {
            MYiDateEx fresh;
            TDateTime a, b;
            int la = 0, lb = 0;
            const bool leapA = walker.LunarOfSolar(r, a, la);
            const bool leapB = fresh.LunarOfSolar(r, b, lb);
            ASSERT_EQ(a, b) << r.year << "-" << r.month << "-" << r.day;
            ASSERT_EQ(la, lb);
            ASSERT_EQ(leapA, leapB);
        }
    }
}

TEST(LunarCalendar, CorrectionTextsRoundTrip) {
    MYiDateEx cal;
    EXPECT_GT(cal.NewMoonCorrections().size(), 16000u);
    EXPECT_GT(cal.SolarTermCorrections().size(), 7500u);
    EXPECT_EQ(cal.NewMoonCorrections().find_first_not_of("012"), std::string::npos);
    EXPECT_EQ(ExpandCorrectionText(PackCorrectionText(cal.NewMoonCorrections())), cal.NewMoonCorrections());
    EXPECT_EQ(ExpandCorrectionText("JkA2"), "0001" + std::string(60, '0') + "2");
}

TEST(LunarCalendar, Names) {
    MYiDateEx cal;
    EXPECT_EQ(cal.LunarMonthText(1, false), "正月");
    EXPECT_EQ(cal.LunarMonthText(2, true), "闰二月");
    EXPECT_EQ(cal.LunarMonthText(11, false), "十一月");
    EXPECT_EQ(cal.LunarMonthText(13, false), "十三月");
    EXPECT_EQ(cal.LunarDayText(1), "初一");
    EXPECT_EQ(cal.LunarDayText(10), "初十");
    EXPECT_EQ(cal.LunarDayText(11), "十一");
    EXPECT_EQ(cal.LunarDayText(20), "二十");
    EXPECT_EQ(cal.LunarDayText(21), "廿一");
    EXPECT_EQ(cal.LunarDayText(30), "三十");
}

}  // namespace
}  // namespace qd
