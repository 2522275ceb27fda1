// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built qdl as a user would and checks what it prints.
#include <algorithm>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "run_qdl.h"

namespace {

using Result = qd::test::QdlResult;
using qd::test::RunQdl;

TEST(Qdl, AnswersInItsFormats) {
    struct Case {
        const char* args;
        const char* out;
    } cases[] = {
        {"jd 2000-01-01 12:00", "2451545.000012\n"},
        {"jd 1582-10-15 00:00", "2299160.500012\n"},
        {"jd -0100-03-01 00:00", "1684592.500012\n"},
        {"date 2451545.000012", "2000-01-01 12:00\n"},
        {"date 2299159.5", "1582-10-04 00:00\n"},
        {"date 1684592.5", "-0100-03-01 00:00\n"},
        {"daycycle 2000-01-01", "55 戊午\n"},
        {"daycycle 1984-02-02", "3 丙寅\n"},
        {"lunar 2024-02-09 2024-02-10", "2024-02-09 2023 12 30 0 30\n2024-02-10 2024 1 1 0 29\n"},
        {"lunar 2023-03-22", "2023-03-22 2023 2 1 1 29\n"},
        {"solar 2023 2 1", "2023-02-20\n"},
        {"solar 2023 2 1 --leap", "2023-03-22\n"},
        {"pillars 2000-01-01 23:30", "己卯 丙子 己未 甲子\n"},
        {"pillars 1984-02-05 12:00", "甲子 丙寅 己巳 庚午\n"},
    };
    for (const Case& c : cases) {
        Result r = RunQdl(c.args);
        EXPECT_EQ(r.status, 0) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
}

TEST(Qdl, TermsOfAYear) {
    Result r = RunQdl("terms 2024");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 26), "0 小寒 2024-01-06 04:49\n");
    EXPECT_NE(r.out.find("\n23 冬至 2024-12-21 17:20\n"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 24);
}

TEST(Qdl, LunarDateThatDoesNotExist) {
    Result r = RunQdl("solar 2024 2 1 --leap");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err, "不存在这个农历日期，无法转换到公历！\n");
}

TEST(Qdl, BadInputExitsTwoWithOneLine) {
    const char* cases[] = {
        "jd 2000-13-01 12:00",
        "jd 2000-02-30 12:00",
        "jd 2000-01-01 24:00",
        "jd 2000-01-01",
        "jd abc 12:00",
        "date x",
        "date 1e400",
        "date -5",
        "daycycle 2000-1",
        "daycycle 1582-10-10",
        "daycycle 2000-01-01x",
        "nosuchcommand",
        "lunar 2024-02-10 2024-02-01",
        "lunar",
        "solar 2024 13x 1",
        "solar 2024 1",
        "terms x",
        "terms 99999",
        "pillars 2000-01-01 7",
    };
    for (const char* args : cases) {
        Result r = RunQdl(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        ASSERT_FALSE(r.err.empty()) << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

TEST(Qdl, HelpListsTheCommands) {
    Result r = RunQdl("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* name : {"jd ", "date ", "daycycle "}) {
        EXPECT_NE(r.out.find(name), std::string::npos) << name;
    }
}

}  // namespace
