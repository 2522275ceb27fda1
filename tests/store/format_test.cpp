// SPDX-License-Identifier: GPL-3.0-or-later
// The stored form of a case, checked against the file with plain sqlite3.
#include <sqlite3.h>

#include <cstring>
#include <vector>

#include "store/case_format.h"
#include "store_helpers.h"

namespace qd::test {

namespace {

struct Cell {
    int type;
    std::string text;
};

std::vector<std::vector<Cell>> Query(const std::string& db, const std::string& sql,
                                     std::vector<std::string>* names = nullptr) {
    std::vector<std::vector<Cell>> rows;
    sqlite3* h = nullptr;
    EXPECT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::vector<Cell> row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (names && rows.empty()) names->push_back(sqlite3_column_name(st, i));
            const int type = sqlite3_column_type(st, i);
            const auto* t = sqlite3_column_text(st, i);
            row.push_back({type, t ? reinterpret_cast<const char*>(t) : ""});
        }
        rows.push_back(row);
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return rows;
}

}  // namespace

using FormatTest = StoreTest;

TEST_F(FormatTest, WorkedExampleRowColumnByColumn) {
    MRecordBase s;
    OpenStore(s);
    // Ids 1 to 11 are taken by earlier cases, so the example gets 12.
    RawExec(DbPath(), "update case_extra set primaryId=11;");
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    TRecordData r = Record("张三");
    r.request.noble = 1;
    r.request.earth = 5;
    r.request.province = 3;
    r.request.city = 2;
    r.commentFile = "张三_200603070905";
    ASSERT_EQ(s.AddCase(r), 12) << s.LastError();

    std::vector<std::string> names;
    auto rows = Query(DbPath(), "select * from case_data;", &names);
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<std::string> expectNames = {
        "id",        "name",    "sex",      "className", "dateY",      "dateNum",
        "dateStyle", "addrInd", "addrName", "addrNum",   "remarkFile", "tag1",
        "tag2",      "event",   "keStyle",  "otherKe",   "masterDate", "remarkText"};
    EXPECT_EQ(names, expectNames);
    const Cell expect[] = {
        {SQLITE_INTEGER, "12"},
        {SQLITE_TEXT, "张三"},
        {SQLITE_INTEGER, "1"},
        {SQLITE_TEXT, "求财"},
        {SQLITE_INTEGER, "2006"},
        {SQLITE_TEXT, "3 7 9 5"},
        {SQLITE_TEXT, "0 0"},
        {SQLITE_TEXT, "3 2"},
        {SQLITE_TEXT, "北京北京"},
        {SQLITE_TEXT, "116.400002 39.900002 8"},
        {SQLITE_TEXT, "张三_200603070905"},
        {SQLITE_TEXT, " "},
        {SQLITE_TEXT, " "},
        {SQLITE_TEXT, "问财运"},
        {SQLITE_TEXT, "0 1 5 0"},
        {SQLITE_TEXT, "0 0 0 0"},
        {SQLITE_TEXT, "1978"},
        {SQLITE_TEXT, "好"},
    };
    for (size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(rows[0][i].type, expect[i].type) << names[i];
        EXPECT_EQ(rows[0][i].text, expect[i].text) << names[i];
    }
    auto extra = Query(DbPath(), "select primaryId, typeof(primaryId) from case_extra;");
    ASSERT_EQ(extra.size(), 1u);
    EXPECT_EQ(extra[0][0].text, "12");
    EXPECT_EQ(extra[0][1].text, "integer");
}

TEST_F(FormatTest, NewDatabaseHasTheTablesOfTheEarlierEdition) {
    MRecordBase s;
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    EXPECT_EQ(s.GetLastId(), 0);
    auto schema = Query(DbPath(), "select sql from sqlite_master where type='table' order by name;");
    ASSERT_EQ(schema.size(), 2u);
    EXPECT_EQ(schema[0][0].text,
              "CREATE TABLE case_data(id integer primary key,name char(20),sex integer,"
              "className char(20),dateY integer,dateNum char(30),dateStyle char(5),"
              "addrInd char(30),addrName varchar(150),addrNum char(40),remarkFile char(50),"
              "tag1 varchar(100),tag2 varchar(100),event varchar(150),keStyle varchar(15),"
              "otherKe varchar(30),masterDate varchar(30),remarkText text)");
    EXPECT_EQ(schema[1][0].text, "CREATE TABLE case_extra(PlatformId,verCode,primaryId,className,baseType)");
    auto extra = Query(DbPath(), "select * from case_extra;");
    ASSERT_EQ(extra.size(), 1u);
    EXPECT_EQ(extra[0][0].text, "0");
    EXPECT_EQ(extra[0][1].text, "1000");
    EXPECT_EQ(extra[0][2].text, "0");
    EXPECT_EQ(extra[0][3].text, "开业 进宅 结婚 阳宅风水 阴宅 求财 催丁 临时保存");
    EXPECT_EQ(extra[0][4].text, "QuadrelleData");
}

