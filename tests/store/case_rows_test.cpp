// SPDX-License-Identifier: GPL-3.0-or-later
// Reading rows with one statement: every form gives what ReadCase gives,
// over the selections a tree, a search and a maintenance loop use.
#include <algorithm>
#include <cstring>

#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/comment_folder.h"
#include "store/store_tables.h"
#include "store_helpers.h"

namespace qd::test {

namespace {

bool SameRecord(const TRecordData& a, const TRecordData& b) {
    return std::memcmp(&a.request, &b.request, sizeof a.request) == 0 && a.id == b.id &&
           a.category == b.category && a.comment == b.comment && a.commentFile == b.commentFile &&
           std::memcmp(a.extra, b.extra, sizeof a.extra) == 0;
}

std::vector<int> Visited(MRecordBase& s, const TCaseSelection& which, TReadEnd want = TReadEnd::kComplete) {
    std::vector<int> ids;
    EXPECT_EQ(ForEachCaseRow(s, which, ColumnBit(kColName),
                             [&](const CCaseRow& row) {
                                 ids.push_back(row.Id());
                                 return true;
                             }),
              want);
    return ids;
}

}  // namespace

class CaseRowsTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        OpenStore(s_);
    }
    void Sql(const std::string& sql) { RawExec(DbPath(), sql); }
    MRecordBase s_;
};

TEST(CaseColumns, FollowTheTableOrder) {
    ASSERT_EQ(size_t{kColCount}, kCaseColumnCount);
    EXPECT_STREQ(kCaseColumns[kColName].name, "name");
    EXPECT_STREQ(kCaseColumns[kColEvent].name, "event");
    EXPECT_STREQ(kCaseColumns[kColRemarkText].name, "remarkText");
}

// Rows written by other programs: empty and NULL columns, numbers as text,
// short lists, texts longer than their record fields or outside GBK.
TEST_F(CaseRowsTest, EveryFormReadsWhatReadCaseReads) {
    TRecordData plain = Record("张三");
    plain.extra[0] = 4;
    ASSERT_EQ(s_.AddCase(plain), 1);
    Sql("insert into case_data(id) values (2);");
    Sql("insert into case_data values (3, '一二三四五六七八九十甲', 2, '', '2004', '3 x 9', '1', "
        "' 5', '😀地', '', '', ' ', ' ', '', 'a 1', '1', '1978', '');");
    Sql("insert into case_data values (4, 'ab\xE4\xB8', 'a', NULL, 70000, '12', '0 1', '3 2 4 7', "
        "NULL, '1.5 x 8', NULL, NULL, NULL, '€问', NULL, NULL, NULL, NULL);");
    Sql("insert into case_data values (5, 'x', 0, '求财', 2004.0, '1  2', '1 0', 'q', 'p', "
        "'116.4 39.9', 'f', ' ', ' ', 'q', '0 1 5 0', '0 0 0 0', '1978', '好');");
    // A comment file name that would lead out of the comment folder.
    Sql("insert into case_data(id, name, remarkFile) values (6, '李四', '../../evil');");
    Sql("update case_extra set primaryId=6;");
    ASSERT_EQ(s_.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);

    int rows = 0;
    EXPECT_EQ(ForEachCaseRecord(s_, CaseRange(1, 6),
                                [&](TRecordData& r) {
                                    TRecordData want;
                                    EXPECT_TRUE(s_.ReadCase(r.id, want));
                                    EXPECT_TRUE(SameRecord(r, want)) << r.id;
                                    EXPECT_TRUE(IsSafeCommentName(r.commentFile)) << r.commentFile;
                                    ++rows;
                                    return true;
                                }),
              TReadEnd::kComplete);
    EXPECT_EQ(rows, 6);

    EXPECT_EQ(ForEachCaseRow(s_, CaseRange(1, 5), kAllColumns,
                             [&](const CCaseRow& row) {
                                 TRecordData want;
                                 EXPECT_TRUE(s_.ReadCase(row.Id(), want));
                                 const TCastRequest& q = want.request;
                                 EXPECT_EQ(row.Name(), ReadGbkField(q.name)) << row.Id();
                                 EXPECT_EQ(row.Question(), ReadGbkField(q.question)) << row.Id();
                                 EXPECT_EQ(row.Place(), ReadGbkField(q.place)) << row.Id();
                                 EXPECT_EQ(row.Category(), want.category) << row.Id();
                                 EXPECT_EQ(row.Comment(), want.comment) << row.Id();
                                 EXPECT_EQ(row.Filled(), q.filled) << row.Id();
                                 EXPECT_EQ(row.Year(), q.year) << row.Id();
                                 const TCaseTime t = row.Time();
                                 EXPECT_EQ(std::vector<int>({t.month, t.day, t.hour, t.minute}),
                                           std::vector<int>({q.month, q.day, q.hour, q.minute}))
                                     << row.Id();
                                 EXPECT_EQ(row.Lunar(), q.lunar != 0) << row.Id();
                                 EXPECT_EQ(row.Leap(), q.leap != 0) << row.Id();
                                 EXPECT_EQ(row.Province(), q.province) << row.Id();
                                 return true;
                             }),
              TReadEnd::kComplete);

    EXPECT_EQ(ForEachCaseSummary(s_, CaseRange(1, 5),
                                 [&](const TCaseSummary& c) {
                                     TRecordData want;
                                     EXPECT_TRUE(s_.ReadCase(c.id, want));
                                     EXPECT_EQ(CaseNodeText(c), CaseNodeText(want)) << c.id;
                                     EXPECT_EQ(c.category, want.category) << c.id;
                                     EXPECT_EQ(c.filled, want.request.filled) << c.id;
                                     return true;
                                 }),
              TReadEnd::kComplete);
}

