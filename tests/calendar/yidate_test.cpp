// SPDX-License-Identifier: GPL-3.0-or-later

#include <cmath>

#include <gtest/gtest.h>

#include "calendar/yidate.h"

namespace qd {
namespace {

TEST(SolarTerms, Instants) {
    MYiDateEx cal;
    const TDateTime lichun = cal.SolarTermInstant(2000, 2, MonthTerm::Jie);
    EXPECT_EQ(lichun.year, 2000);
    EXPECT_EQ(lichun.month, 2);
    EXPECT_EQ(lichun.day, 4);
    // 小寒 of year y falls in January of that year, not of y - 1.
    for (int y : {1900, 1950, 2000, 2024, 2100, 2200}) {
        const TDateTime x = cal.SolarTermInstant(y, 1, MonthTerm::Jie);
        EXPECT_EQ(x.year, y);
        EXPECT_EQ(x.month, 1);
        EXPECT_TRUE(x.day == 5 || x.day == 6 || x.day == 7) << y << ": " << x.day;
    }
    // 冬至 is the 中气 of December.
    const TDateTime dongzhi = cal.SolarTermInstant(2024, 12, MonthTerm::ZhongQi);
    EXPECT_EQ(dongzhi, (TDateTime{2024, 12, 21, 17, 20}));
}

TEST(SolarTerms, TermsOf2024) {
    MYiDateEx cal;
    const std::vector<TSolarTermEntry> terms = cal.SolarTermsOfYear(2024);
    ASSERT_EQ(terms.size(), 24u);
    const int days[24] = {6, 20, 4, 19, 5, 20, 4, 19, 5, 20, 5, 21, 6, 22, 7, 22, 7, 22, 8, 23, 7, 22, 6, 21};
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(terms[i].index, i);
        EXPECT_EQ(terms[i].when.month, i / 2 + 1) << kSolarTermNames[i];
        EXPECT_EQ(terms[i].when.day, days[i]) << kSolarTermNames[i];
    }
    EXPECT_STREQ(kSolarTermNames[terms.front().index], "小寒");
    EXPECT_STREQ(kSolarTermNames[terms.back().index], "冬至");
}

TEST(SolarTerms, SolarMonthChangesAtTheUnroundedJie) {
    MYiDateEx cal;
    const TDateTime lichun = cal.SolarTermInstant(2024, 2, MonthTerm::Jie);  // 2024-02-04 16:27
    TDateTime before = cal.RecordOfJulianDay(cal.JulianDayOfRecord(lichun) - 60.0 / 86400);
    TSolarMonth out;
    EXPECT_EQ(cal.SolarMonthOf(before, &out), 2);  // still 丑
    EXPECT_EQ(out.nextJie, lichun);
    EXPECT_EQ(cal.SolarMonthOf(TDateTime{2024, 2, 4, 16, 28}, &out), 3);  // 寅
    EXPECT_EQ(out.jie, lichun);
    EXPECT_EQ(out.zhongQi.month, 2);
    EXPECT_EQ(out.zhongQi.day, 19);  // 雨水
    EXPECT_EQ(out.nextJie.month, 3);
    EXPECT_EQ(out.nextJie.day, 5);  // 惊蛰
    EXPECT_LT(out.jieJd, out.zhongQiJd);
    EXPECT_LT(out.zhongQiJd, out.nextJieJd);
    // Branches around the year's turn.
    EXPECT_EQ(cal.SolarMonthOf(TDateTime{2024, 1, 1, 12, 0}), 1);    // 子 (after 大雪)
    EXPECT_EQ(cal.SolarMonthOf(TDateTime{2024, 11, 20, 12, 0}), 0);  // 亥 (after 立冬)
    EXPECT_EQ(cal.SolarMonthOf(TDateTime{2024, 12, 31, 12, 0}), 1);  // 子
}

TEST(Pillars, KnownMoments) {
    struct Case {
        TDateTime r;
        int16_t year, month, day, hour;
    } cases[] = {
        {{1984, 2, 5, 12, 0}, 1, 3, 6, 7},      // 甲子 丙寅 己巳 庚午
        {{2000, 1, 1, 12, 0}, 16, 13, 55, 55},  // 己卯 丙子 戊午 戊午
        {{2000, 1, 1, 23, 30}, 16, 13, 56, 1},  // the day turns at 23:00: 己未, 甲子 hour
        {{2024, 2, 10, 0, 30}, 41, 3, 41, 1},   // 甲辰 丙寅 甲辰 甲子
    };
    MYiDateEx cal;
    for (const Case& c : cases) {
        const TPillars p = cal.Pillars(c.r);
        EXPECT_EQ(p.year, c.year) << c.r.year << "-" << c.r.month << "-" << c.r.day;
        EXPECT_EQ(p.month, c.month) << c.r.year << "-" << c.r.month << "-" << c.r.day;
        EXPECT_EQ(p.day, c.day) << c.r.year << "-" << c.r.month << "-" << c.r.day;
        EXPECT_EQ(p.hour, c.hour) << c.r.year << "-" << c.r.month << "-" << c.r.day;
    }
}

TEST(Pillars, YearTurnsAtTheMinuteOfLichun) {
    MYiDateEx cal;
    const TDateTime lichun = cal.SolarTermInstant(1984, 2, MonthTerm::Jie);
    TDateTime before = cal.RecordOfJulianDay(cal.JulianDayOfRecord(lichun) - 60.0 / 86400);
    EXPECT_EQ(cal.Pillars(lichun).year, 1);  // 甲子
    EXPECT_EQ(cal.Pillars(before).year, 0);  // 癸亥
}

TEST(SolarTime, Corrections) {
    MYiDateEx cal;
    TDateTime r{2004, 6, 15, 0, 30};
    EXPECT_EQ(cal.ApplySolarTime(120.0f, r, SolarTimeKind::LocalMeanTime), 0);
    EXPECT_EQ(r, (TDateTime{2004, 6, 15, 0, 30}));

    cal.ApplySolarTime(105.0f, r, SolarTimeKind::LocalMeanTime);
    EXPECT_EQ(r, (TDateTime{2004, 6, 14, 23, 30}));

    // 116.4 as a 32-bit float is 116.40000153: 863 s, not 864; from second 1
    // this lands at second 38 and rounds to 14 minutes earlier.
    TDateTime b{2004, 6, 15, 12, 0};
    cal.ApplySolarTime(116.4f, b, SolarTimeKind::LocalMeanTime);
    EXPECT_EQ(b, (TDateTime{2004, 6, 15, 11, 46}));

    // True solar time adds the equation of time, truncated to seconds.
    TDateTime t{1992, 11, 3, 12, 0};
    const double e = cal.ApplySolarTime(120.0f, t, SolarTimeKind::TrueSolarTime);
    EXPECT_NEAR(e, 16 * 60 + 25, 10);  // near the November maximum
    EXPECT_EQ(e, std::trunc(e));
    EXPECT_EQ(t, (TDateTime{1992, 11, 3, 12, 16}));
}

}  // namespace
}  // namespace qd
