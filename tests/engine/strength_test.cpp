// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/strength.h"

#include <gtest/gtest.h>

#include "engine/ganzhi.h"

namespace qd {
namespace {

TPositions Pos(const char* renYuan, const char* guiShen, const char* jiangShen, const char* diFen) {
    TPositions p;
    p.renYuan = static_cast<uint8_t>(StemNumber(renYuan));
    p.guiShen = static_cast<uint8_t>(CycleNumber(guiShen));
    p.jiangShen = static_cast<uint8_t>(CycleNumber(jiangShen));
    p.diFen = static_cast<uint8_t>(BranchNumber(diFen));
    return p;
}

TEST(Strength, WorkedExample) {
    const TPositions p = Pos("庚", "丙寅", "甲戌", "午");
    const int w = ProsperousPhase(p, CycleNumber("丙寅"), 0, false);
    EXPECT_EQ(w, kPhaseFire);
    // Day 甲辰: its decade leaves 寅 and 卯 void, so 贵神 丙寅 is void.
    const TPositionRecords r = PositionRecords(p, w, CycleNumber("甲辰"));
    const TPositionRecords expected = {{
        {kStrengthSi, kPhaseMetal, 1, 0},
        {kStrengthXiu, kPhaseWood, 1, 1},
        {kStrengthXiang, kPhaseEarth, 1, 0},
        {kStrengthWang, kPhaseFire, 1, 0},
    }};
    EXPECT_EQ(r, expected);
    EXPECT_EQ(UsePosition(p), kPosGuiShen);
    EXPECT_EQ(PositionRelation(p, kPosGuiShen, kPosJiangShen), 3);  // 木 克 土
    EXPECT_EQ(PositionRelation(p, kPosDiFen, kPosRenYuan), 3);      // 火 克 金
    EXPECT_EQ(PositionRelation(p, kPosRenYuan, kPosDiFen), 2);
    EXPECT_EQ(PositionRelation(p, kPosGuiShen, kPosDiFen), 4);  // 木 生 火
}

TEST(Strength, RenYuanIsNeverVoid) {
    // Day 甲申 leaves 午 and 未 void; 人元 庚 is stem 7, the number of 午.
    const TPositionRecords r =
        PositionRecords(Pos("庚", "丙寅", "甲戌", "午"), kPhaseFire, CycleNumber("甲申"));
    EXPECT_EQ(r[kPosRenYuan].isVoid, 0);
    EXPECT_EQ(r[kPosDiFen].isVoid, 1);
    EXPECT_EQ(r[kPosGuiShen].isVoid, 0);
}

TEST(Strength, ProsperousPhaseByCountAndOvercoming) {
    struct Case {
        const char* what;
        TPositions p;
        int phase;
    } cases[] = {
        {"all 金", Pos("庚", "庚申", "辛酉", "申"), kPhaseMetal},
        {"木 火 土 土: equal counts, the generating one", Pos("甲", "丙午", "戊辰", "丑"), kPhaseWood},
        {"木 木 火 土: the larger count", Pos("甲", "甲寅", "丙午", "辰"), kPhaseWood},
        {"火 土 土 土: the larger count even when generated", Pos("丙", "戊辰", "己丑", "未"), kPhaseEarth},
        {"水 金 金 水: 金 generates 水", Pos("壬", "庚申", "辛酉", "子"), kPhaseMetal},
        {"one unopposed", Pos("庚", "丙寅", "甲戌", "午"), kPhaseFire},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProsperousPhase(c.p, CycleNumber("丙辰"), 0, false), c.phase) << c.what;
    }
    // All four strengths are 旺 when all share the prosperous phase.
    const TPositions metal = Pos("庚", "庚申", "辛酉", "申");
    for (const TPositionRecord& r : PositionRecords(metal, kPhaseMetal, 1)) {
        EXPECT_EQ(r.strength, kStrengthWang);
    }
}

TEST(Strength, ProsperousPhaseBySeason) {
    const TPositions p = Pos("庚", "丙寅", "甲戌", "午");  // 火 by count
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("丙辰"), 1, false), kPhaseEarth);
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("乙亥"), 1, false), kPhaseWater);
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("丙子"), 1, false), kPhaseWater);
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("丁卯"), 1, false), kPhaseWood);
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("壬申"), 1, false), kPhaseMetal);
    // A direct cast has no month; other iWang values keep the count rule.
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("丙辰"), 1, true), kPhaseFire);
    EXPECT_EQ(ProsperousPhase(p, CycleNumber("丙辰"), 2, false), kPhaseFire);
}

TEST(Strength, StrengthAgainstTheProsperousPhase) {
    EXPECT_EQ(StrengthOf(kPhaseFire, kPhaseFire), kStrengthWang);
    EXPECT_EQ(StrengthOf(kPhaseEarth, kPhaseFire), kStrengthXiang);  // 火 生 土
    EXPECT_EQ(StrengthOf(kPhaseWood, kPhaseFire), kStrengthXiu);     // 木 生 火
    EXPECT_EQ(StrengthOf(kPhaseWater, kPhaseFire), kStrengthQiu);    // 水 克 火
    EXPECT_EQ(StrengthOf(kPhaseMetal, kPhaseFire), kStrengthSi);     // 火 克 金
    EXPECT_EQ(StrengthOf(kPhaseMetal, kPhaseWater), kStrengthXiu);
}

TEST(Strength, UsePositionByYinYang) {
    struct Case {
        const char* what;
        TPositions p;
        int use;
    } cases[] = {
        {"four yin", Pos("乙", "丁卯", "己巳", "丑"), kPosJiangShen},
        {"four yang", Pos("甲", "丙寅", "戊辰", "子"), kPosGuiShen},
        {"two and two", Pos("甲", "丁卯", "戊辰", "丑"), kPosJiangShen},
        {"one yang: 人元", Pos("甲", "丁卯", "己巳", "丑"), kPosRenYuan},
        {"one yang: 地分", Pos("乙", "丁卯", "己巳", "子"), kPosDiFen},
        {"one yin: 地分", Pos("甲", "丙寅", "戊辰", "丑"), kPosDiFen},
        {"one yin: 贵神", Pos("甲", "丁卯", "戊辰", "子"), kPosGuiShen},
    };
    for (const Case& c : cases) EXPECT_EQ(UsePosition(c.p), c.use) << c.what;
}

}  // namespace
}  // namespace qd
