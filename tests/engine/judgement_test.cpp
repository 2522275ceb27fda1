// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/judgement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "base/richtext_plain.h"
#include "engine/cast.h"
#include "engine/ganzhi.h"
#include "engine/judgement_texts.h"
#include "engine/strength.h"
#include "tests/engine/state_fixture.h"

namespace qd {
namespace {

TCastState MakeState(const char* year, const char* month, const char* day, const char* hour,
                     const char* general, const char* earth) {
    return testing_support::MakeCastState(year, month, day, hour, general, earth);
}

// The worked cast: day 甲辰, hour 壬申, general 子, earth 午 (人元 庚,
// 贵神 丙寅, 将神 甲戌, 地分 午). Year 申 and month 子 give each branch
// position a clash to report.
TCastState WorkedCast() { return MakeState("甲申", "丙子", "甲辰", "申", "子", "午"); }

std::string T(int key) { return JudgementText(key); }

TEST(Judgement, WorkedExampleBody) {
    TCastState s = WorkedCast();
    ASSERT_EQ(CycleName(s.positions.guiShen), "丙寅");
    ASSERT_EQ(CycleName(s.positions.jiangShen), "甲戌");
    CPlainTextSink view;
    WriteJudgement(s, view);

    // clang-format off
    const std::string expected =
        "※课内纯阳反阴，取贵神为用，有外强内弱之势，在外顺利。\r\n\r\n"
        "※1、怪合身课  阴害卦。三合全，本位克身。此课怪动，主灾病忧疑、伤身、破财。"
        "（十二月，甲辰日，申时，午位）\r\n\r\n"
        "※用爻休囚，事情好坏掺半，勉力为之或可成，不然往往劳而无功。\r\n\r\n"
        "★神克将为贼动，贼动内贼生，内财受克，主阴谋贼生而盗财物。勾连诈不明，外勾里连，"
        "空诈不明。\r\n\r\n"
        "★方克干为鬼动，鬼动忧灾怪，占主灾怪及人，多怪异之事，官亨人出外。\r\n\r\n"
        // No 21-23 text, no combination, no composition (four phases).
        "\r\n△人元解:\r\n    " + T(32) + "\r\n\r\n"
        "\r\n△贵神解:寅申贵神、年支相冲,寅申贵神、时支相冲。\r\n    " + T(41) + "\r\n    " +
        T(44) + "\r\n\r\n"
        "\r\n△将神解:戌辰将神、日支相冲。\r\n    " + T(51) + "\r\n\r\n"
        "\r\n△地分解:午子地分、月支相冲。\r\n    " + T(63) + "\r\n\r\n";
    // clang-format on
    EXPECT_EQ(JudgementBody(s), expected);

    // The records the topic readings use: 金 死, 木 休 (void on a 甲辰 day),
    // 土 相, 火 旺, all yang.
    const TPositionRecords records = {{
        {kStrengthSi, kPhaseMetal, 1, 0},
        {kStrengthXiu, kPhaseWood, 1, 1},
        {kStrengthXiang, kPhaseEarth, 1, 0},
        {kStrengthWang, kPhaseFire, 1, 0},
    }};
    EXPECT_EQ(s.records, records);
}

TEST(Judgement, SectionColoursAndBlocks) {
    TCastState s = WorkedCast();
    CPlainTextSink view;
    WriteJudgement(s, view);
    const std::string text = view.Text();
    const std::string head = "课盘解析:\n\n人元再遁:壬，神干再遁:庚，将干再遁:甲\n\n※课内纯阳反阴";
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(view.BlockCount(), 3);

    // The title is blue, the stems and the whole body green; all bold.
    const std::vector<TTextRun> runs = view.Runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].color, kBlue);
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[0].start, 0);
    EXPECT_EQ(runs[0].length, view.Find("人元再遁", 0, -1) - 1);
    EXPECT_EQ(runs[1].color, kGreen);
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[1].start + runs[1].length, view.TextLength());
}

