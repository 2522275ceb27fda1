// SPDX-License-Identifier: GPL-3.0-or-later
// The case store's operations on one database.
#include <cstring>

#include "base/rtf.h"
#include "store/case_text.h"
#include "store_helpers.h"

namespace qd::test {

using RecordBaseTest = StoreTest;

TEST_F(RecordBaseTest, RecordRoundTripsEveryField) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("张三");
    r.request.lunar = 1;
    r.request.leap = 1;
    r.request.noble = 2;
    r.request.earth = 11;
    r.request.general = 7;
    r.request.province = 12;
    r.request.city = 4;
    r.request.direct = 1;
    r.request.directDay = 33;
    r.request.directHour = 5;
    r.request.directGeneral = 11;
    r.request.directEarth = 9;
    r.extra[0] = 0;
    r.extra[1] = 15;
    r.comment = "第一行\n第二行";
    ASSERT_EQ(s.AddCase(r), 1);
    TRecordData back;
    ASSERT_TRUE(s.ReadCase(1, back));
    EXPECT_EQ(std::memcmp(&back.request, &r.request, sizeof r.request), 0);
    EXPECT_EQ(back.id, 1);
    EXPECT_EQ(back.category, r.category);
    EXPECT_EQ(back.comment, r.comment);
    EXPECT_EQ(back.commentFile, r.commentFile);
    EXPECT_EQ(std::vector<int>(back.extra, back.extra + 5), (std::vector<int>{0, 15, -1, -1, -1}));
}

TEST_F(RecordBaseTest, IdsAreNeverReused) {
    {
        MRecordBase s;
        OpenStore(s);
        for (int want = 1; want <= 3; ++want) {
            TRecordData r = Record("甲");
            EXPECT_EQ(s.AddCase(r), want);
            EXPECT_EQ(r.id, want);
        }
        ASSERT_TRUE(s.DeleteCase(2));
        TRecordData r = Record("乙");
        EXPECT_EQ(s.AddCase(r), 4);
        ASSERT_TRUE(s.DeleteCase(4));
        EXPECT_TRUE(s.DeleteCase(99));  // no row is no failure
    }
    // The last id survives reopening even when the newest case is gone.
    MRecordBase s;
    OpenStore(s);
    EXPECT_EQ(s.GetLastId(), 4);
    EXPECT_EQ(s.CountCases(), 2);
    TRecordData r = Record("丙");
    EXPECT_EQ(s.AddCase(r), 5);

    const std::string before = s.LastError();
    EXPECT_FALSE(s.ReadCase(0, r));
    EXPECT_FALSE(s.ReadCase(2, r));
    EXPECT_EQ(s.LastError(), before);
}

TEST_F(RecordBaseTest, UpdateKeepsTheIdAndIgnoresTheRecordsOwn) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("张三");
    ASSERT_EQ(s.AddCase(r), 1);
    r.id = 77;
    r.category = "结婚";
    ASSERT_TRUE(s.UpdateCase(1, r));
    TRecordData back;
    ASSERT_TRUE(s.ReadCase(1, back));
    EXPECT_EQ(back.id, 1);
    EXPECT_EQ(back.category, "结婚");
    EXPECT_FALSE(s.ReadCase(77, back));
}

// Values are bound, so an apostrophe neither breaks a statement nor alters one.
TEST_F(RecordBaseTest, ApostrophesAreStoredAsTyped) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("O'Neil");
    r.comment = "it's fine'); drop table case_data; --";
    r.category = "a'b";
    ASSERT_EQ(s.AddCase(r), 1) << s.LastError();
    r.comment += " again'";
    ASSERT_TRUE(s.UpdateCase(1, r));
    ASSERT_TRUE(s.SetCategories({"a'b", "c"}));
    TRecordData back;
    ASSERT_TRUE(s.ReadCase(1, back));
    EXPECT_EQ(back.comment, r.comment);
    EXPECT_EQ(back.category, "a'b");
    EXPECT_EQ(ReadGbkField(back.request.name), "O'Neil");
    std::vector<std::string> cats;
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_EQ(cats, (std::vector<std::string>{"a'b", "c"}));
    EXPECT_TRUE(s.TableExists("case_data"));
}

TEST_F(RecordBaseTest, CategoryList) {
    MRecordBase s;
    OpenStore(s);
    std::vector<std::string> cats;
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_EQ(cats.size(), 8u);
    EXPECT_EQ(cats.front(), "开业");
    EXPECT_EQ(cats.back(), "临时保存");
    ASSERT_TRUE(s.SetCategories({}));
    cats = {"x"};
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_TRUE(cats.empty());
    EXPECT_TRUE(s.IsDatabaseType("QuadrelleData"));
    EXPECT_FALSE(s.IsDatabaseType("quadrelledata"));
}

