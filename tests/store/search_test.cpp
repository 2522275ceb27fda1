// SPDX-License-Identifier: GPL-3.0-or-later
// Keyword and conditional searches over the whole store.
#include "store_helpers.h"

namespace qd::test {

class SearchTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        OpenStore(s_);
        struct {
            const char* name;
            int year, hour;
            const char* category;
            const char* question;
            const char* comment;
            int province;
        } rows[] = {
            {"张三", 2004, 23, "求财", "问财运", "大吉", 3},      // 1
            {"小张", 2005, 1, "结婚", "问婚姻", "Good luck", 0},  // 2
            {"张", 1999, 22, "求财运", "问财", "平", 3},          // 3
            {"abc", 2004, 12, "ABC", "x", "y", 1},                // 4
        };
        for (const auto& row : rows) {
            TRecordData r = Record(row.name, row.year, 3, 7, row.hour, 0);
            r.category = row.category;
            WriteGbkField(r.request.question, row.question);
            r.comment = row.comment;
            r.request.province = static_cast<int16_t>(row.province);
            ASSERT_GT(s_.AddCase(r), 0);
        }
        TRecordData gone = Record("张三");
        ASSERT_EQ(s_.AddCase(gone), 5);
        ASSERT_TRUE(s_.DeleteCase(5));
    }
    std::vector<int> Keywords(const std::vector<std::string>& k) {
        std::vector<int> ids = {99};
        s_.FindCasesByKeywords(k, ids);
        return ids;
    }
    std::vector<int> Find(TSearchCriteria c) {
        std::vector<int> ids = {99};
        s_.FindCases(c, ids);
        return ids;
    }
    MRecordBase s_;
};

TEST_F(SearchTest, EachFieldTakesOneKeyword) {
    const struct {
        std::vector<std::string> keywords;
        std::vector<int> ids;
    } cases[] = {
        {{"张", "2004年"}, {1}},
        {{"张", "三"}, {}},   // both only in the name
        {{"三", "财"}, {1}},  // name takes 三, question takes 财
        {{"子时"}, {1}},      // hour 23
        {{"丑时"}, {2}},      // hour 1
        {{"亥时"}, {3}},      // hour 22
        {{"午时", "abc"}, {4}},
        {{"good"}, {}},  // case-sensitive
        {{"Good", "3月", "7日"}, {2}},
        {{"北京", "求财", "大吉"}, {1}},  // 3: 求财运 holds 求财, but 大吉 is not there
        // Pieces of the number and hour fields.
        {{"200"}, {1, 2, 4}},
        {{"4年"}, {1, 4}},
        {{"子"}, {1}},
        {{"时", "张"}, {1, 2, 3}},
        {{"年7"}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Keywords(c.keywords), c.ids) << c.keywords[0];
}

TEST_F(SearchTest, Conditions) {
    TSearchCriteria c;
    c.province = -1;
    c.nameMode = 1;
    c.name = "张";
    EXPECT_EQ(Find(c), (std::vector<int>{1, 2, 3}));
    c.nameMode = 2;
    EXPECT_EQ(Find(c), (std::vector<int>{3}));
    c.name = "ABC";
    EXPECT_EQ(Find(c), (std::vector<int>{4}));  // whole match ignores Latin case
    c.nameMode = 1;
    EXPECT_EQ(Find(c), (std::vector<int>{}));  // containment does not

    c = {};
    c.province = 3;
    EXPECT_EQ(Find(c), (std::vector<int>{1, 3}));
    c.province = -1;
    c.categoryMode = 1;
    c.category = "求财";
    EXPECT_EQ(Find(c), (std::vector<int>{1, 3}));
    c.categoryMode = 2;
    EXPECT_EQ(Find(c), (std::vector<int>{1}));
    c.categoryMode = 0;
    c.yearsGiven = 1;
    c.yearFrom = 2004;
    c.yearTo = 2005;
    EXPECT_EQ(Find(c), (std::vector<int>{1, 2, 4}));
    c.questionGiven = 1;
    c.question = "财";
    EXPECT_EQ(Find(c), (std::vector<int>{1}));
    c.questionGiven = 0;
    c.commentGiven = 1;
    c.comment = "luck";
    c.sexGiven = 1;
    c.sex = 0;
    TSearchCriteria kept = c;
    std::vector<int> ids;
    s_.FindCases(kept, ids);
    EXPECT_EQ(ids, (std::vector<int>{2}));
    EXPECT_EQ(kept.sexGiven, 0);  // cleared by the search
}

// Rows written by another program: the searches see their texts as the case
// record holds them, cut to the field and with '?' for what GBK lacks, and
// defaults for empty columns.
TEST_F(SearchTest, MatchesTheTextsAsTheRecordHoldsThem) {
    RawExec(DbPath(),
            "insert into case_data(id, name, dateY, event) values "
            "(6, '一二三四五六七八九十甲', 2004, ''), (7, 'a😀', 2004, 'x');");
    RawExec(DbPath(), "update case_extra set primaryId=7;");
    ASSERT_EQ(s_.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    const struct {
        std::vector<std::string> keywords;
        std::vector<int> ids;
    } cases[] = {
        {{"十"}, {6}},
        {{"甲"}, {}},                 // the eleventh character did not fit
        {{"要问的事情", "九"}, {6}},  // the empty question reads as its default
        {{"a?"}, {7}},
        {{"😀"}, {}},
        {{"临时保存", "1900年"}, {}},  // the year column holds 2004
        {{"临时保存", "2004年", "1月"}, {6, 7}},
    };
    for (const auto& c : cases) EXPECT_EQ(Keywords(c.keywords), c.ids) << c.keywords[0];

    TSearchCriteria c;
    c.province = -1;
    c.questionGiven = 1;
    c.question = "要问";
    EXPECT_EQ(Find(c), (std::vector<int>{6}));
    c.questionGiven = 0;
    c.nameMode = 2;
    c.name = "一二三四五六七八九十";
    EXPECT_EQ(Find(c), (std::vector<int>{6}));
}

// Rows another program wrote with ids outside 1..primaryId are found too,
// after the others, in the order the list shows them.
TEST_F(SearchTest, RowsOutsideTheLastIdAreFound) {
    for (int id : {5000, 0, -5}) {
        RawExec(DbPath(),
                "insert into case_data select " + std::to_string(id) +
                    ", name, sex, className, dateY, dateNum, dateStyle, addrInd, addrName, addrNum, "
                    "remarkFile, tag1, tag2, event, keStyle, otherKe, masterDate, remarkText "
                    "from case_data where id=1;");
    }
    const std::vector<int> all = {1, -5, 0, 5000};
    EXPECT_EQ(Keywords({"张三", "大吉"}), all);
    TSearchCriteria c;
    c.province = -1;
    c.nameMode = 2;
    c.name = "张三";
    EXPECT_EQ(Find(c), all);
}

}  // namespace qd::test