TEST(Judgement, DirectCastComparesDayAndHourOnly) {
    TCastState s = WorkedCast();
    s.request.direct = 1;
    s.records = PositionRecords(s.positions, s.prosperous, s.pillars[2]);
    // The clashes with the year 申 and the month 子 are no longer reported.
    EXPECT_EQ(PillarRelations(s, kPosGuiShen), "寅申贵神、时支相冲。");
    EXPECT_EQ(PillarRelations(s, kPosJiangShen), "戌辰将神、日支相冲。");
    EXPECT_EQ(PillarRelations(s, kPosDiFen), "");
    EXPECT_NE(JudgementBody(s).find("\r\n△地分解:\r\n"), std::string::npos);
}

TEST(Judgement, PillarRelations) {
    // clang-format off
    struct Case {
        const char* what;
        const char* pillars[4];  // branches of year, month, day, hour
        int position;
        const char* branch;      // of the position
        bool direct;
        const char* expected;
    } cases[] = {
        {"自刑, its comma becomes 。", {"寅", "寅", "午", "寅"}, kPosGuiShen, "午", false,
         "午午贵神、日支自刑。"},
        {"自刑 only for 亥 辰 午 酉", {"子", "子", "子", "子"}, kPosDiFen, "子", false, ""},
        {"六合, 相害 and 无礼之刑, pillar by pillar", {"丑", "未", "卯", "戌"}, kPosDiFen, "子",
         false, "子丑地分、年支六合,子未地分、月支相害,子卯地分、日支无礼之刑。"},
        {"亥 punishes itself", {"亥", "子", "子", "子"}, kPosDiFen, "亥", false, "亥亥地分、年支自刑。"},
        {"a fire figure keeps its full-width comma", {"寅", "午", "子", "子"}, kPosJiangShen, "戌",
         false, "寅午戌年支、月支、将神三合火局，"},
        {"亥 counts as 12 in a wood figure", {"巳", "亥", "申", "未"}, kPosDiFen, "卯", false,
         "亥未卯月支、时支、地分三合木局。"},
        {"two-branch relations come before the figures", {"申", "子", "寅", "戌"}, kPosJiangShen, "辰",
         false, "辰戌将神、时支相冲,申子辰年支、月支、将神三合水局。"},
        {"恃势之刑", {"丑", "戌", "寅", "巳"}, kPosJiangShen, "未", false,
         "未丑将神、年支相冲,丑戌未年支、月支、将神恃势之刑。"},
        {"a direct cast has no year or month", {"丑", "未", "卯", "戌"}, kPosDiFen, "子", true,
         "子卯地分、日支无礼之刑。"},
        {"a direct cast keeps the figure of day and hour", {"辰", "子", "寅", "巳"}, kPosGuiShen,
         "申", true, "申寅贵神、日支相冲,申巳贵神、时支六合,寅巳申日支、时支、贵神无恩之刑。"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCastState s;
        for (int i = 0; i < 4; ++i) {
            // Any cycle with that branch; its stem plays no part.
            const int b = BranchNumber(c.pillars[i]);
            s.pillars[i] = static_cast<int16_t>(RatCycle(1, b));
        }
        const int b = BranchNumber(c.branch);
        s.positions.guiShen = static_cast<uint8_t>(RatCycle(1, b));
        s.positions.jiangShen = static_cast<uint8_t>(RatCycle(1, b));
        s.positions.diFen = static_cast<uint8_t>(b);
        s.request.direct = c.direct ? 1 : 0;
        EXPECT_EQ(PillarRelations(s, c.position), c.expected) << c.what;
    }
}

TEST(Judgement, LessonLookup) {
    // Month code 12 is the general 子; row 3 has code 5, the general 未.
    EXPECT_EQ(LessonRow(BranchNumber("子"), CycleNumber("甲辰"), BranchNumber("申"), BranchNumber("午")), 1);
    EXPECT_EQ(LessonRow(BranchNumber("未"), CycleNumber("甲子"), BranchNumber("亥"), BranchNumber("申")), 3);
    // The general 亥 is code 1 (13 − 0 brought back by 12): no row uses it.
    EXPECT_EQ(LessonRow(BranchNumber("亥"), CycleNumber("甲辰"), BranchNumber("申"), BranchNumber("午")), 0);
    // Rows 62 and 47 repeat rows 2 and 28: the first row wins.
    EXPECT_EQ(LessonRow(BranchNumber("子"), CycleNumber("乙巳"), BranchNumber("辰"), BranchNumber("午")), 2);
    EXPECT_EQ(LessonRow(BranchNumber("子"), CycleNumber("戊戌"), BranchNumber("戌"), BranchNumber("戌")), 28);
    // Day 癸亥 is cycle 0, whether given as 0 or 60.
    EXPECT_EQ(LessonRow(BranchNumber("子"), 60, BranchNumber("未"), BranchNumber("子")), 50);
    EXPECT_EQ(LessonText(BranchNumber("子"), CycleNumber("甲辰"), BranchNumber("申"), BranchNumber("午")),
              "1、怪合身课  阴害卦。三合全，本位克身。此课怪动，主灾病忧疑、伤身、破财。"
              "（十二月，甲辰日，申时，午位）");
    EXPECT_EQ(LessonText(BranchNumber("子"), CycleNumber("甲辰"), BranchNumber("申"), BranchNumber("未")),
              "");
}

TEST(Judgement, FormatLessonSplitsAtTheMarks) {
    EXPECT_EQ(FormatLesson("题#例#义"), "题。义（例）");
    EXPECT_EQ(FormatLesson("题#义"), "题。义");
    EXPECT_EQ(FormatLesson("题##义"), "题。#义");
    EXPECT_EQ(FormatLesson("#题"), "#题。");
    EXPECT_EQ(FormatLesson("题"), "题。");
}

// Every key row can be met by some general, day, hour and earth; walking
// them all shows which rows are ever shown and that each has its texts.
TEST(Judgement, EveryShownLessonHasItsTexts) {
    std::set<int> shown;
    for (int g = 0; g < 12; ++g)
        for (int day = 0; day < 60; ++day)
            for (int h = 0; h < 12; ++h)
                for (int e = 0; e < 12; ++e) {
                    const int row = LessonRow(g, day, h, e);
                    if (row != 0) shown.insert(row);
                }
    std::set<int> expected;
    for (int row = 1; row <= 64; ++row) {
        if (row != 45 && row != 47 && row != 62) expected.insert(row);
    }
    EXPECT_EQ(shown, expected);

    const char* const months[] = {"",   "一", "二", "三", "四",   "五",  "六",
                                  "七", "八", "九", "十", "十一", "十二"};
    for (int row = 1; row <= 64; ++row) {
        const std::string raw = JudgementText(100 + row);
        const size_t a = raw.find('#');
        const size_t b = raw.find('#', a + 1);
        ASSERT_NE(b, std::string::npos) << row;
        const std::string title = raw.substr(0, a);
        const std::string example = raw.substr(a + 1, b - a - 1);
        const std::string meaning = raw.substr(b + 1);
        EXPECT_EQ(title.substr(0, title.find("、")), std::to_string(row)) << raw;
        EXPECT_GE(meaning.size(), 30u) << row;
        EXPECT_EQ(meaning.find('#'), std::string::npos) << row;
        // The example names the key row.
        const judgement_tables::TLessonKey& k = judgement_tables::kLessonKeys[row - 1];
        const std::string day = k.day < 60 ? CycleName(k.day) + "日" : "十五日";
        EXPECT_EQ(example, std::string(months[k.monthCode]) + "月，" + day + "，" + BranchName(k.hour) +
                               "时，" + BranchName(k.earth) + "位")
            << row;
    }
}

TEST(Judgement, SentenceTable) {
    std::vector<int> keys = {1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 21, 22, 23};
    for (int base = 31; base <= 61; base += 10) {
        for (int j = 0; j < 4; ++j) keys.push_back(base + j);
    }
    for (int key : keys) EXPECT_GT(std::string(JudgementText(key)).size(), 6u) << key;
    EXPECT_STREQ(JudgementText(30), "1-2-3-2-0-3-1-2-");
    EXPECT_STREQ(JudgementText(6), "");
    EXPECT_STREQ(JudgementText(100), "");
    EXPECT_STREQ(JudgementText(165), "");
    // The partner texts name their pair: 31 干生神 … 64 方克将.
    const char* const shortNames[4] = {"干", "神", "将", "方"};
    const int partners[4][2] = {{1, 2}, {3, 2}, {0, 3}, {1, 2}};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const std::string head =
                std::string(shortNames[i]) + (j % 2 == 0 ? "生" : "克") + shortNames[partners[i][j / 2]];
            EXPECT_EQ(std::string(JudgementText(31 + 10 * i + j)).substr(0, head.size()), head);
        }
    }
    // The analysis reads its partners from a table; text 30 spells the same digits.
    for (int i = 0; i < 4; ++i) {
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(judgement_tables::kAnalysisPartners[i][s], partners[i][s]) << i;
            EXPECT_EQ(JudgementText(30)[4 * i + 2 * s] - '0', partners[i][s]) << i;
        }
    }
}