TEST_F(RecordBaseTest, FileThatIsNoDatabase) {
    WriteFile(DbPath(), std::string(4096, 'x'));
    MRecordBase s;
    EXPECT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Failed);
    EXPECT_EQ(s.LastError(), "file is not a database");
}

TEST_F(RecordBaseTest, DatabaseWithoutUsableMetadata) {
    // No case_extra: opening adds it, with the instance's last id.
    RawExec(DbPath(),
            "create table case_data(id integer primary key, name char(20));"
            "insert into case_data(id, name) values (5, 'a');");
    {
        MRecordBase s;
        ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened) << s.LastError();
        EXPECT_EQ(s.GetLastId(), 0);
        EXPECT_TRUE(s.IsDatabaseType("QuadrelleData"));
    }
    // A metadata table without a row, or with a primaryId that is no number.
    RawExec(DbPath(), "delete from case_extra;");
    {
        MRecordBase s;
        EXPECT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Failed);
        EXPECT_EQ(s.LastError(), "无法读取额外表的主键id！");
    }
    RawExec(DbPath(), "insert into case_extra values (0, 1000, 'abc', '', 'QuadrelleData');");
    {
        MRecordBase s;
        EXPECT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Failed);
        EXPECT_EQ(s.LastError(), "无法读取额外表的主键id！");
    }
}

TEST_F(RecordBaseTest, UnopenablePath) {
    MRecordBase s;
    EXPECT_EQ(s.OpenDatabase(Home() + "no/such/folder/x.db", Home(), false), TOpenResult::Failed);
    EXPECT_EQ(s.LastError(), "无法创建或者打开数据库！");
}

// An id that exists already (the metadata fell behind) is refused, and the
// last id stays.
TEST_F(RecordBaseTest, InsertOfAnExistingIdFails) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("甲");
    ASSERT_EQ(s.AddCase(r), 1);
    RawExec(DbPath(), "update case_extra set primaryId=0;");
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    EXPECT_EQ(s.AddCase(r), -1);
    EXPECT_EQ(s.LastError(), "无法保存案例！");
    EXPECT_EQ(s.GetLastId(), 0);
}

TEST_F(RecordBaseTest, BatchCommitsAtItsEnd) {
    MRecordBase s;
    OpenStore(s);
    ASSERT_TRUE(s.BeginBatch());
    for (int i = 0; i < 50; ++i) {
        TRecordData r = Record("甲");
        ASSERT_EQ(s.AddCaseInBatch(r), i + 1);
    }
    TRecordData r;
    EXPECT_TRUE(s.ReadCaseInBatch(50, r));
    // A single operation during a batch shares its connection.
    EXPECT_EQ(s.CountCases(), 50);
    ASSERT_TRUE(s.EndBatch());
    MRecordBase other;
    OpenStore(other);
    EXPECT_EQ(other.GetLastId(), 50);
    EXPECT_EQ(other.CountCases(), 50);
}

// primaryId is written once, when the batch ends; when that write fails the
// batch's cases go with it, and the text says why. A single add stores the
// row and primaryId together or neither.
TEST_F(RecordBaseTest, AFailedIdWriteKeepsNoCase) {
    MRecordBase s;
    OpenStore(s);
    RawExec(DbPath(),
            "create trigger no_id before update of primaryId on case_extra "
            "begin select raise(abort, 'no'); end;");
    TRecordData r = Record("甲");
    EXPECT_EQ(s.AddCase(r), -1);
    EXPECT_EQ(s.LastError(), "无法更新主键id！");
    EXPECT_EQ(s.GetLastId(), 0);

    ASSERT_TRUE(s.BeginBatch());
    EXPECT_EQ(s.AddCaseInBatch(r), 1);
    EXPECT_EQ(s.AddCaseInBatch(r), 2);
    EXPECT_FALSE(s.EndBatch());
    EXPECT_EQ(s.LastError(), "无法更新主键id！");
    EXPECT_EQ(s.CountCases(), 0);

    RawExec(DbPath(), "drop trigger no_id;");
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), false), TOpenResult::Opened);
    EXPECT_EQ(s.AddCase(r), 1);
    EXPECT_EQ(s.ReadLastId(), 1);
}

