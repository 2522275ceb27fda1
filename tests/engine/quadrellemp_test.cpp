// SPDX-License-Identifier: GPL-3.0-or-later
// The cast procedure: settings, calendar facts and their refusals, the
// pillars from two moments, and the worked cast from request to view.
#include <string>

#include <gtest/gtest.h>

#include "calendar/yidate.h"
#include "engine/ganzhi.h"
#include "engine/quadrellemp.h"
#include "tests/engine/cast_fixture.h"

namespace qd {
namespace {

using testing_support::AppFolder;
using testing_support::Caster;
using testing_support::PanelRequest;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Quadrellemp, SettingsComeFromTheFolderOrTheirDefaults) {
    AppFolder app("settings");
    CQuadrellemp engine;
    engine.SetApplicationFolder(app.Folder());

    // No dat/set.ini: clock time, no indent, 按节入起, 甲戊庚牛羊, 多寡、生克.
    TCastSettings s = engine.ReadSettings();
    EXPECT_EQ(s.idate, 0);
    EXPECT_EQ(s.leftpos, 0);
    EXPECT_EQ(s.iYueJiang, 1);
    EXPECT_EQ(s.iGui, 0);
    EXPECT_EQ(s.iWang, 0);

    app.WriteSettings("idate=2\r\nleftpos=24\r\niYueJiang=0\r\niGui=1\r\niWang=1\r\n");
    s = engine.ReadSettings();
    EXPECT_EQ(s.idate, 2);
    EXPECT_EQ(s.leftpos, 24);
    EXPECT_EQ(s.iYueJiang, 0);
    EXPECT_EQ(s.iGui, 1);
    EXPECT_EQ(s.iWang, 1);

    // Missing keys keep their defaults; a folder without its separator works.
    app.WriteSettings("iGui=1\r\n");
    std::string bare = app.Folder();
    bare.pop_back();
    engine.SetApplicationFolder(bare);
    s = engine.ReadSettings();
    EXPECT_EQ(s.iGui, 1);
    EXPECT_EQ(s.iYueJiang, 1);
    EXPECT_EQ(s.idate, 0);

    TCastSettings forced;
    forced.iWang = 1;
    engine.OverrideSettings(&forced);
    EXPECT_EQ(engine.ReadSettings().iWang, 1);
    EXPECT_EQ(engine.ReadSettings().iGui, 0);
    engine.OverrideSettings(nullptr);
    EXPECT_EQ(engine.ReadSettings().iGui, 1);
}

// Day 甲辰, hour 壬申 in the 丑 month (general 子), earth 午: the cast of the
// position and strength rules, from the request to the written view.
TEST(Quadrellemp, WorkedCastEndToEnd) {
    AppFolder app("worked");
    Caster c(app);
    ASSERT_TRUE(c.engine.Cast(PanelRequest(2004, 1, 26, 15, 30, 7))) << c.engine.ErrorText();
    EXPECT_EQ(c.engine.ErrorText(), "");

    const TCastState& s = c.engine.State();
    EXPECT_EQ(s.pillars[0], 20);  // 癸未: before 立春
    EXPECT_EQ(s.pillars[1], 2);   // 乙丑
    EXPECT_EQ(s.pillars[2], 41);  // 甲辰
    EXPECT_EQ(s.pillars[3], 9);   // 壬申
    EXPECT_EQ(s.general, 1);      // 子
    EXPECT_EQ(s.positions, (TPositions{7, 3, 11, 7}));
    EXPECT_EQ(s.rederived, (TRederived{9, 27, 11}));
    EXPECT_EQ(s.prosperous, kPhaseFire);
    EXPECT_EQ(s.usePosition, kPosGuiShen);
    const int strengths[4] = {4, 2, 1, 0};  // 死 休 相 旺
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.records[i].strength, strengths[i]) << i;
        EXPECT_EQ(s.records[i].yang, 1) << i;
    }
    EXPECT_EQ(s.lunar, (TDateTime{2004, 1, 5, 15, 30}));
    EXPECT_LT(s.jieJd, s.zhongQiJd);
    EXPECT_LT(s.zhongQiJd, s.clockJd);  // after 大寒
    EXPECT_LT(s.clockJd, s.nextJieJd);

    double jd = 0;
    EXPECT_EQ(c.engine.ClockMoment(&jd), (TDateTime{2004, 1, 26, 15, 30}));
    EXPECT_DOUBLE_EQ(jd, s.clockJd);
    EXPECT_EQ(c.engine.RecordOfJulianDay(jd), (TDateTime{2004, 1, 26, 15, 30}));

    const std::string text = c.view.Text();
    EXPECT_TRUE(Contains(text, "干支:癸未年  乙丑月  甲辰日  壬申时\n")) << text;
    EXPECT_TRUE(Contains(text, "月将:子  日空(寅-卯、甲辰旬)  四大空亡(无)\n")) << text;
    EXPECT_TRUE(Contains(text, "贵神：丙寅(青龙) 用 木 + 休  ")) << text;
    EXPECT_TRUE(Contains(text, "人元再遁:壬，神干再遁:庚，将干再遁:甲\n")) << text;
    // Key 2 (all yang) and lesson 1, found by the general, day, hour and earth.
    EXPECT_TRUE(Contains(text, "※课内纯阳反阴")) << text;
    EXPECT_TRUE(Contains(text, "※1、怪合身课  阴害卦。三合全，本位克身。")) << text;
    // The caret ends at the top.
    EXPECT_EQ(c.view.SelectionStart(), 0);
    EXPECT_EQ(c.view.SelectionLength(), 0);
    EXPECT_EQ(c.view.FocusRequests(), 1);
}