// Keys of the ★ and ☆ sentences of a body, in order.
std::vector<int> RelationKeys(const std::string& body) {
    std::vector<std::pair<size_t, int>> found;
    for (int key : {11, 12, 13, 14, 15, 21, 22, 23}) {
        const size_t at = body.find(JudgementText(key));
        if (at != std::string::npos) found.push_back({at, key});
    }
    std::sort(found.begin(), found.end());
    std::vector<int> keys;
    for (const auto& f : found) keys.push_back(f.second);
    return keys;
}

TPositions Pos(const char* renYuan, const char* guiShen, const char* jiangShen, const char* diFen) {
    TPositions p;
    p.renYuan = static_cast<uint8_t>(StemNumber(renYuan));
    p.guiShen = static_cast<uint8_t>(CycleNumber(guiShen));
    p.jiangShen = static_cast<uint8_t>(CycleNumber(jiangShen));
    p.diFen = static_cast<uint8_t>(BranchNumber(diFen));
    return p;
}

TEST(Judgement, PatternUseStrengthAndRelations) {
    struct Case {
        const char* what;
        TPositions p;
        int yinYangKey;
        const char* useText;  // start of the use strength sentence
        std::vector<int> relations;
    } cases[] = {
        {"four yin, use 将神 土 死 under 木", Pos("乙", "乙丑", "丁未", "巳"), 1, "※用爻死，", {22}},
        {"four yin, 地分 水 generates 人元 木", Pos("乙", "丁卯", "己丑", "亥"), 1, "※用爻死，", {12, 21}},
        {"two and two, use 将神 水 休 under 木", Pos("甲", "乙丑", "丙子", "卯"), 3, "※用爻休囚，", {12, 23}},
        {"three yin, one yang 人元 金 相 under 土", Pos("庚", "乙丑", "丁未", "酉"), 4, "※用爻旺相，", {23}},
        {"three yang, one yin 地分 金 旺", Pos("甲", "甲子", "丙寅", "酉"), 5, "※用爻旺相，", {13}},
        {"干 克 方, 将 克 神, 神 克 干", Pos("庚", "丙午", "壬子", "卯"), 5, "※用爻旺相，", {11, 14, 15}},
    };
    for (Case& c : cases) {
        TCastState s;
        s.positions = c.p;
        s.pillars[2] = 1;
        s.prosperous = static_cast<uint8_t>(ProsperousPhase(c.p, 0, 0, false));
        s.usePosition = static_cast<uint8_t>(UsePosition(c.p));
        s.records = PositionRecords(c.p, s.prosperous, s.pillars[2]);
        const std::string body = JudgementBody(s);
        EXPECT_EQ(body.find(std::string("※") + JudgementText(c.yinYangKey) + "\r\n\r\n"), 0u) << c.what;
        EXPECT_NE(body.find(c.useText), std::string::npos) << c.what;
        EXPECT_EQ(RelationKeys(body), c.relations) << c.what;
    }
}