// A row as an earlier edition or another program may have left it: every
// column empty, or short lists, or values that are no numbers.
TEST_F(FormatTest, ReadBackDefaults) {
    MRecordBase s;
    OpenStore(s);
    RawExec(DbPath(),
            "insert into case_data(id) values (1);"
            "insert into case_data values (2, '', 0, '', 'x', '4 x', '1', '3 2 4 7', '', '', '',"
            " ' ', ' ', '', '1', 'a 2', '1978', '');"
            "insert into case_data values (3, '李四', 2, 'a', 1999, '2 3 4 5 6', 'x 1', 'x y z',"
            " '', '121.5 x 8', 'f', ' ', ' ', 'q', '0 2 0 12', '1 2 3 4', '1978', 'c');"
            "insert into case_data values (4, ' 名', NULL, NULL, NULL, ' 5', ' 1', NULL, NULL,"
            " NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);"
            "update case_extra set primaryId=4;");
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    TRecordData r;

    ASSERT_TRUE(s.ReadCase(1, r));
    EXPECT_EQ(r.id, 1);
    EXPECT_EQ(ReadGbkField(r.request.name), "");
    EXPECT_EQ(r.request.filled, 1);  // empty sex
    EXPECT_EQ(r.category, "临时保存");
    EXPECT_EQ(r.request.year, 1900);
    EXPECT_EQ(r.request.month, 1);
    EXPECT_EQ(r.request.day, 1);
    EXPECT_EQ(r.request.hour, 1);
    EXPECT_EQ(r.request.minute, 1);
    EXPECT_EQ(r.request.lunar, 0);
    EXPECT_EQ(r.request.leap, 0);
    EXPECT_EQ(r.request.province, 0);
    EXPECT_EQ(r.request.city, 0);
    for (int e : r.extra) EXPECT_EQ(e, -1);
    EXPECT_FLOAT_EQ(r.request.longitude, 120);
    EXPECT_FLOAT_EQ(r.request.latitude, 30);
    EXPECT_EQ(r.commentFile, " ");
    EXPECT_EQ(ReadGbkField(r.request.question), "要问的事情。");
    EXPECT_EQ(r.comment, "输入自己的评语：");
    EXPECT_EQ(r.request.direct + r.request.noble + r.request.earth + r.request.general, 0);

    ASSERT_TRUE(s.ReadCase(2, r));
    EXPECT_EQ(r.request.filled, 0);   // sex 0
    EXPECT_EQ(r.request.year, 1900);  // not a number
    EXPECT_EQ(r.request.month, 4);
    EXPECT_EQ(r.request.day, 1);   // "x"
    EXPECT_EQ(r.request.hour, 1);  // missing
    EXPECT_EQ(r.request.lunar, 1);
    EXPECT_EQ(r.request.leap, 0);  // missing item
    EXPECT_EQ(r.request.province, 3);
    EXPECT_EQ(r.request.city, 2);
    EXPECT_EQ(r.extra[0], 4);
    EXPECT_EQ(r.extra[1], 7);
    EXPECT_EQ(r.extra[2], -1);
    EXPECT_EQ(r.request.direct, 1);
    EXPECT_EQ(r.request.noble, 0);
    EXPECT_EQ(r.request.directGeneral, 0);  // "a"
    EXPECT_EQ(r.request.directDay, 2);

    ASSERT_TRUE(s.ReadCase(3, r));
    EXPECT_EQ(r.request.filled, 0);  // 2 reads as 0
    EXPECT_EQ(r.request.month, 2);
    EXPECT_EQ(r.request.minute, 5);  // fifth item ignored
    EXPECT_EQ(r.request.lunar, 1);   // "x" is set
    EXPECT_EQ(r.request.leap, 1);
    EXPECT_EQ(r.request.province, 0);
    EXPECT_EQ(r.extra[0], -1);  // "z"
    EXPECT_FLOAT_EQ(r.request.longitude, 121.5f);
    EXPECT_FLOAT_EQ(r.request.latitude, 30);
    EXPECT_EQ(r.request.noble, 2);
    EXPECT_EQ(r.request.general, 12);
    EXPECT_EQ(r.request.directGeneral, 1);
    EXPECT_EQ(r.request.directEarth, 4);

    // A list that starts with a blank is one item, blank included, and so no number.
    ASSERT_TRUE(s.ReadCase(4, r));
    EXPECT_EQ(ReadGbkField(r.request.name), " 名");
    EXPECT_EQ(r.request.month, 1);
    EXPECT_EQ(r.request.lunar, 1);
    EXPECT_EQ(r.request.filled, 1);  // NULL reads as empty
}