TEST(Quadrellemp, RefusedMomentsKeepThePreviousChart) {
    struct Case {
        const char* what;
        TCastRequest request;
        const char* error;
    };
    auto lunar = [](int y, int m, int d, int h, bool leap) {
        TCastRequest r = PanelRequest(y, m, d, h, 0);
        r.lunar = 1;
        r.leap = leap ? 1 : 0;
        return r;
    };
    const Case cases[] = {
        {"1899", PanelRequest(1899, 6, 1, 12, 0), "年份在1900 - 2200之间"},
        {"2201", PanelRequest(2201, 6, 1, 12, 0), "年份在1900 - 2200之间"},
        {"lunar 1899", lunar(1899, 6, 1, 12, false), "年份在1900 - 2200之间"},
        {"02-29", PanelRequest(2001, 2, 29, 12, 0), "不存在这个日期"},
        {"04-31", PanelRequest(2004, 4, 31, 12, 0), "不存在这个日期"},
        {"no leap month", lunar(2005, 3, 1, 12, true), "不存在这个农历日期，无法转换到公历！"},
        {"lunar into 2201", lunar(2200, 12, 20, 12, false), "时间越界，年份在1900-2200之间"},
        {"23:30 into 2201", PanelRequest(2200, 12, 31, 23, 30), "时间越界，年份在1900 - 2200之间"},
    };
    AppFolder app("refused");
    Caster c(app);
    ASSERT_TRUE(c.engine.Cast(PanelRequest(2004, 1, 26, 15, 30)));
    const std::string chart = c.view.Text();
    const TPositions positions = c.engine.State().positions;
    for (const Case& k : cases) {
        EXPECT_FALSE(c.engine.Cast(k.request)) << k.what;
        EXPECT_EQ(c.engine.ErrorText(), k.error) << k.what;
        EXPECT_EQ(c.view.Text(), chart) << k.what;
        EXPECT_EQ(c.engine.State().positions, positions) << k.what;
    }
    // The last day that stays inside the range casts.
    EXPECT_TRUE(c.engine.Cast(PanelRequest(2200, 12, 31, 22, 59))) << c.engine.ErrorText();
    EXPECT_EQ(c.engine.ErrorText(), "");
}

TEST(Quadrellemp, LunarRequestIsConverted) {
    AppFolder app("lunar");
    Caster c(app);
    TCastRequest r = PanelRequest(2004, 1, 5, 15, 30);
    r.lunar = 1;
    ASSERT_TRUE(c.engine.Cast(r)) << c.engine.ErrorText();
    EXPECT_EQ(c.engine.State().castMoment, (TDateTime{2004, 1, 26, 15, 30}));
    EXPECT_EQ(c.engine.State().pillars[2], 41);
}

// Local mean time at 105° moves 00:30 back to 23:30 of the day before: the
// day, hour and lunar date are those of the 23:xx rule, the year and month
// those of the clock.
TEST(Quadrellemp, LocalMeanTimeTakesDayAndHourFromTheCorrectedMoment) {
    AppFolder app("idate2");
    app.WriteSettings("idate=2\r\n");
    Caster c(app);
    TCastRequest r = PanelRequest(2004, 6, 15, 0, 30);
    r.longitude = 105;
    ASSERT_TRUE(c.engine.Cast(r)) << c.engine.ErrorText();
    const TCastState& s = c.engine.State();
    EXPECT_EQ(s.clockMoment, (TDateTime{2004, 6, 15, 0, 30}));
    EXPECT_EQ(s.castMoment, (TDateTime{2004, 6, 14, 23, 30}));

    MYiDateEx cal;
    const TPillars clock = cal.Pillars(s.clockMoment);
    EXPECT_EQ(s.pillars[0], clock.year);
    EXPECT_EQ(s.pillars[1], clock.month);
    EXPECT_EQ(s.pillars[2], DayCycle(TDateTime{2004, 6, 15, 12, 0}));
    EXPECT_EQ(BranchOf(s.pillars[3]), 1);  // 子
    TDateTime lunar;
    int length = 0;
    cal.LunarOfSolar(TDateTime{2004, 6, 15, 23, 30}, lunar, length);
    EXPECT_EQ(s.lunar.year, lunar.year);
    EXPECT_EQ(s.lunar.month, lunar.month);
    EXPECT_EQ(s.lunar.day, lunar.day);
    EXPECT_EQ(s.lunarMonthLength, length);
    EXPECT_TRUE(Contains(c.view.Text(), "起课公历：2004年6月14日23时30分(地方时)。\n")) << c.view.Text();
}

