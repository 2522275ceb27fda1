// SPDX-License-Identifier: GPL-3.0-or-later
// qdl db search: the keyword search of a real application folder, printed
// as id and node text per hit.
#include <filesystem>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "run_qdl.h"
#include "store/record_base.h"

namespace {

namespace fs = std::filesystem;
using qd::test::RunQdl;

class QdlDbSearch : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // ctest runs each test in a process of its own, in parallel.
        home_ = fs::path(testing::TempDir()) / ("qdl_db_search_" + std::to_string(getpid()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "dat");
        qd::MRecordBase s;
        ASSERT_EQ(s.OpenDatabase((home_ / "dat" / "Quadrelle.db").string(), home_.string(), false),
                  qd::TOpenResult::Opened);
        const struct {
            const char* name;
            int year;
            const char* question;
        } cases[] = {{"张三", 2004, "问财运"}, {"小张", 2005, "问婚姻"}, {"李四", 2004, "问张家"}};
        for (const auto& c : cases) {
            qd::TRecordData r = qd::MakeRecordData();
            qd::WriteGbkField(r.request.name, c.name);
            r.request.year = static_cast<int16_t>(c.year);
            r.request.month = 3;
            r.request.day = 7;
            r.request.hour = 9;
            r.request.minute = 5;
            qd::WriteGbkField(r.request.question, c.question);
            ASSERT_GT(s.AddCase(r), 0) << s.LastError();
        }
    }
    static void TearDownTestSuite() { fs::remove_all(home_); }
    static qd::test::QdlResult Search(const std::string& keywords) {
        return RunQdl("db --home " + home_.string() + " search " + keywords);
    }
    static fs::path home_;
};
fs::path QdlDbSearch::home_;

TEST_F(QdlDbSearch, PrintsIdAndNodeTextOfEachHitInIdOrder) {
    const auto two = Search("张 2004年");
    EXPECT_EQ(two.status, 0) << two.err;
    // 李四 holds 张 in its question: the question takes it, the year 2004年.
    EXPECT_EQ(two.out,
              "1 张三     公2004-03-07 09:05 问财运\n"
              "3 李四     公2004-03-07 09:05 问张家\n");
    // One argument holding both keywords, as typed into the prompt.
    EXPECT_EQ(Search("'  张   2004年 '").out, two.out);
    EXPECT_EQ(Search("张").out,
              "1 张三     公2004-03-07 09:05 问财运\n"
              "2 小张     公2005-03-07 09:05 问婚姻\n"
              "3 李四     公2004-03-07 09:05 问张家\n");
}

TEST_F(QdlDbSearch, RefusesWithoutKeywordOrHit) {
    const auto none = Search("王五");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "没有符合的案例！\n");
    const auto blank = Search("' '");
    EXPECT_EQ(blank.status, 1);
    EXPECT_EQ(blank.out, "请输入要查找的关键字，多个关键字可以用空格隔开！\n");
    EXPECT_EQ(Search("").status, 2);
}

}  // namespace
