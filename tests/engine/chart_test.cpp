// SPDX-License-Identifier: GPL-3.0-or-later
// The chart text: header variants, the lunar line, the pillar and void
// lines, the padded position lines, colours, and the emphasis of the labels.
#include <string>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/richtext_plain.h"
#include "engine/chart.h"
#include "engine/ganzhi.h"
#include "engine/strength.h"

namespace qd {
namespace {

// The worked cast as the engine leaves it: day 甲辰, hour 壬申, general 子,
// earth 午; 人元 庚, 贵神 丙寅, 将神 甲戌, 地分 午.
TCastState WorkedState() {
    TCastState s;
    WriteGbkField(s.request.name, "某人");
    WriteGbkField(s.request.question, "要问的事情。");
    WriteGbkField(s.request.place, "北京北京");
    s.request.longitude = 116.4f;
    s.request.latitude = 39.9f;
    s.clockMoment = TDateTime{2004, 1, 26, 15, 30};
    s.castMoment = s.clockMoment;
    s.lunar = TDateTime{2004, 1, 5, 15, 30};
    s.lunarMonthLength = 29;
    s.pillars[0] = 20;
    s.pillars[1] = 2;
    s.pillars[2] = 41;
    s.pillars[3] = 9;
    s.general = 1;
    s.positions = TPositions{7, 3, 11, 7};
    s.prosperous = kPhaseFire;
    s.usePosition = kPosGuiShen;
    return s;
}

TEST(Chart, HeaderByTimeBasis) {
    TCastState s = WorkedState();
    const std::string lunar = "起课农历：二○○四年 正月 初五日 申时（小月）";
    EXPECT_EQ(HeaderText(s),
              "求测人:某人。事宜:要问的事情。\r\n预测地:北京北京\r\n"
              "起课公历：2004年1月26日15时30分(北京时间)。\r\n" +
                  lunar);

    s.settings.idate = 1;
    s.castMoment = TDateTime{2004, 1, 26, 15, 2};
    EXPECT_EQ(HeaderText(s),
              "求测人:某人。事宜:要问的事情。\r\n预测地:北京北京(经度:116.4,纬度:39.9)\r\n"
              "起课公历：2004年1月26日15时30分(北京时间)。\r\n"
              "起课公历：2004年1月26日15时2分(真太阳时)。\r\n" +
                  lunar);

    s.settings.idate = 2;
    EXPECT_TRUE(HeaderText(s).find("15时2分(地方时)。\r\n起课农历") != std::string::npos) << HeaderText(s);

    s.request.direct = 1;
    EXPECT_EQ(HeaderText(s), "求测人:某人。事宜:要问的事情。\r\n预测地:北京北京");
}

TEST(Chart, LunarLineForms) {
    struct Case {
        TDateTime lunar;
        bool leap;
        int length;
        const char* line;
    } cases[] = {
        {{2004, 1, 1, 12, 0}, false, 30, "起课农历：二○○四年 正月 初一日 午时（大月）"},
        {{2004, 1, 10, 0, 0}, true, 29, "起课农历：二○○四年 闰正月 初十日 子时（小月）"},
        {{2004, 5, 11, 23, 10}, true, 30, "起课农历：二○○四年 闰五月 十一日 子时（大月）"},
        {{1900, 11, 20, 1, 0}, false, 29, "起课农历：一九○○年 十一月 二十日 丑时（小月）"},
        {{2200, 12, 21, 2, 59}, false, 30, "起课农历：二二○○年 十二月 廿一日 丑时（大月）"},
        {{2010, 10, 30, 22, 0}, false, 30, "起课农历：二○一○年 十月 三十日 亥时（大月）"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LunarLine(c.lunar, c.leap, c.length), c.line);
    }
}

TEST(Chart, PillarAndVoidLines) {
    TCastState s = WorkedState();
    EXPECT_EQ(PillarLine(s), "干支:癸未年  乙丑月  甲辰日  壬申时");
    EXPECT_EQ(GeneralVoidLine(s), "月将:子  日空(寅-卯、甲辰旬)  四大空亡(无)\r\n");
    s.request.direct = 1;
    EXPECT_EQ(PillarLine(s), "干支:　  甲辰日  壬申时");
    s.pillars[2] = 1;  // 甲子
    s.general = 0;
    EXPECT_EQ(GeneralVoidLine(s), "月将:亥  日空(戌-亥、甲子旬)  四大空亡(水)\r\n");
}

TEST(Chart, LabelsArePaddedToTwentyBytes) {
    EXPECT_EQ(PadToGbkBytes("人元：庚", 20), "人元：庚            ");
    EXPECT_EQ(PadToGbkBytes("贵神：丙寅(青龙) 用", 20), "贵神：丙寅(青龙) 用 ");
    EXPECT_EQ(PadToGbkBytes("将神：甲戌(河魁) 用1", 20), "将神：甲戌(河魁) 用1");
    EXPECT_EQ(PadToGbkBytes("将神：甲戌(河魁) 用12", 20), "将神：甲戌(河魁) 用12");

    TCastState s = WorkedState();
    s.request.direct = 1;  // no spirits
    EXPECT_EQ(PositionLines(s),
              "人元：庚            金 + 死  \r\n\r\n"
              "贵神：丙寅(青龙) 用 木 + 休  \r\n\r\n"
              "将神：甲戌(河魁)    土 + 相  \r\n\r\n"
              "地分：午            火 + 旺  \r\n\r\n");
    s.usePosition = kPosDiFen;
    EXPECT_EQ(PositionLabel(s, kPosDiFen), "地分：午 用");
    EXPECT_EQ(PositionLabel(s, kPosGuiShen), "贵神：丙寅(青龙)");
}

TEST(Chart, ColoursAndWeights) {
    TCastState s = WorkedState();
    s.settings.leftpos = 12;
    CPlainTextSink view;
    view.AddBlock("the previous chart");
    WriteChart(s, view);
    const std::string text = view.Text();
    EXPECT_EQ(text.find("the previous chart"), std::string::npos);
    EXPECT_EQ(view.FirstLineIndent(), 12);
    EXPECT_EQ(view.Alignment(), TAlign::Left);

    auto at = [&](const char* part) {
        const int p = view.Find(part, 0, -1);
        EXPECT_GE(p, 0) << part;
        return view.FormatAt(p);
    };
    EXPECT_EQ(at("求测人"), (TCharFormat{kBlack, false}));
    EXPECT_EQ(at("起课农历"), (TCharFormat{kBlack, false}));
    EXPECT_EQ(at("干支:"), (TCharFormat{kRed, true}));
    EXPECT_EQ(at("月将:"), (TCharFormat{kRed, true}));
    EXPECT_EQ(at("霁岚术课式"), (TCharFormat{kBlue, true}));
    EXPECT_EQ(at("地分：午"), (TCharFormat{kBlue, true}));
    const std::string tail = "地分：午            火 + 旺  病符,丧车 \n\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(Chart, EmphasisSearchesFromForty) {
    TCastState s = WorkedState();
    s.request.direct = 1;
    // The name lies before position 40 and keeps its colour.
    WriteGbkField(s.request.name, "人元贵神");
    CPlainTextSink view;
    WriteChart(s, view);
    EmphasiseLabels(view);
    EXPECT_EQ(view.ColorAt(4), kBlack);
    for (const char* label : {"人元：", "贵神：", "将神：", "地分："}) {
        const int p = view.Find(label, kEmphasisStart, -1);
        ASSERT_GE(p, kEmphasisStart) << label;
        EXPECT_EQ(view.ColorAt(p), kRed) << label;
        EXPECT_EQ(view.ColorAt(p + 2), kRed) << label;
        EXPECT_EQ(view.ColorAt(p + 3), kBlue) << label;
        EXPECT_TRUE(view.BoldAt(p)) << label;
    }
    EXPECT_EQ(view.SelectionStart(), 0);
    EXPECT_EQ(view.SelectionLength(), 0);
    EXPECT_EQ(view.FocusRequests(), 1);

    // A question reaching past 40 takes the colour from the labels it names.
    const std::string filler(40, 'x');
    WriteGbkField(s.request.question, filler + "人元贵神");
    CPlainTextSink second;
    WriteChart(s, second);
    EmphasiseLabels(second);
    const int inQuestion = second.Find("人元贵神", kEmphasisStart, -1);
    ASSERT_GE(inQuestion, kEmphasisStart);
    EXPECT_EQ(second.ColorAt(inQuestion), kRed);
    EXPECT_EQ(second.ColorAt(inQuestion + 2), kRed);
    const int renYuanLabel = second.Find("人元：", 0, -1);
    const int guiShenLabel = second.Find("贵神：", 0, -1);
    EXPECT_EQ(second.ColorAt(renYuanLabel), kBlue);
    EXPECT_EQ(second.ColorAt(guiShenLabel), kBlue);
    EXPECT_EQ(second.ColorAt(second.Find("将神：", 0, -1)), kRed);
}

}  // namespace
}  // namespace qd