// Half an hour after 芒种 on the clock but before it in local mean time: the
// month pillar and the month general still follow the clock.
TEST(Quadrellemp, MonthFollowsTheClockAcrossATerm) {
    AppFolder app("term");
    app.WriteSettings("idate=2\r\n");
    Caster c(app);
    MYiDateEx cal;
    const TDateTime jie = cal.SolarTermInstant(2004, 6, MonthTerm::Jie);
    const TDateTime clock = cal.RecordOfJulianDay(cal.JulianDayOfRecord(jie) + 30.0 / 1440);
    TCastRequest r = PanelRequest(clock.year, clock.month, clock.day, clock.hour, clock.minute);
    r.longitude = 105;
    ASSERT_TRUE(c.engine.Cast(r)) << c.engine.ErrorText();
    const TCastState& s = c.engine.State();
    EXPECT_EQ(cal.SolarMonthOf(s.castMoment), 6);  // 巳 by the corrected time
    EXPECT_EQ(BranchOf(s.pillars[1]), 7);          // 午 by the clock
    EXPECT_EQ(s.general, 8);                       // 未, the general of the 午 month
}

// With 按中气起 the 寅 month keeps the general 子 until its 中气 (雨水).
TEST(Quadrellemp, GeneralByTheZhongQiOfTheClock) {
    AppFolder app("zhongqi");
    Caster c(app);
    MYiDateEx cal;
    const double rain = cal.JulianDayOfRecord(cal.SolarTermInstant(2010, 2, MonthTerm::ZhongQi));
    const TDateTime before = cal.RecordOfJulianDay(rain - 1.0 / 1440);
    const TDateTime after = cal.RecordOfJulianDay(rain + 1.0 / 1440);
    auto general = [&](const TDateTime& t) {
        EXPECT_TRUE(c.engine.Cast(PanelRequest(t.year, t.month, t.day, t.hour, t.minute)));
        return c.engine.State().general;
    };
    app.WriteSettings("iYueJiang=0\r\n");
    EXPECT_EQ(general(before), 1);  // 子
    EXPECT_EQ(general(after), 0);   // 亥
    app.WriteSettings("iYueJiang=1\r\n");
    EXPECT_EQ(general(before), 0);
    // A chosen general overrides the month.
    TCastRequest chosen = PanelRequest(before.year, before.month, before.day, before.hour, before.minute);
    chosen.general = 12;
    ASSERT_TRUE(c.engine.Cast(chosen));
    EXPECT_EQ(c.engine.State().general, 0);
    chosen.general = 5;
    ASSERT_TRUE(c.engine.Cast(chosen));
    EXPECT_EQ(c.engine.State().general, 5);
}

// The 中气 counts from its printed minute, whichever way its seconds rounded
// (the 雨水 of 2001 to 2003, 2009 and 2011 fall early in their minute).
TEST(Quadrellemp, GeneralChangesAtTheMinuteOfTheZhongQi) {
    AppFolder app("zhongqi_minute");
    app.WriteSettings("iYueJiang=0\r\n");
    Caster c(app);
    MYiDateEx cal;
    for (int year = 2001; year <= 2012; ++year) {
        const TDateTime rain = cal.SolarTermInstant(year, 2, MonthTerm::ZhongQi);
        const TDateTime before = cal.RecordOfJulianDay(cal.JulianDayOfRecord(rain) - 1.0 / 1440);
        ASSERT_TRUE(c.engine.Cast(PanelRequest(rain.year, rain.month, rain.day, rain.hour, rain.minute)));
        EXPECT_EQ(c.engine.State().general, 0) << year;  // 亥
        ASSERT_TRUE(
            c.engine.Cast(PanelRequest(before.year, before.month, before.day, before.hour, before.minute)));
        EXPECT_EQ(c.engine.State().general, 1) << year;  // 子
    }
}

TEST(Quadrellemp, SeasonalStrengthRuleAndIndentReachTheCast) {
    AppFolder app("iwang");
    app.WriteSettings("iWang=1\r\nleftpos=30\r\n");
    Caster c(app);
    ASSERT_TRUE(c.engine.Cast(PanelRequest(2004, 1, 26, 15, 30)));
    EXPECT_EQ(c.engine.State().prosperous, kPhaseEarth);  // 丑 month
    EXPECT_EQ(c.view.FirstLineIndent(), 30);
}

TEST(Quadrellemp, CastsWithoutAViewStillFillTheRecords) {
    AppFolder app("noview");
    CQuadrellemp engine;
    engine.SetApplicationFolder(app.Folder());
    ASSERT_TRUE(engine.Cast(PanelRequest(2004, 1, 26, 15, 30)));
    EXPECT_EQ(engine.State().records[kPosGuiShen].strength, 2);
    EXPECT_EQ(engine.State().records[kPosGuiShen].isVoid, 1);  // 寅 is void on 甲辰
}

}  // namespace
}  // namespace qd
