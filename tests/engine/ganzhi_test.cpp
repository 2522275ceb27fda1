// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/ganzhi.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qd {
namespace {

TEST(Ganzhi, CycleNamesWrapAtSixty) {
    EXPECT_STREQ(StemName(0), "癸");
    EXPECT_STREQ(BranchName(0), "亥");
    EXPECT_EQ(CycleName(0), "癸亥");
    EXPECT_EQ(CycleName(1), "甲子");
    EXPECT_EQ(CycleName(59), "壬戌");
    // The calendar's formula answers 60 when the stem is given as 10.
    const int sixty = CycleFromStemBranch(10, 0);
    EXPECT_EQ(sixty, 60);
    EXPECT_EQ(CycleName(sixty), "癸亥");
    EXPECT_STREQ(StemName(StemOf(sixty)), "癸");
    EXPECT_STREQ(BranchName(BranchOf(sixty)), "亥");
}

TEST(Ganzhi, EveryCycleRoundTripsThroughStemAndBranch) {
    for (int n = 0; n < 60; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Mod(CycleFromStemBranch(StemOf(n), BranchOf(n)), 60), n);
        EXPECT_EQ(CycleNumber(CycleName(n)), n);
    }
    EXPECT_EQ(CycleNumber("甲丑"), -1);  // mixed parity names no cycle
    EXPECT_EQ(CycleNumber("子甲"), -1);
}

TEST(Ganzhi, NameTables) {
    EXPECT_STREQ(AnimalName(1), "鼠");
    EXPECT_STREQ(AnimalName(0), "猪");
    EXPECT_STREQ(GeneralName(0), "登明");
    EXPECT_STREQ(GeneralName(1), "神后");
    EXPECT_STREQ(GeneralName(11), "河魁");
    EXPECT_STREQ(GodName(5), "青龙");
    EXPECT_STREQ(GodName(11), "天后");
    EXPECT_STREQ(StrengthName(4), "死");
    EXPECT_STREQ(PositionName(kPosDiFen), "地分");
    EXPECT_STREQ(PillarBranchName(1), "年支");
    EXPECT_STREQ(PillarBranchName(4), "时支");
    EXPECT_STREQ(LunarMonthName(1), "正月");
    EXPECT_STREQ(LunarMonthName(11), "冬月");
    EXPECT_STREQ(LunarMonthName(12), "腊月");
    EXPECT_STREQ(kTriadFigureNames[kTriadUngratefulPunish], "无恩之刑");
}

TEST(Ganzhi, PhasesOfStemsAndBranches) {
    //                       癸 甲 乙 丙 丁 戊 己 庚 辛 壬
    const int stemPhase[10] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 0};
    for (int s = 0; s < 10; ++s) EXPECT_EQ(StemPhase(s), stemPhase[s]) << StemName(s);
    //                          亥 子 丑 寅 卯 辰 巳 午 未 申 酉 戌
    const int branchPhase[12] = {0, 0, 3, 1, 1, 3, 2, 2, 3, 4, 4, 3};
    for (int b = 0; b < 12; ++b) EXPECT_EQ(BranchPhase(b), branchPhase[b]) << BranchName(b);
    EXPECT_EQ(BranchPhase(12), kPhaseWater);
}

TEST(Ganzhi, YinYang) {
    EXPECT_TRUE(IsYang(BranchNumber("子")));
    EXPECT_FALSE(IsYang(BranchNumber("亥")));
    EXPECT_TRUE(IsYang(StemNumber("甲")));
    EXPECT_FALSE(IsYang(StemNumber("癸")));
    EXPECT_TRUE(IsYang(CycleNumber("甲子")));
    EXPECT_FALSE(IsYang(60));
}

TEST(Ganzhi, PhaseRelation) {
    struct Case {
        int x, y, d;
    } cases[] = {
        {kPhaseWood, kPhaseWater, 1},   // 水 generates 木
        {kPhaseMetal, kPhaseWood, 3},   // 金 overcomes 木
        {kPhaseWater, kPhaseMetal, 1},  // 金 generates 水
        {kPhaseEarth, kPhaseWater, 3},  // 土 overcomes 水
        {kPhaseWater, kPhaseWood, 4},   // 水 generates 木
        {kPhaseFire, kPhaseWater, 2},   // 水 overcomes 火
        {kPhaseFire, kPhaseFire, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PhaseRelation(c.x, c.y), c.d) << PhaseName(c.x) << PhaseName(c.y);
    }
}

TEST(Ganzhi, FiveRatRule) {
    struct Case {
        const char* stem;
        const char* branch;
        const char* cycle;
    } cases[] = {
        {"甲", "子", "甲子"}, {"甲", "亥", "乙亥"}, {"戊", "亥", "癸亥"}, {"乙", "子", "丙子"},
        {"癸", "子", "壬子"}, {"己", "子", "甲子"}, {"庚", "午", "壬午"}, {"辛", "寅", "庚寅"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CycleName(RatCycle(StemNumber(c.stem), BranchNumber(c.branch))), c.cycle)
            << c.stem << c.branch;
    }
    EXPECT_EQ(RatCycle(1, 12), RatCycle(1, 0));  // earth 12 is 亥
}

