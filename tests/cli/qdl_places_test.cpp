// SPDX-License-Identifier: GPL-3.0-or-later
// qdl places run as a process: the province list, a province's cities from
// an application folder's dat/dili.ini, and its refusals.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "run_qdl.h"

namespace {

namespace fs = std::filesystem;
using Result = qd::test::QdlResult;
using qd::test::RunQdl;

// An application folder whose places file holds `utf8`, written in GBK.
std::string Home(const std::string& name, const std::string& utf8) {
    const fs::path home = fs::path(testing::TempDir()) / name;
    fs::remove_all(home);
    fs::create_directories(home / "dat");
    std::ofstream(home / "dat" / "dili.ini", std::ios::binary) << qd::Utf8ToGbk(utf8);
    return home.string();
}

TEST(QdlPlaces, ListsTheProvincesOfTheFile) {
    const Result r = RunQdl("places --home " + Home("qdl_places_list", ""));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("福建省\n北京市\n天津市\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n黑龙江省\n上海市\n"), std::string::npos) << r.out;
    // 未知地 is the window's, not a section of the file.
    const std::string tail = "台湾省\n香港\n澳门\n";
    ASSERT_GT(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 34);
}

TEST(QdlPlaces, IsInTheHelp) {
    EXPECT_NE(RunQdl("--help").out.find("places [--home DIR] [PROVINCE]"), std::string::npos);
}

TEST(QdlPlaces, CitiesWithTheCoordinatesACastUses) {
    const std::string home = Home("qdl_places_cities",
                                  "[福建省]\r\n福州市=119:18*26:5\r\n晋江市=118:33*24:47\r\n\r\n"
                                  "[新疆]\r\n西点=-73:58*40:45\r\n");
    struct Case {
        const char* args;
        const char* out;
    } cases[] = {
        {"福建省", "福州市 119.3000 26.0833\n晋江市 118.5500 24.7833\n"},
        {"新疆", "西点 -72.0333 40.7500\n"},
        {"西藏", ""},
        {"未知地", "未知地 120.0000 30.0000\n"},
    };
    for (const Case& c : cases) {
        const Result r = RunQdl("places --home " + home + " " + c.args);
        EXPECT_EQ(r.status, 0) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, "") << c.args;
    }
    // --home=DIR works as well.
    EXPECT_EQ(RunQdl("places --home=" + home + " 新疆").out, "西点 -72.0333 40.7500\n");
}

TEST(QdlPlaces, ABrokenValueIsRefusedAfterTheCitiesBeforeIt) {
    const std::string home =
        Home("qdl_places_broken", "[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118度*24:29\r\n");
    const Result r = RunQdl("places --home " + home + " 福建省");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "福州市 119.3000 26.0833\n");
    EXPECT_EQ(r.err, "'118度*24:29' 不是有效的整数值\n");
}

TEST(QdlPlaces, BadInputExitsTwoWithOneLine) {
    const std::string home = Home("qdl_places_bad", "");
    const std::string cases[] = {
        "places --home " + home + " 火星",
        "places --home " + home + " 福建",
        "places --home " + home + " 福建省 北京市",
        "places --home " + home + " --city 福州市",
        "places --home",
        "places --home " + home + "/none 福建省",
    };
    for (const std::string& args : cases) {
        const Result r = RunQdl(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("qdl: ", 0), 0u) << args << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
}

}  // namespace
