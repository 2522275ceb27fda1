// SPDX-License-Identifier: GPL-3.0-or-later
// qdl cast run as a process: the result text, refusals, bad options, the
// cleaning messages and the other formats.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "run_qdl.h"

namespace {

using Result = qd::test::QdlResult;

// An application folder of the test's own, so no set.ini of the build
// folder leaks in.
std::string Home() {
    static const std::string home = [] {
        const auto dir = std::filesystem::path(testing::TempDir()) / "qdl_cast_home";
        std::filesystem::create_directories(dir / "dat");
        return dir.string();
    }();
    return home;
}

Result RunCast(const std::string& args) { return qd::test::RunQdl("cast --home " + Home() + " " + args); }

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

constexpr const char* kWorked = "--date 2004-01-26 --time 15:30 --earth 7";

TEST(QdlCast, PrintsTheResultView) {
    const Result r = RunCast(kWorked);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out.rfind(
            "求测人:某人。事宜:要问的事情。\n预测地:未知地\n起课公历：2004年1月26日15时30分(北京时间)。\n",
            0),
        0u)
        << r.out;
    EXPECT_TRUE(Has(r.out, "\n干支:癸未年  乙丑月  甲辰日  壬申时\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "\n贵神：丙寅(青龙) 用 木 + 休  ")) << r.out;
    EXPECT_TRUE(Has(r.out, "※1、怪合身课")) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), '\n');

    // Settings options override the folder's set.ini.
    const Result local = RunCast(std::string(kWorked) + " --idate 2 --longitude 105");
    EXPECT_TRUE(Has(local.out, "预测地:未知地(经度:105.0,纬度:30.0)\n")) << local.out;
    EXPECT_TRUE(Has(local.out, "起课公历：2004年1月26日14时30分(地方时)。\n")) << local.out;
}

TEST(QdlCast, RefusalsAndBadOptions) {
    const Result refused = RunCast("--date 2001-02-29 --time 12:00");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "不存在这个日期\n");
    EXPECT_EQ(RunCast("--date 1899-06-01").err, "年份在1900 - 2200之间\n");

    for (const char* args : {"--earth 13", "--earth", "--noble 3", "--general 13", "--date 2004-13-01",
                             "--time 24:00", "--format xml", "--topic love", "--direct 甲丑,申,子,午",
                             "--direct 甲辰,申,子", "--idate 3", "--longitude east", "--whatever 1"}) {
        const Result r = RunCast(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
}

TEST(QdlCast, CleansNameAndQuestion) {
    const Result r = RunCast(std::string(kWorked) + " --name 'a b' --question ''");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "求测人:ab。事宜:甲\n")) << r.out;
    EXPECT_TRUE(Has(r.err, "姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！\n"))
        << r.err;
    EXPECT_TRUE(Has(r.err, "占问事宜中包含：")) << r.err;
}

TEST(QdlCast, DirectTopicAndOtherFormats) {
    const Result direct = RunCast("--direct 甲辰,申,子,午 --topic lottery");
    EXPECT_EQ(direct.status, 0) << direct.err;
    EXPECT_TRUE(Has(direct.out, "预测地:未知地\n干支:　  甲辰日  壬申时\n")) << direct.out;
    EXPECT_TRUE(Has(direct.out, "\n\n★彩票号码预测")) << direct.out;
    EXPECT_TRUE(Has(direct.out, "尾数：9、7、3。(按可能性大小排列)")) << direct.out;

    const Result json = RunCast(std::string(kWorked) + " --format json");
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(Has(json.out, "\"usePosition\": \"贵神\"")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"day\": {\"number\": 41, \"name\": \"甲辰\"}")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"monthGeneral\": {\"branch\": \"子\", \"name\": \"神后\"}")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"value\": \"丙寅\", \"name\": \"青龙\", \"phase\": \"木\"")) << json.out;

    const Result html = RunCast(std::string(kWorked) + " --format html");
    EXPECT_EQ(html.status, 0);
    EXPECT_TRUE(Has(html.out, "font-weight:bold")) << html.out;
    EXPECT_TRUE(Has(html.out, "霁岚术课式")) << html.out;
}

}  // namespace
