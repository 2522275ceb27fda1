// SPDX-License-Identifier: GPL-3.0-or-later
// The direct cast by day and hour: the dialog's item rules and what the
// engine does differently when the direct flag is set.
#include <string>

#include <gtest/gtest.h>

#include "engine/direct.h"
#include "engine/ganzhi.h"
#include "tests/engine/cast_fixture.h"

namespace qd {
namespace {

using testing_support::AppFolder;
using testing_support::Caster;
using testing_support::PanelRequest;

TEST(Direct, DayItems) {
    struct Case {
        int item;
        int cycle;
    } cases[] = {{0, 1}, {1, 51}, {5, 11}, {7, 2}, {12, 12}, {14, 13}, {21, 14}, {61, 59}, {63, 50}, {68, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(DirectDayCycle(c.item), c.cycle) << c.item;
        EXPECT_EQ(DirectDayItem(c.cycle), c.item) << c.item;
    }
    int separators = 0;
    for (int k = 0; k < kDirectDayItemCount; ++k) {
        if (IsDirectSeparator(k)) {
            ++separators;
            EXPECT_EQ(DirectDayItemText(k), "----------") << k;
        } else {
            EXPECT_EQ(StemOf(DirectDayCycle(k)), (k / 7 + 1) % 10) << k;  // grouped by stem
        }
    }
    EXPECT_EQ(separators, 10);
    // Every day cycle has its item, and the item shows it.
    for (int cycle = 0; cycle < 60; ++cycle) {
        const int k = DirectDayItem(cycle);
        EXPECT_FALSE(IsDirectSeparator(k));
        EXPECT_EQ(DirectDayCycle(k), cycle);
        EXPECT_EQ(DirectDayItemText(k), CycleName(cycle) + "日");
    }
}

TEST(Direct, GeneralHourAndEarthItems) {
    EXPECT_EQ(DirectGeneral(0), 0);   // 亥 登明
    EXPECT_EQ(DirectGeneral(11), 1);  // 子 神后
    EXPECT_EQ(DirectGeneral(1), 11);  // 戌
    EXPECT_EQ(DirectGeneralItemText(0), "亥 正月将登明");
    EXPECT_EQ(DirectGeneralItemText(11), "子 腊月将神后");
    for (int g = 0; g < 12; ++g) EXPECT_EQ(DirectGeneral(DirectGeneralItem(g)), g);
    EXPECT_EQ(DirectHourItemText(0), "子时");
    EXPECT_EQ(DirectHourItemText(11), "亥时");
    EXPECT_EQ(DirectEarthItemText(0), "子、鼠");
    EXPECT_EQ(DirectEarthItemText(11), "亥、猪");
    EXPECT_EQ(DirectItemOfBranch(0), 11);
    EXPECT_EQ(DirectBranchOfItem(11), 0);
    EXPECT_EQ(DirectHourCycle(DirectDayCycle(68), 1), 49);  // 癸亥 day, 子 hour: 壬子
}

TEST(Direct, ConfirmationNeedsADay) {
    TCastRequest r{};
    std::string message;
    EXPECT_FALSE(FillDirectFields(r, 3, 6, 0, 0, message));
    EXPECT_EQ(message, "请选择一个干支！");
    EXPECT_EQ(r.direct, 0);
    ASSERT_TRUE(FillDirectFields(r, 11, 4, 8, 6, message));
    EXPECT_EQ(r.direct, 1);
    EXPECT_EQ(r.directGeneral, 11);
    EXPECT_EQ(r.directDay, 4);
    EXPECT_EQ(r.directHour, 9);   // 申
    EXPECT_EQ(r.directEarth, 7);  // 午
}

// The worked cast reached by its day, hour, general and earth, while the
// panel holds an unrelated moment.
TCastRequest WorkedDirect(int year, int month, int day) {
    TCastRequest r = PanelRequest(year, month, day, 8, 0, 3);
    std::string message;
    FillDirectFields(r, DirectGeneralItem(1), DirectDayItem(41), DirectItemOfBranch(9), DirectItemOfBranch(7),
                     message);
    return r;
}

TEST(Direct, CastsFromTheDirectFields) {
    AppFolder app("direct");
    app.WriteSettings("iWang=1\r\n");  // ignored: a direct cast has no month
    Caster c(app);
    ASSERT_TRUE(c.engine.Cast(WorkedDirect(2010, 7, 1))) << c.engine.ErrorText();
    const TCastState& s = c.engine.State();
    EXPECT_EQ(s.pillars[2], 41);
    EXPECT_EQ(s.pillars[3], 9);
    EXPECT_EQ(s.general, 1);
    EXPECT_EQ(s.request.earth, 7);
    EXPECT_EQ(s.positions, (TPositions{7, 3, 11, 7}));
    EXPECT_EQ(s.prosperous, kPhaseFire);
    EXPECT_EQ(s.usePosition, kPosGuiShen);

    const std::string text = c.view.Text();
    const std::string head =
        "求测人:某人。事宜:要问的事情。\n预测地:未知地\n"
        "干支:　  甲辰日  壬申时\n"
        "月将:子  日空(寅-卯、甲辰旬)  四大空亡(无)\n\n"
        "霁岚术课式：\n\n"
        "人元：庚            金 + 死  \n\n"
        "贵神：丙寅(青龙) 用 木 + 休  \n\n"
        "将神：甲戌(河魁)    土 + 相  \n\n"
        "地分：午            火 + 旺  \n\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    // The lesson is looked up with the direct general, day, hour and earth.
    EXPECT_NE(text.find("※1、怪合身课  阴害卦。"), std::string::npos) << text;
    // Relations are with the day and hour only.
    EXPECT_EQ(text.find("年支"), std::string::npos) << text;
    EXPECT_EQ(text.find("月支"), std::string::npos) << text;
}

TEST(Direct, PanelMomentIsStillChecked) {
    AppFolder app("direct_refused");
    Caster c(app);
    ASSERT_TRUE(c.engine.Cast(WorkedDirect(2010, 7, 1)));
    const std::string chart = c.view.Text();
    EXPECT_FALSE(c.engine.Cast(WorkedDirect(2001, 2, 29)));
    EXPECT_EQ(c.engine.ErrorText(), "不存在这个日期");
    EXPECT_EQ(c.view.Text(), chart);
    EXPECT_FALSE(c.engine.Cast(WorkedDirect(1899, 7, 1)));
    EXPECT_EQ(c.engine.ErrorText(), "年份在1900 - 2200之间");
}

}  // namespace
}  // namespace qd