TEST(Ganzhi, NobleGodsAndHomeBranches) {
    EXPECT_EQ(GodOfBranch(BranchNumber("亥")), 11);   // 天后
    EXPECT_EQ(GodOfBranch(BranchNumber("丑")), 0);    // 贵人
    EXPECT_EQ(GodHomeBranch(5), BranchNumber("寅"));  // 青龙
    std::set<int> homes;
    for (int g = 0; g < 12; ++g) {
        EXPECT_EQ(GodOfBranch(GodHomeBranch(g)), g);
        homes.insert(GodHomeBranch(g));
    }
    EXPECT_EQ(homes.size(), 12u);
}

TEST(Ganzhi, PairRelations) {
    const auto B = [](const char* n) { return BranchNumber(n); };
    EXPECT_TRUE(IsClash(B("子"), B("午")));
    EXPECT_TRUE(IsClash(B("亥"), B("巳")));
    EXPECT_FALSE(IsClash(B("子"), B("未")));

    struct Pair {
        const char* a;
        const char* b;
        int phase;
    } harmonies[] = {
        {"子", "丑", 3}, {"寅", "亥", 1}, {"卯", "戌", 2}, {"辰", "酉", 4}, {"巳", "申", 0}, {"午", "未", 3},
    };
    for (const Pair& p : harmonies) {
        EXPECT_EQ(SixHarmonyPhase(B(p.a), B(p.b)), p.phase) << p.a << p.b;
        EXPECT_EQ(SixHarmonyPhase(B(p.b), B(p.a)), p.phase) << p.b << p.a;
    }
    EXPECT_EQ(SixHarmonyPhase(B("子"), B("寅")), -1);
    EXPECT_EQ(SixHarmonyPhase(B("子"), B("子")), -1);

    const char* harms[][2] = {{"子", "未"}, {"丑", "午"}, {"寅", "巳"},
                              {"卯", "辰"}, {"申", "亥"}, {"酉", "戌"}};
    for (const auto& h : harms) {
        EXPECT_TRUE(IsHarm(B(h[0]), B(h[1])) && IsHarm(B(h[1]), B(h[0]))) << h[0] << h[1];
    }
    EXPECT_FALSE(IsHarm(B("子"), B("丑")));

    for (int b = 0; b < 12; ++b) {
        const bool self = b == B("亥") || b == B("辰") || b == B("午") || b == B("酉");
        EXPECT_EQ(IsSelfPunishment(b, b), self) << BranchName(b);
    }
    EXPECT_FALSE(IsSelfPunishment(B("亥"), B("辰")));
    EXPECT_TRUE(IsRudePunishment(B("子"), B("卯")));
    EXPECT_TRUE(IsRudePunishment(B("卯"), B("子")));
    EXPECT_FALSE(IsRudePunishment(B("子"), B("子")));
}

TEST(Ganzhi, ThreeBranchFigures) {
    struct Case {
        const char* a;
        const char* b;
        const char* c;
        int figure;
    } cases[] = {
        {"寅", "午", "戌", kTriadFire},
        {"戌", "寅", "午", kTriadFire},
        {"亥", "卯", "未", kTriadWood},  // 亥 counts as 12, not 0
        {"未", "亥", "卯", kTriadWood},
        {"巳", "酉", "丑", kTriadMetal},
        {"辰", "申", "子", kTriadWater},
        {"丑", "戌", "未", kTriadPowerPunish},
        {"申", "寅", "巳", kTriadUngratefulPunish},
        {"子", "丑", "寅", kTriadNone},
        {"寅", "午", "午", kTriadNone},
        {"亥", "亥", "亥", kTriadNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TriadFigure(BranchNumber(c.a), BranchNumber(c.b), BranchNumber(c.c)), c.figure)
            << c.a << c.b << c.c;
    }
    EXPECT_EQ(TriadFigure(12, 4, 8), kTriadWood);
}

TEST(Ganzhi, StemFiveCombination) {
    const auto S = [](const char* n) { return StemNumber(n); };
    EXPECT_EQ(StemCombination(S("甲"), S("己")), S("甲"));
    EXPECT_EQ(StemCombination(S("己"), S("甲")), S("甲"));
    EXPECT_EQ(StemCombination(S("丁"), S("壬")), S("丁"));
    EXPECT_EQ(StemCombination(S("戊"), S("癸")), S("癸"));  // 癸 is number 0
    EXPECT_EQ(StemCombination(S("甲"), S("乙")), -1);
    EXPECT_EQ(StemCombination(S("甲"), S("甲")), -1);
}

}  // namespace
}  // namespace qd