TEST(Judgement, UseStrengthFollowsTheUsePosition) {
    // 3 yin and 1 yang 人元 (庚 金), under each prosperous phase in turn.
    const TPositions p = Pos("庚", "乙丑", "丁未", "酉");
    TCastState s;
    s.positions = p;
    s.pillars[2] = 1;
    s.usePosition = kPosRenYuan;
    for (int w = 0; w < 5; ++w) {
        s.prosperous = static_cast<uint8_t>(w);
        s.records = PositionRecords(p, w, 1);
        const int strength = s.records[kPosRenYuan].strength;
        const char* expected = strength <= 1 ? "※用爻旺相，" : strength <= 3 ? "※用爻休囚，" : "※用爻死，";
        EXPECT_NE(JudgementBody(s).find(expected), std::string::npos) << w;
    }
}

TEST(Judgement, CombinationTexts) {
    using judgement_tables::kCombinationTexts;
    // 贵神 己 with 人元 甲: 官合.
    EXPECT_EQ(CombinationTexts(Pos("甲", "己巳", "丙寅", "午")), kCombinationTexts[0]);
    // 将神 子 with 贵神 丑 (six harmony), and 将神 丙 with 贵神 辛 (five).
    EXPECT_EQ(CombinationTexts(Pos("甲", "乙丑", "甲子", "午")), kCombinationTexts[1]);
    EXPECT_EQ(CombinationTexts(Pos("甲", "辛巳", "丙寅", "午")), kCombinationTexts[1]);
    // 将神 乙 with 人元 庚: 隔合; 将神 亥 with 地分 寅: 进合; in table order.
    EXPECT_EQ(CombinationTexts(Pos("庚", "甲子", "乙亥", "午")), kCombinationTexts[2]);
    EXPECT_EQ(CombinationTexts(Pos("庚", "甲午", "乙亥", "寅")),
              std::string(kCombinationTexts[2]) + kCombinationTexts[3]);
    EXPECT_EQ(CombinationTexts(Pos("庚", "丙寅", "甲戌", "午")), "");
    EXPECT_EQ(std::string(kCombinationTexts[0]).substr(0, 6), "★神");
}

