// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/topics.h"

#include <gtest/gtest.h>

#include <string>

#include "base/richtext_plain.h"
#include "engine/cast.h"
#include "engine/ganzhi.h"
#include "engine/judgement.h"
#include "engine/strength.h"
#include "tests/engine/state_fixture.h"

namespace qd {
namespace {

// A cast by day, hour, general and earth, with its records filled by the
// judgement section as the engine does.
TCastState Cast(const char* day, const char* hour, const char* general, const char* earth) {
    TCastState s = testing_support::MakeCastState("甲子", "丙寅", day, hour, general, earth);
    CPlainTextSink view;
    WriteJudgement(s, view);
    return s;
}

// 人元 庚 金 死, 贵神 丙寅 木 休 (void on 甲辰), 将神 甲戌 土 相, 地分 午 火 旺;
// all yang, use 贵神.
TCastState WorkedCast() { return Cast("甲辰", "申", "子", "午"); }

TEST(Topics, WorkedCastReadings) {
    const TCastState s = WorkedCast();
    EXPECT_EQ(WealthReading(s),
              "★预测财运，当看将神并配合用爻以定财运好坏。\r\n\r\n"
              "○:财爻旺相，求财易得，公私可求，财多。\r\n\r\n"
              "○:财爻属阳，多为正财，为正当劳动、幸勤劳动所得之财或与男人有关。\r\n\r\n"
              "○:财爻属土，钱财多与矿产、房地产、土产、农畜牧业、建筑等较固定行业有关。\r\n\r\n"
              "○:将神和人元相生助，经营求财得天时之利，出外有贵人相助。\r\n\r\n"
              "○:将神和地分相生助，经营求财得地利之助，市场环境有利，或路途方便。\r\n\r\n");
    EXPECT_EQ(MarriageReading(s),
              "★预测婚姻，当看将神和贵神并配合用爻以定婚姻成败。\r\n\r\n"
              "○:用爻休囚，正常婚姻，或为明媒正娶，好事有时也会多磨。\r\n\r\n"
              "○:用爻逢空，多为虚假婚姻，婚事难成。\r\n\r\n"
              "○:将神和贵神相克害，夫妻不合感情差，一方对另一方无所助益，或夫妻分居两地。\r\n\r\n");
    EXPECT_EQ(IllnessReading(s),
              "★预测疾病，当看用爻以察病情。\r\n\r\n"
              "○:用爻休囚，一般疾病，稍待时日需花费钱财，运过就好。\r\n\r\n"
              "○:用爻逢空，小病逢冲日可愈，大病恐会加重。\r\n\r\n"
              "○:用爻属木，多为胆、肝、头、四肢、关节、筋脉、眼睛、神经等部位的病。\r\n\r\n"
              "○:干得方之助，疾病一次性治愈，或有良医救治。\r\n\r\n");
    EXPECT_EQ(JobReading(s),
              "★预测求职，当看用爻以察能否找到称心职业。\r\n\r\n"
              "○:用爻休囚，虽然不是很理想，但是通过努力，也能找到一份谋生的职业。\r\n\r\n"
              "○:用爻逢空，求职难成，或为自己能力不够。\r\n\r\n"
              "○:用爻属木，多为与木有关之行业，比如：园艺、种值、林业、木材、家俱、纺织、纸业、文教、"
              "学术、宗教、医疗、公务等。\r\n\r\n");
    EXPECT_EQ(LotteryReading(s),
              "★彩票号码预测：当详察四位五行、太玄数等组合\r\n\r\n1：为单数，为小数。\r\n\r\n"
              "2：尾数：9、7、3。(按可能性大小排列)");
}

bool Has(const std::string& text, const char* sentence) { return text.find(sentence) != std::string::npos; }

TEST(Topics, WealthSentencesFollowTheWealthPosition) {
    // clang-format off
    struct Case {
        const char* what;
        int jiang, gui, ren, di;  // phases
        uint8_t strength, yang, isVoid;
        const char* expected[3];
        const char* absent;
    } cases[] = {
        {"void adds to the strength sentence", 3, 1, 4, 2, kStrengthSi, 0, 1,
         {"○:财爻死，", "○:财逢空亡，", "○:财爻属阴，"}, "○:财爻旺相"},
        {"将 金 克 神 木: earned abroad", 4, 1, 4, 2, kStrengthQiu, 1, 0,
         {"○:财爻休囚，", "○:将克神或人元生将，", "○:财爻属金，"}, "○:财逢空亡"},
        {"人元 金 生 将 水: earned abroad; 水 克 火 地分", 0, 0, 4, 2, kStrengthXiu, 1, 0,
         {"○:将克神或人元生将，", "○:将神和地分相克害，", "○:财爻属水，"}, "○:将神和人元相克害"},
        {"将 木 克 干 土", 1, 1, 3, 1, kStrengthWang, 1, 0,
         {"○:将神和人元相克害，", "○:将神和地分相生助，", "○:财爻属木，"}, "○:将克神或人元生将"},
        {"将 火", 2, 2, 2, 4, kStrengthXiang, 1, 0,
         {"○:财爻属火，", "○:将神和地分相克害，", "○:财爻旺相，"}, "○:将克神或人元生将"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCastState s = WorkedCast();
        s.records[kPosJiangShen] = {c.strength, static_cast<uint8_t>(c.jiang), c.yang, c.isVoid};
        s.records[kPosGuiShen].phase = static_cast<uint8_t>(c.gui);
        s.records[kPosRenYuan].phase = static_cast<uint8_t>(c.ren);
        s.records[kPosDiFen].phase = static_cast<uint8_t>(c.di);
        const std::string t = WealthReading(s);
        for (const char* e : c.expected) EXPECT_TRUE(Has(t, e)) << c.what << ": " << e;
        EXPECT_FALSE(Has(t, c.absent)) << c.what;
    }
}

TEST(Topics, UseSentencesByStrengthGroup) {
    const char* const marriage[] = {"○:用爻旺相，婚姻", "○:用爻休囚，正常", "○:用爻死，婚姻"};
    const char* const illness[] = {"○:用爻旺相，平安", "○:用爻休囚，一般", "○:用爻死，疾病"};
    const char* const job[] = {"○:用爻旺相，求职", "○:用爻休囚，虽然", "○:用爻死，求职"};
    for (int strength = 0; strength < 5; ++strength) {
        TCastState s = WorkedCast();
        s.records[kPosGuiShen].strength = static_cast<uint8_t>(strength);
        s.records[kPosGuiShen].isVoid = 0;
        const int group = strength <= 1 ? 0 : strength <= 3 ? 1 : 2;
        EXPECT_TRUE(Has(MarriageReading(s), marriage[group])) << strength;
        EXPECT_TRUE(Has(IllnessReading(s), illness[group])) << strength;
        EXPECT_TRUE(Has(JobReading(s), job[group])) << strength;
        EXPECT_FALSE(Has(IllnessReading(s), "逢空")) << strength;
    }
}

TEST(Topics, IllnessAndJobByPhaseAndRelation) {
    const char* const organs[] = {"肾、膀胱", "胆、肝", "小肠、心脏", "胃、脾", "大肠、肺"};
    const char* const trades[] = {"与水有关", "与木有关", "与火有关", "与土有关", "金有关"};
    for (int phase = 0; phase < 5; ++phase) {
        TCastState s = WorkedCast();
        s.records[kPosGuiShen].phase = static_cast<uint8_t>(phase);
        EXPECT_TRUE(Has(IllnessReading(s), organs[phase])) << phase;
        EXPECT_TRUE(Has(IllnessReading(s), "等部位的病。\r\n\r\n")) << phase;
        EXPECT_TRUE(Has(JobReading(s), trades[phase])) << phase;
    }
    // 干 overcoming (3) or generating (4) 方 spends it; otherwise 方 helps.
    const int relations[][3] = {{4, 1, 1}, {4, 0, 1}, {4, 4, 0}, {4, 2, 0}, {4, 3, 0}};
    for (const auto& r : relations) {
        TCastState s = WorkedCast();
        s.records[kPosRenYuan].phase = static_cast<uint8_t>(r[0]);
        s.records[kPosDiFen].phase = static_cast<uint8_t>(r[1]);
        const bool drained = r[2] == 1;
        EXPECT_EQ(Has(IllnessReading(s), "○:方泄干之气"), drained) << r[1];
        EXPECT_EQ(Has(IllnessReading(s), "○:干得方之助"), !drained) << r[1];
    }
}

TEST(Topics, MarriageCouple) {
    TCastState s = WorkedCast();
    s.records[kPosJiangShen].phase = kPhaseFire;  // 木 贵神 generates it
    EXPECT_TRUE(Has(MarriageReading(s), "○:将神和贵神相生助"));
    s.records[kPosJiangShen].phase = kPhaseMetal;  // overcomes 木
    EXPECT_TRUE(Has(MarriageReading(s), "○:将神和贵神相克害"));
}

TEST(Topics, LotteryOddDigitsBeatenByZeroPrintNone) {
    // Day 癸亥, hour 亥, general 亥, earth 未: 人元 己, 贵神 丙辰, 将神 己未,
    // 地分 未, all 土; the single yang 贵神 asks odd digits, but 0, 1, 5
    // and 7 all count 4, so no odd digit beats 0.
    const TCastState s = Cast("癸亥", "亥", "亥", "未");
    ASSERT_EQ(CycleName(s.positions.guiShen), "丙辰");
    ASSERT_EQ(CycleName(s.positions.jiangShen), "己未");
    EXPECT_EQ(LotteryReading(s),
              "★彩票号码预测：当详察四位五行、太玄数等组合\r\n\r\n1：为单数，为大数。\r\n\r\n"
              "2：尾数：");
}

TEST(Topics, LotteryEvenDigitsMayStartWithZero) {
    // Day 丙寅, hour 亥, general 亥, earth 丑: 己, 乙未, 己丑, 丑, all yin
    // 土; 0 counts 4 and is printed first, then 8 (3); no third digit.
    const TCastState s = Cast("丙寅", "亥", "亥", "丑");
    ASSERT_EQ(CycleName(s.positions.guiShen), "乙未");
    ASSERT_EQ(CycleName(s.positions.jiangShen), "己丑");
    EXPECT_EQ(LotteryReading(s),
              "★彩票号码预测：当详察四位五行、太玄数等组合\r\n\r\n1：为双数，为大数。\r\n\r\n"
              "2：尾数：0、8。(按可能性大小排列)");
}

TEST(Topics, TopicDispatchAndTitles) {
    const TCastState s = WorkedCast();
    EXPECT_EQ(TopicReading(s, kTopicWealth), WealthReading(s));
    EXPECT_EQ(TopicReading(s, kTopicMarriage), MarriageReading(s));
    EXPECT_EQ(TopicReading(s, kTopicIllness), IllnessReading(s));
    EXPECT_EQ(TopicReading(s, kTopicJob), JobReading(s));
    EXPECT_EQ(TopicReading(s, kTopicLottery), LotteryReading(s));
    EXPECT_EQ(TopicReading(s, 5), "");
    EXPECT_STREQ(TopicTitle(kTopicWealth), "财运预测");
    EXPECT_STREQ(TopicTitle(kTopicMarriage), "婚姻预测");
    EXPECT_STREQ(TopicTitle(kTopicIllness), "疾病预测");
    EXPECT_STREQ(TopicTitle(kTopicJob), "求职预测");
    EXPECT_STREQ(TopicTitle(kTopicLottery), "彩票预测");
    EXPECT_STREQ(TopicTitle(-1), "");
}

}  // namespace
}  // namespace qd
