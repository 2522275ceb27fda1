// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/cast.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/ganzhi.h"

namespace qd {
namespace {

constexpr double kZhongQi = 2460000.25;  // some 中气 instant
constexpr double kMinute = 1.0 / 1440.0;

struct CastCase {
    const char* what;
    // Month general input.
    int choice;
    const char* month;  // month pillar
    double clockJd;
    int iYueJiang;
    // Cast input; the hour pillar follows from day stem and hour branch.
    const char* day;
    const char* hour;  // hour branch
    int earth;         // stored branch number (earth 12 → 0)
    int mode;
    int iGui;
    // Expected.
    const char* general;  // month general branch
    bool daytime;
    int god;  // god number on the earth
    const char* renYuan;
    const char* guiShen;
    const char* jiangShen;
    const char* diFen;
    // Re-derived stems, checked when given.
    const char* rRenYuan;
    const char* rShenGan;
    const char* rJiangGan;
};

// clang-format off
const CastCase kCases[] = {
    {"worked example", 1, "丙寅", kZhongQi, 1, "甲辰", "申", 7, 0, 0,
     "子", true, 5, "庚", "丙寅", "甲戌", "午", "壬", "庚寅", "甲戌"},
    {"night, backward", 8, "丙寅", kZhongQi, 1, "甲子", "亥", 9, 0, 0,
     "未", false, 11, "壬", "乙亥", "戊辰", "申", "戊", "丁亥", "丙辰"},
    {"night, forward", 1, "丙寅", kZhongQi, 1, "辛丑", "亥", 6, 0, 0,
     "子", false, 3, "癸", "辛卯", "甲午", "巳", nullptr, nullptr, nullptr},
    {"辛 at 酉 is night, 贵人 on the earth", 1, "丙寅", kZhongQi, 1, "辛丑", "酉", 3, 0, 0,
     "子", false, 0, "庚", "己丑", "癸巳", "寅", nullptr, nullptr, nullptr},
    {"辛 by day runs backward: 腾蛇 on 巳", 1, "丙寅", kZhongQi, 1, "辛丑", "午", 6, 0, 0,
     "子", true, 1, "癸", "癸巳", "己亥", "巳", nullptr, nullptr, nullptr},
    {"earth 12 is 亥", 1, "丙寅", kZhongQi, 1, "甲子", "子", 0, 1, 0,
     "子", true, 10, "乙", "癸酉", "乙亥", "亥", nullptr, nullptr, nullptr},
    {"earth on the hour branch takes the general", 1, "丙寅", kZhongQi, 1, "甲辰", "申", 9, 0, 0,
     "子", true, 7, "壬", "壬申", "甲子", "申", nullptr, nullptr, nullptr},
    // The month general.
    {"chosen 12 is 亥 whatever the month", 12, "丙寅", kZhongQi - kMinute, 0, "甲辰", "申", 7, 0, 0,
     "亥", true, 5, "庚", "丙寅", "癸酉", "午", nullptr, nullptr, nullptr},
    {"by 中气, a minute before it", 0, "丙寅", kZhongQi - kMinute, 0, "甲辰", "申", 7, 0, 0,
     "子", true, 5, "庚", "丙寅", "甲戌", "午", nullptr, nullptr, nullptr},
    {"by 中气, at its minute", 0, "丙寅", kZhongQi, 0, "甲辰", "申", 7, 0, 0,
     "亥", true, 5, "庚", "丙寅", "癸酉", "午", nullptr, nullptr, nullptr},
    {"by 节, before the 中气", 0, "丙寅", kZhongQi - kMinute, 1, "甲辰", "申", 7, 0, 0,
     "亥", true, 5, "庚", "丙寅", "癸酉", "午", nullptr, nullptr, nullptr},
    {"by 节, 丑 month", 0, "丁丑", kZhongQi, 1, "甲辰", "申", 7, 0, 0,
     "子", true, 5, "庚", "丙寅", "甲戌", "午", nullptr, nullptr, nullptr},
    // Day or night.
    {"卯 is day", 1, "丙寅", kZhongQi, 1, "甲子", "卯", 7, 0, 0,
     "子", true, 5, "庚", "丙寅", "丁卯", "午", nullptr, nullptr, nullptr},
    {"酉 is night", 1, "丙寅", kZhongQi, 1, "甲子", "酉", 7, 0, 0,
     "子", false, 1, "庚", "己巳", "癸酉", "午", nullptr, nullptr, nullptr},
    {"子 is night", 1, "丙寅", kZhongQi, 1, "甲子", "子", 7, 0, 0,
     "子", false, 1, "庚", "己巳", "庚午", "午", nullptr, nullptr, nullptr},
    {"night mode at noon", 1, "丙寅", kZhongQi, 1, "甲子", "午", 7, 2, 0,
     "子", false, 1, "庚", "己巳", "甲子", "午", nullptr, nullptr, nullptr},
    {"day mode at midnight", 1, "丙寅", kZhongQi, 1, "甲子", "子", 7, 1, 0,
     "子", true, 5, "庚", "丙寅", "庚午", "午", nullptr, nullptr, nullptr},
    // The second noble table moves only 甲.
    {"甲羊 by day", 1, "丙寅", kZhongQi, 1, "甲子", "午", 8, 1, 1,
     "子", true, 0, "辛", "乙丑", "乙丑", "未", nullptr, nullptr, nullptr},
    {"甲牛 by day", 1, "丙寅", kZhongQi, 1, "甲子", "午", 8, 1, 0,
     "子", true, 6, "辛", "甲戌", "乙丑", "未", nullptr, nullptr, nullptr},
    {"甲羊 by night", 1, "丙寅", kZhongQi, 1, "甲子", "午", 1, 2, 1,
     "子", false, 1, "甲", "己巳", "庚午", "子", nullptr, nullptr, nullptr},
};
// clang-format on

TEST(Cast, PositionsTable) {
    for (const CastCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const int month = CycleNumber(c.month);
        const int day = CycleNumber(c.day);
        const int hourBranch = BranchNumber(c.hour);
        const int hour = RatCycle(StemOf(day), hourBranch);
        ASSERT_GE(month, 0);
        ASSERT_GE(day, 0);

        const int g = ChooseMonthGeneral(c.choice, month, c.clockJd, kZhongQi, c.iYueJiang);
        EXPECT_STREQ(BranchName(g), c.general);
        EXPECT_EQ(IsDaytime(c.mode, hourBranch), c.daytime);
        EXPECT_EQ(GodOnEarth(StemOf(day), hourBranch, c.earth, c.mode, c.iGui), c.god);

        const TPositions p = CastPositions(day, hour, g, c.earth, c.mode, c.iGui);
        EXPECT_STREQ(StemName(p.renYuan), c.renYuan);
        EXPECT_EQ(CycleName(p.guiShen), c.guiShen);
        EXPECT_EQ(GodOfBranch(BranchOf(p.guiShen)), c.god);
        EXPECT_EQ(CycleName(p.jiangShen), c.jiangShen);
        EXPECT_STREQ(BranchName(p.diFen), c.diFen);

        if (c.rRenYuan) {
            const TRederived r = RederiveStems(p);
            EXPECT_STREQ(StemName(r.renYuan), c.rRenYuan);
            EXPECT_EQ(CycleName(r.shenGan), c.rShenGan);
            EXPECT_EQ(CycleName(r.jiangGan), c.rJiangGan);
        }
    }
}

TEST(Cast, MonthGeneralsOfTheTwelveMonths) {
    // 寅 month takes 亥, 卯 戌, … 子 丑, 丑 子.
    const char* expected[12] = {"寅", "丑", "子", "亥", "戌", "酉",
                                "申", "未", "午", "巳", "辰", "卯"};  // by month branch 0..11
    for (int m = 0; m < 12; ++m) {
        const int month = RatCycle(1, m);
        EXPECT_STREQ(BranchName(ChooseMonthGeneral(0, month, 0, 0, 1)), expected[m]) << BranchName(m);
    }
}

TEST(Cast, TwelveGodsStandOnTwelveBranches) {
    // Every stem, day or night, both tables: 贵人 on the noble branch, 腾蛇
    // one step in the direction, and each god on exactly one earth.
    for (int iGui = 0; iGui < 2; ++iGui) {
        for (int s = 0; s < 10; ++s) {
            for (int mode = 1; mode <= 2; ++mode) {
                const bool day = mode == 1;
                const int n = NobleBranch(s, day, iGui);
                const int dir = GodDirection(s, day);
                EXPECT_EQ(GodOnEarth(s, 0, n, mode, iGui), 0);
                EXPECT_EQ(GodOnEarth(s, 0, n + dir + 12, mode, iGui), 1);
                std::set<int> gods;
                for (int e = 0; e < 12; ++e) gods.insert(GodOnEarth(s, 0, e, mode, iGui));
                EXPECT_EQ(gods.size(), 12u);
            }
        }
    }
}

TEST(Cast, RederivedStemsFollowTheCastBranches) {
    // The god's and the general's branches that re-deriving needs are the
    // branches the cast positions carry, for every input.
    for (int d = 0; d < 60; ++d) {
        for (int h = 0; h < 12; ++h) {
            for (int g = 0; g < 12; ++g) {
                for (int e = 0; e < 12; ++e) {
                    for (int mode = 0; mode < 3; ++mode) {
                        for (int iGui = 0; iGui < 2; ++iGui) {
                            const int hour = RatCycle(StemOf(d), h);
                            const TPositions p = CastPositions(d, hour, g, e, mode, iGui);
                            const int god = GodOnEarth(StemOf(d), h, e, mode, iGui);
                            ASSERT_EQ(BranchOf(p.guiShen), GodHomeBranch(god));
                            ASSERT_EQ(BranchOf(p.jiangShen), GeneralOnEarth(h, g, e));
                            ASSERT_EQ(p.diFen, e);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace qd
