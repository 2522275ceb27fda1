// SPDX-License-Identifier: GPL-3.0-or-later
// qdl era: the era names of a year, as the calendar window titles it.
#include <string>

#include <gtest/gtest.h>

#include "run_qdl.h"

namespace {

using qd::test::RunQdl;

TEST(QdlEra, PrintsTheEraNamesOfAnAstronomicalYear) {
    struct Case {
        const char* args;
        const char* out;
    } cases[] = {
        {"era -137", "[西汉] 汉武帝 刘彻 建元3年\n"},
        {"era 450", "[南朝/宋] 宋文帝 刘义隆 元嘉27年；[北朝/北魏] 北魏太武帝 拓跋焘 太平真君11年\n"},
        {"era 2024", "[当代] 中国  公历纪元2024年\n"},
        {"era -3000", "\n"},  // before the first record: an empty line
    };
    for (const Case& c : cases) {
        const auto r = RunQdl(c.args);
        EXPECT_EQ(r.status, 0) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, "") << c.args;
    }
}

TEST(QdlEra, BadYearExitsTwoWithOneLine) {
    for (const char* args : {"era", "era x", "era 12y", "era 1 2", "era 99999999999", "era ''"}) {
        const auto r = RunQdl(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        ASSERT_FALSE(r.err.empty()) << args;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

TEST(QdlEra, ListedInHelp) {
    const auto r = RunQdl("--help");
    EXPECT_NE(r.out.find("era YEAR"), std::string::npos);
}

}  // namespace