// When SQLite rolls a batch back by itself, the batch must not answer success
// nor let its later writes land alone.
TEST_F(RecordBaseTest, BatchRolledBackBySqliteFails) {
    MRecordBase s;
    OpenStore(s);
    AddRollbackTrigger(DbPath());
    ASSERT_TRUE(s.BeginBatch());
    for (const char* name : {"甲", "炸", "乙"}) {
        TRecordData r = Record(name);
        s.AddCaseInBatch(r);
    }
    TRecordData r = Record("丙");
    EXPECT_FALSE(s.UpdateCaseInBatch(1, r));
    EXPECT_FALSE(s.DeleteCaseInBatch(1));
    EXPECT_FALSE(s.EndBatch());
    EXPECT_EQ(s.CountCases(), 0);

    // An import into such a store reports nothing imported.
    const std::string source = Home() + "source.db";
    {
        MRecordBase src;
        ASSERT_EQ(src.OpenDatabase(source, Home(), false), TOpenResult::Opened);
        for (const char* name : {"甲", "炸", "乙"}) {
            TRecordData c = Record(name);
            ASSERT_GT(src.AddCase(c), 0);
        }
    }
    EXPECT_EQ(s.ImportDatabase(source, nullptr, false), 0);
    EXPECT_EQ(s.CountCases(), 0);
}

TEST(CleanText, Rules) {
    const struct {
        const char* in;
        size_t max;
        const char* out;
        bool changed;
    } cases[] = {
        {"a b", 10, "ab", true},
        {"", 10, "甲", true},
        {"张三", 10, "张三", false},
        {"一二三四五六七八九十百千", 10, "一二三四五六七八九十", true},
        {"a\"*<>?\\/|:' b", 0, "ab", true},
        {"张/三'", 0, "张三", true},
        {"abc", 0, "abc", false},
    };
    for (const auto& c : cases) {
        std::string t = c.in;
        EXPECT_EQ(MRecordBase::CleanText(t, c.max), c.changed) << c.in;
        EXPECT_EQ(t, c.out) << c.in;
    }
}

TEST_F(RecordBaseTest, CommentFileNamesCountUpWhileTaken) {
    MRecordBase s;
    OpenStore(s);
    TRecordData r = Record("张三");
    std::string base;
    std::string path = s.MakeCommentFileName(r, base);
    EXPECT_EQ(base, "张三_200603070905");
    EXPECT_EQ(path, Comments() + "张三_200603070905.rtf");
    WriteFile(path, "{\\rtf1 }");
    path = s.MakeCommentFileName(r, base);
    EXPECT_EQ(base, "张三_200603070905_0");
    WriteFile(path, "{\\rtf1 }");
    path = s.MakeCommentFileName(r, base);
    EXPECT_EQ(base, "张三_200603070905_1");
    EXPECT_EQ(path, Comments() + "张三_200603070905_1.rtf");
}

TEST_F(RecordBaseTest, RebuildWritesOnlyMissingCommentFiles) {
    MRecordBase s;
    OpenStore(s);
    TRecordData a = Record("甲");
    a.commentFile = "甲_1";
    a.comment = "新的评语";
    TRecordData b = Record("乙");
    b.commentFile = "乙_1";
    ASSERT_EQ(s.AddCase(a), 1);
    ASSERT_EQ(s.AddCase(b), 2);
    WriteFile(Comments() + "乙_1.rtf", "keep");
    ASSERT_TRUE(s.RebuildCommentFiles());
    std::ifstream in(Comments() + "甲_1.rtf");
    std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(RtfToPlainText(rtf), "新的评语");
    std::ifstream kept(Comments() + "乙_1.rtf");
    std::string k((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(k, "keep");
}

TEST(CaseNodeText, PaddingCalendarMarkAndYear) {
    TRecordData r = Record("张三");
    EXPECT_EQ(CaseNodeText(r), "张三     公2006-03-07 09:05 问财运");
    WriteGbkField(r.request.name, "a");
    r.request.lunar = 1;
    r.request.leap = 1;
    r.request.year = 0;
    EXPECT_EQ(CaseNodeText(r), "a        农闰-001-03-07 09:05 问财运");

    // Numbers other programs stored print as "%04d" and "%02d" print them.
    WriteGbkField(r.request.name, "甲");
    r.request.lunar = 0;
    r.request.year = -32768;
    r.request.month = 13;
    r.request.day = -3;
    r.request.hour = 100;
    r.request.minute = 0;
    EXPECT_EQ(CaseNodeText(r), "甲       公-32769-13--3 100:00 问财运");
    r.request.year = 32767;
    r.request.month = -32768;
    EXPECT_EQ(CaseNodeText(r), "甲       公32767--32768--3 100:00 问财运");
}

}  // namespace qd::test
