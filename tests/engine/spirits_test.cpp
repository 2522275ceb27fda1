// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/spirits.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/ganzhi.h"

namespace qd {
namespace {

using Pillars = std::array<int16_t, 4>;

Pillars MakePillars(const char* year, const char* month, const char* day) {
    return {static_cast<int16_t>(CycleNumber(year)), static_cast<int16_t>(CycleNumber(month)),
            static_cast<int16_t>(CycleNumber(day)), 1};
}

// A position with only the tested field set; the others hold 0.
TPositions Only(int position, const char* name) {
    TPositions p;
    switch (position) {
        case kPosRenYuan: p.renYuan = static_cast<uint8_t>(StemNumber(name)); break;
        case kPosGuiShen: p.guiShen = static_cast<uint8_t>(CycleNumber(name)); break;
        case kPosJiangShen: p.jiangShen = static_cast<uint8_t>(CycleNumber(name)); break;
        default: p.diFen = static_cast<uint8_t>(BranchNumber(name)); break;
    }
    return p;
}

TEST(Spirits, Table) {
    // Year 甲子 (丧门 寅, 吊客 戌, 病符 亥) and day 甲子 (驿马 寅, 劫煞 巳,
    // 截路 申) throughout; the month varies.
    struct Case {
        const char* month;
        int position;
        const char* name;
        const char* spirits;
    } cases[] = {
        {"丙寅", kPosGuiShen, "丁卯", "天德,六丁,"},
        {"丙寅", kPosRenYuan, "丙", "月德,"},
        {"丙寅", kPosRenYuan, "壬", "天德合,"},
        {"丙寅", kPosRenYuan, "辛", "月德合,"},
        {"丙寅", kPosRenYuan, "甲", "六甲,"},
        // Stem codes never match 地分: "14" names 丁, not 卯.
        {"丙寅", kPosDiFen, "卯", ""},
        {"丙寅", kPosDiFen, "申", "截路,月破,"},
        {"丁卯", kPosDiFen, "申", "天德,天马,截路,"},
        // 天赦 tests the whole cycle, of 贵神 and 将神 only.
        {"丙寅", kPosGuiShen, "戊寅", "天赦,驿马,丧门,"},
        {"丙寅", kPosDiFen, "寅", "驿马,丧门,"},
        {"丙子", kPosJiangShen, "甲子", "天赦,六甲,月厌,"},
        {"丙寅", kPosDiFen, "戌", "天喜,吊客,飞廉,月厌,"},
        {"丙寅", kPosDiFen, "丑", "天医,四丘,"},
        {"丙寅", kPosDiFen, "未", "四墓,"},
        {"丙寅", kPosDiFen, "酉", "丧车,"},
        {"丙寅", kPosDiFen, "午", "天马,"},
        {"丙寅", kPosDiFen, "子", "生气,"},
        // 丑 month: 生气 and 月厌 both 亥, 月破 未.
        {"丁丑", kPosDiFen, "亥", "病符,生气,月厌,"},
        {"丁丑", kPosDiFen, "未", "月破,"},
        {"乙亥", kPosDiFen, "巳", "劫煞,月破,"},
    };
    for (const Case& c : cases) {
        const Pillars pillars = MakePillars("甲子", c.month, "甲子");
        EXPECT_EQ(SpiritsOf(c.position, Only(c.position, c.name), pillars), c.spirits)
            << c.month << " " << PositionName(c.position) << " " << c.name;
    }
}

TEST(Spirits, DayBranchGroupsAndDayStem) {
    // Day 丙寅: 驿马 申, 劫煞 亥, 截路 辰. Month 乙亥, year 甲子.
    const Pillars pillars = MakePillars("甲子", "乙亥", "丙寅");
    EXPECT_EQ(SpiritsOf(kPosDiFen, Only(kPosDiFen, "申"), pillars), "驿马,");
    EXPECT_EQ(SpiritsOf(kPosDiFen, Only(kPosDiFen, "亥"), pillars), "病符,劫煞,");
    EXPECT_EQ(SpiritsOf(kPosDiFen, Only(kPosDiFen, "辰"), pillars), "截路,四墓,");
}

TEST(Spirits, PositionText) {
    const Pillars pillars = MakePillars("甲子", "丙寅", "甲子");
    // 土 under 火 is 相; the comma after the last spirit becomes a blank.
    EXPECT_EQ(PositionText(kPosDiFen, Only(kPosDiFen, "丑"), kPhaseFire, pillars), "土 - 相  天医,四丘 \r\n");
    // No spirit: strength word, two blanks, line break.
    EXPECT_EQ(PositionText(kPosDiFen, Only(kPosDiFen, "卯"), kPhaseFire, pillars), "木 - 休  \r\n");
    EXPECT_EQ(PositionText(kPosRenYuan, Only(kPosRenYuan, "甲"), kPhaseWood, pillars), "木 + 旺  六甲 \r\n");
    EXPECT_EQ(PositionText(kPosGuiShen, Only(kPosGuiShen, "丁卯"), kPhaseWater, pillars),
              "木 - 相  天德,六丁 \r\n");
    EXPECT_EQ(DirectPositionText(kPosGuiShen, Only(kPosGuiShen, "丁卯"), kPhaseWater), "木 - 相  \r\n");
    EXPECT_EQ(DirectPositionText(kPosJiangShen, Only(kPosJiangShen, "甲戌"), kPhaseFire), "土 + 相  \r\n");
}

TEST(Spirits, DayVoids) {
    // clang-format off
    struct Case { int day; const char* first; const char* second; const char* head;
                  const char* label; } cases[] = {
        {1, "戌", "亥", "甲子", "(水)"},
        {10, "戌", "亥", "甲子", "(水)"},   // 癸酉 closes the first decade
        {11, "申", "酉", "甲戌", "(无)"},
        {21, "午", "未", "甲申", "(金)"},
        {31, "辰", "巳", "甲午", "(水)"},
        {41, "寅", "卯", "甲辰", "(无)"},
        {51, "子", "丑", "甲寅", "(金)"},
        {0, "子", "丑", "甲寅", "(金)"},    // 癸亥 is the sixtieth day
        {60, "子", "丑", "甲寅", "(金)"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        const TDayVoids v = DayVoids(c.day);
        EXPECT_STREQ(BranchName(v.first), c.first);
        EXPECT_STREQ(BranchName(v.second), c.second);
        EXPECT_EQ(CycleName(v.head), c.head);
        EXPECT_STREQ(v.label, c.label);
    }
    EXPECT_TRUE(IsVoid(BranchNumber("亥"), 1));
    EXPECT_TRUE(IsVoid(BranchNumber("戌"), 1));
    EXPECT_FALSE(IsVoid(BranchNumber("子"), 1));
    EXPECT_TRUE(IsVoid(BranchNumber("子"), 0));
}

}  // namespace
}  // namespace qd