// Counts per phase (水 木 火 土 金) named by a composition key such as
// 二土一水一木, read from the start of its text.
std::vector<int> CountsOfKey(const std::string& text) {
    static const std::string numerals[] = {"一", "二", "三", "四"};
    static const std::string phases[] = {"水", "木", "火", "土", "金"};
    std::vector<int> counts(5, 0);
    size_t at = text.rfind("※", 0) == 0 ? std::string("※").size() : 0;
    for (bool more = true; more;) {
        more = false;
        for (int n = 0; n < 4 && !more; ++n) {
            if (text.compare(at, numerals[n].size(), numerals[n]) != 0) continue;
            for (int ph = 0; ph < 5; ++ph) {
                const size_t next = at + numerals[n].size();
                if (text.compare(next, phases[ph].size(), phases[ph]) == 0) {
                    counts[ph] += n + 1;
                    at = next + phases[ph].size();
                    more = true;
                    break;
                }
            }
        }
    }
    return counts;
}

TEST(Judgement, CompositionTextsBeginWithTheirKeys) {
    std::set<std::vector<int>> seen;
    for (const judgement_tables::TComposition& c : judgement_tables::kCompositions) {
        const std::string text = c.text;
        const std::vector<int> counts(c.count, c.count + 5);
        EXPECT_EQ(CountsOfKey(text), counts) << text;
        EXPECT_TRUE(seen.insert(counts).second) << text;
        EXPECT_EQ(text.rfind("※", 0) == 0, !c.bare) << text;
        const bool breaks = text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
        EXPECT_EQ(breaks, !c.bare) << text;
        EXPECT_GE(text.size(), 60u) << text;
    }
    EXPECT_EQ(seen.size(), 32u);
}