TEST_F(CaseRowsTest, AColumnMissingUnderItsExactNameReadsAsEmpty) {
    const std::string other = Home() + "dat/other.db";
    RawExec(other, "create table case_data(id integer primary key, NAME char(20), className char(20));");
    RawExec(other, "create table case_extra(PlatformId, verCode, primaryId, className, baseType);");
    RawExec(other, "insert into case_extra values (0, 1000, 1, '', 'QuadrelleData');");
    RawExec(other, "insert into case_data values (1, '张三', '求财');");
    MRecordBase o;
    ASSERT_EQ(o.OpenDatabase(other, Home(), false), TOpenResult::Opened);
    TRecordData want;
    ASSERT_TRUE(o.ReadCase(1, want));
    int rows = 0;
    EXPECT_EQ(ForEachCaseRecord(o, CaseRange(1, 1),
                                [&](TRecordData& r) {
                                    EXPECT_TRUE(SameRecord(r, want));
                                    EXPECT_EQ(ReadGbkField(r.request.name), "");  // NAME is not name
                                    EXPECT_EQ(r.category, "求财");
                                    return ++rows > 0;
                                }),
              TReadEnd::kComplete);
    EXPECT_EQ(rows, 1);
}

TEST_F(CaseRowsTest, SelectionsVisitTheirRowsInOrder) {
    for (int i = 0; i < 6; ++i) {
        TRecordData r = Record("c" + std::to_string(i));
        ASSERT_GT(s_.AddCase(r), 0);
    }
    ASSERT_TRUE(s_.DeleteCase(3));
    using V = std::vector<int>;
    EXPECT_EQ(Visited(s_, CaseRange(1, 6)), (V{1, 2, 4, 5, 6}));
    EXPECT_EQ(Visited(s_, CaseRange(2, 4)), (V{2, 4}));
    EXPECT_EQ(Visited(s_, CaseRange(5, 4)), V{});
    EXPECT_EQ(Visited(s_, NewestCases(6)), (V{6, 5, 4, 2, 1}));
    EXPECT_EQ(Visited(s_, NewestCases(5, 3)), (V{5, 4, 2}));
    const V listed = {6, 3, 1, 6, 99};
    EXPECT_EQ(Visited(s_, ListedCases(listed)), (V{6, 1, 6}));

    // Every row: 1..last id, then the rows outside in id order; from 0 for
    // the export.
    Sql("insert into case_data(id, name) values (50, 'f'), (0, 'z'), (-5, 'n');");
    EXPECT_EQ(Visited(s_, EveryCase()), (V{1, 2, 4, 5, 6, -5, 0, 50}));
    EXPECT_EQ(Visited(s_, EveryCase(0)), (V{0, 1, 2, 4, 5, 6, -5, 50}));
    EXPECT_EQ(Visited(s_, CaseRange(1, 6)), (V{1, 2, 4, 5, 6}));

    int seen = 0;
    EXPECT_EQ(ForEachCaseSummary(s_, CaseRange(1, 6), [&](const TCaseSummary&) { return ++seen < 2; }),
              TReadEnd::kStopped);
    EXPECT_EQ(seen, 2);
    EXPECT_FALSE(s_.InBatch());
}