// Numbers another program wrote that the record's fields cannot hold read as
// the defaults of text that is no number; they must not wrap.
TEST(CaseFormat, OutOfRangeNumbersTakeTheDefaults) {
    TCaseRow row;
    row[0] = "9999999999";
    row[4] = "70000";
    row[5] = "13 -40000 99999 7";
    row[7] = "-99999 40000 4 3000000000 5";
    row[9] = "999 -95 8";
    row[14] = "300 2 -1 256";
    row[15] = "1 2 3 1000";
    TRecordData r;
    RecordFromRow(row, r);
    EXPECT_EQ(r.id, 0);
    EXPECT_EQ(r.request.year, 1900);
    EXPECT_EQ(r.request.month, 13);
    EXPECT_EQ(r.request.day, 1);
    EXPECT_EQ(r.request.hour, 1);
    EXPECT_EQ(r.request.minute, 7);
    EXPECT_EQ(r.request.province, 0);
    EXPECT_EQ(r.request.city, 0);
    EXPECT_EQ(std::vector<int>(r.extra, r.extra + 5), (std::vector<int>{4, -1, 5, -1, -1}));
    EXPECT_FLOAT_EQ(r.request.longitude, 120);
    EXPECT_FLOAT_EQ(r.request.latitude, 30);
    EXPECT_EQ(r.request.direct, 0);
    EXPECT_EQ(r.request.noble, 2);
    EXPECT_EQ(r.request.earth, 0);
    EXPECT_EQ(r.request.general, 0);
    EXPECT_EQ(r.request.directEarth, 0);
    EXPECT_EQ(r.request.directHour, 3);

    // A question that ends at once reads as an empty one.
    row[13] = std::string("\0x", 2);
    RecordFromRow(row, r);
    EXPECT_EQ(ReadGbkField(r.request.question), "要问的事情。");

    // The limits themselves still fit.
    row[5] = "-32768 32767 0 0";
    row[9] = "-180 90 8";
    row[14] = "255 0 0 0";
    RecordFromRow(row, r);
    EXPECT_EQ(r.request.month, -32768);
    EXPECT_EQ(r.request.day, 32767);
    EXPECT_FLOAT_EQ(r.request.longitude, -180);
    EXPECT_FLOAT_EQ(r.request.latitude, 90);
    EXPECT_EQ(r.request.direct, 255);
}

TEST(CaseFormat, ListSplitting) {
    const struct {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {"", {}},
        {"3 7 9 5", {"3", "7", "9", "5"}},
        {"开业 进宅 求财", {"开业", "进宅", "求财"}},
        {" 7", {" 7"}},
        {"3  7", {"3", " 7"}},
        {"3 ", {"3"}},
        {"a", {"a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitList(c.text), c.items) << '"' << c.text << '"';
}

TEST(CaseFormat, ExtrasAndEarthBranchAsWritten) {
    TRecordData r = Record("张三");
    r.request.province = 3;
    r.request.city = 2;
    TCaseValues v = RecordToValues(r, 1);
    EXPECT_EQ(v[7].text, "3 2");
    r.extra[0] = 4;
    r.extra[1] = 7;
    r.extra[3] = 9;  // after the first -1: not written
    r.request.earth = 12 % 12;
    v = RecordToValues(r, 1);
    EXPECT_EQ(v[7].text, "3 2 4 7");
    EXPECT_EQ(v[14].text, "0 0 0 0");
}

TEST_F(FormatTest, LongTextsAreCutToTheirFieldsOnReading) {
    MRecordBase s;
    OpenStore(s);
    // 11 Chinese characters are 22 GBK bytes; the name field holds 20.
    RawExec(DbPath(),
            "insert into case_data(id, name) values (1, '一二三四五六七八九十百');"
            "update case_extra set primaryId=1;");
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    TRecordData r;
    ASSERT_TRUE(s.ReadCase(1, r));
    EXPECT_EQ(ReadGbkField(r.request.name), "一二三四五六七八九十");
}

}  // namespace qd::test