TEST(Judgement, CompositionSelection) {
    // Four different phases, and the three-and-one mixes without a text.
    EXPECT_EQ(CompositionText(Pos("庚", "丙寅", "甲戌", "午")), "");
    EXPECT_EQ(CompositionText(Pos("甲", "甲寅", "乙卯", "酉")), "");  // 三木一金
    EXPECT_EQ(CompositionText(Pos("戊", "戊辰", "己丑", "午")), "");  // 三土一火
    EXPECT_EQ(CompositionText(Pos("庚", "庚申", "辛酉", "丑")), "");  // 三金一土
    EXPECT_EQ(CompositionText(Pos("庚", "庚申", "辛酉", "酉")),
              "※四金，庚辛申酉金比西方白虎太阴之象，值之主兵丧讼事，邪淫奸私，人口死亡，六亲刑克，"
              "家宅不宁，百事惘吉。\r\n");
    // A three-and-one text gets its mark and line break when used.
    EXPECT_EQ(CompositionText(Pos("壬", "壬子", "甲子", "寅")),
              "※三水一木主荣华，田庄浩大足丝麻，子孙定是身端美，兴旺家门神速寿加。主家道兴旺，"
              "庄田浩如烟海大，子孙孝顺而丰标，兼有文章。\r\n");
    // In the body the chosen text is followed by one more line break.
    TCastState s;
    s.positions = Pos("壬", "庚子", "辛酉", "申");  // 二水二金
    s.pillars[2] = 1;
    s.usePosition = static_cast<uint8_t>(UsePosition(s.positions));
    s.records = PositionRecords(s.positions, kPhaseMetal, 1);
    const std::string body = JudgementBody(s);
    const std::string text =
        "※二水二金子孙多，有妻端美若嫦娥，此课人得家富贵，钱财粟帛有绫罗。为大吉课，主子孙 兴旺，"
        "妻子美丽，家业富足。\r\n\r\n\r\n△人元解:";
    EXPECT_NE(body.find(text), std::string::npos);
}

// Every cast the engine can make writes a complete section.
TEST(Judgement, EveryCastWritesACompleteBody) {
    int lessons = 0;
    for (int day = 0; day < 60; ++day)
        for (int h = 0; h < 12; ++h)
            for (int g = 0; g < 12; ++g)
                for (int e = 0; e < 12; ++e) {
                    TCastState s;
                    s.pillars[0] = 1;
                    s.pillars[1] = 3;
                    s.pillars[2] = static_cast<int16_t>(day);
                    s.pillars[3] = static_cast<int16_t>(RatCycle(StemOf(day), h));
                    s.general = static_cast<uint8_t>(g);
                    s.positions = CastPositions(day, s.pillars[3], g, e, kNobleByHour, 0);
                    s.prosperous = static_cast<uint8_t>(ProsperousPhase(s.positions, s.pillars[1], 0, false));
                    s.usePosition = static_cast<uint8_t>(UsePosition(s.positions));
                    s.records = PositionRecords(s.positions, s.prosperous, day);
                    const std::string body = JudgementBody(s);
                    ASSERT_EQ(body.rfind("※课内", 0), 0u);
                    ASSERT_EQ(body.find("%s"), std::string::npos);
                    ASSERT_NE(body.find("△地分解:"), std::string::npos);
                    if (body.find("课  ") != std::string::npos) ++lessons;
                }
    // 61 shown rows, each met by exactly one general, day, hour and earth.
    EXPECT_EQ(lessons, 61);
}

}  // namespace
}  // namespace qd