// A table another program made whose id is no integer primary key: ids
// that are no number, or twice the same. Every row is read once; a reading
// by ids takes one row per id, as ReadCase does.
TEST_F(CaseRowsTest, EveryRowOfATableWithLooseIds) {
    const std::string other = Home() + "dat/loose.db";
    RawExec(other,
            "create table case_data(id integer, name char(20));"
            "create table case_extra(PlatformId, verCode, primaryId, className, baseType);"
            "insert into case_extra values (0, 1000, 3, '', 'QuadrelleData');"
            "insert into case_data values ('x', 'a'), (2, 'b'), (NULL, 'c'), (7.5, 'd'), (-1, 'e'),"
            " (2, 'f'), (3, 'g');");
    MRecordBase o;
    ASSERT_EQ(o.OpenDatabase(other, Home(), false), TOpenResult::Opened);
    std::vector<std::string> names;
    std::vector<int> ids;
    const auto collect = [&](const CCaseRow& row) {
        names.emplace_back(row.Name());
        ids.push_back(row.Id());
        return true;
    };
    EXPECT_EQ(ForEachCaseRow(o, EveryCase(), ColumnBit(kColName), collect), TReadEnd::kComplete);
    // Ids 1..3 first (the two rows of id 2 in either order), then NULL,
    // below 1, above 3 (a text above every number).
    ASSERT_EQ(names.size(), 7u);
    std::sort(names.begin(), names.begin() + 2);
    EXPECT_EQ(names, (std::vector<std::string>{"b", "f", "g", "c", "e", "d", "a"}));
    // Ids as ReadCase reads them: 0 for what is no whole number.
    EXPECT_EQ(ids, (std::vector<int>{2, 2, 3, 0, -1, 0, 0}));

    names.clear();
    ids.clear();
    EXPECT_EQ(ForEachCaseRow(o, CaseRange(1, 3), ColumnBit(kColName), collect), TReadEnd::kComplete);
    EXPECT_EQ(ids, (std::vector<int>{2, 3}));
}

TEST_F(CaseRowsTest, AVisitorMayWriteThroughTheSameStore) {
    for (int i = 0; i < 3; ++i) {
        TRecordData r = Record("c" + std::to_string(i));
        ASSERT_GT(s_.AddCase(r), 0);
    }
    EXPECT_EQ(ForEachCaseRecord(s_, CaseRange(1, 3),
                                [&](TRecordData& r) {
                                    r.category = "结婚";
                                    return s_.UpdateCaseInBatch(r.id, r);
                                }),
              TReadEnd::kComplete);
    TRecordData r;
    ASSERT_TRUE(s_.ReadCase(3, r));
    EXPECT_EQ(r.category, "结婚");
}

TEST_F(CaseRowsTest, AFailedReadKeepsSqlitesText) {
    Sql("drop table case_data;");
    EXPECT_EQ(Visited(s_, CaseRange(1, 9), TReadEnd::kFailed), std::vector<int>{});
    EXPECT_NE(s_.LastError().find("case_data"), std::string::npos) << s_.LastError();
    EXPECT_FALSE(s_.InBatch());
}

}  // namespace qd::test
