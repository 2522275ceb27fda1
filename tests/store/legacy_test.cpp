// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion of the fixed-record case file of the earlier edition.
#include <cstring>

#include "base/rtf.h"
#include "store/legacy.h"
#include "store/store_files.h"
#include "store_helpers.h"

namespace qd::test {

namespace {

struct LegacyCase {
    bool deleted;
    const char* name;
    const char* category;
    int16_t date[5];
    const char* place;
    const char* file;
    uint8_t noble, earth;
};

void PutText(std::string& rec, size_t at, size_t width, const std::string& utf8) {
    const std::string gbk = Utf8ToGbk(utf8);
    std::memcpy(&rec[at], gbk.data(), std::min(gbk.size(), width));
}

void PutInt16(std::string& rec, size_t at, int16_t v) {
    rec[at] = static_cast<char>(v & 0xFF);
    rec[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void PutFloat(std::string& rec, size_t at, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i) rec[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

std::string LegacyRecord(const LegacyCase& c) {
    std::string rec(kLegacyRecordSize, '\0');
    rec[4] = c.deleted ? 1 : 0;
    PutText(rec, 5, 11, c.name);
    PutText(rec, 16, 14, c.category);
    for (int i = 0; i < 5; ++i) PutInt16(rec, 30 + 2 * i, c.date[i]);
    rec[40] = 1;  // lunar
    PutInt16(rec, 44, 3);
    PutInt16(rec, 46, 2);
    PutFloat(rec, 52, 116.4f);
    PutFloat(rec, 56, 39.9f);
    PutText(rec, 68, 51, c.place);
    PutText(rec, 119, 30, c.file);
    rec[149] = static_cast<char>(c.noble);
    rec[150] = static_cast<char>(c.earth);
    return rec;
}

std::string ReadAll(const std::string& path) {
    std::string data;
    ReadWholeFile(path, data);
    return data;
}

}  // namespace

using LegacyTest = StoreTest;

TEST_F(LegacyTest, ConvertsLiveRecordsAndKeepsTheirComments) {
    {
        MRecordBase s;
        OpenStore(s);
        for (int i = 0; i < 2; ++i) {
            TRecordData r = Record("已有");
            ASSERT_GT(s.AddCase(r), 0);
        }
    }
    const LegacyCase cases[] = {
        {false, "张三", "求财", {2006, 3, 7, 9, 5}, "北京北京", "zs_old", 1, 5},
        {true, "删除", "求财", {2001, 1, 1, 1, 1}, "x", "del", 0, 0},
        // An 11-byte name without terminator, holding a "/" and a blank.
        {false, "李/四 abcdef", "占病", {2010, 12, 30, 23, 59}, "上海", "ls_old", 2, 0},
    };
    std::string file;
    for (const auto& c : cases) file += LegacyRecord(c);
    file += std::string(50, 'x');  // a broken tail
    WriteFile(Home() + "dat/Quadrelle.dat", file);
    WriteFile(Comments() + "zs_old.rtf", PlainTextToRtf("张三's 评语"));
    WriteFile(Comments() + "ls_old.rtf", PlainTextToRtf("李四的评语"));

    MRecordBase s;
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::ConvertedLegacy) << s.LastError();
    EXPECT_EQ(s.LastError(), "已经把旧版数据库转换到新版，共转换 2 个案例！");
    EXPECT_FALSE(PathExists(Home() + "dat/Quadrelle.dat"));
    EXPECT_EQ(s.GetLastId(), 4);

    TRecordData r;
    ASSERT_TRUE(s.ReadCase(3, r));
    EXPECT_EQ(ReadGbkField(r.request.name), "张三");
    EXPECT_EQ(r.category, "求财");
    EXPECT_EQ(r.request.year, 2006);
    EXPECT_EQ(r.request.minute, 5);
    EXPECT_EQ(r.request.lunar, 1);
    EXPECT_EQ(r.request.province, 3);
    EXPECT_FLOAT_EQ(r.request.longitude, 116.4f);
    EXPECT_EQ(r.request.noble, 1);
    EXPECT_EQ(r.request.earth, 5);
    EXPECT_EQ(r.request.filled, 1);
    EXPECT_EQ(ReadGbkField(r.request.place), "北京北京");
    EXPECT_EQ(ReadGbkField(r.request.question), "要问的事情。");
    EXPECT_EQ(r.commentFile, "zs_old");
    EXPECT_EQ(r.comment, "张三s 评语");  // apostrophes go, as they always did
    EXPECT_TRUE(PathExists(Comments() + "zs_old.rtf"));

    // The cleaned name gets a new comment file; the old comment moves with it.
    ASSERT_TRUE(s.ReadCase(4, r));
    EXPECT_EQ(ReadGbkField(r.request.name), "李四abcde");
    EXPECT_EQ(r.commentFile, "李四abcde_201012302359");
    EXPECT_EQ(r.comment, "李四的评语");
    EXPECT_FALSE(PathExists(Comments() + "ls_old.rtf"));
    std::string rtf;
    ASSERT_TRUE(ReadWholeFile(Comments() + r.commentFile + ".rtf", rtf));
    EXPECT_EQ(RtfToPlainText(rtf), "李四的评语");

    std::vector<std::string> cats;
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_EQ(cats, (std::vector<std::string>{"求财", "占病", "开业", "进宅", "结婚", "阳宅风水", "阴宅",
                                              "催丁", "临时保存"}));
}

// A conversion whose batch fails leaves the legacy file and every old comment
// file as they were, so that the next start converts everything.
TEST_F(LegacyTest, FailedConversionLeavesEverythingForTheNextStart) {
    {
        MRecordBase s;
        OpenStore(s);
    }
    AddRollbackTrigger(DbPath());
    const LegacyCase cases[] = {
        {false, "李/四", "占病", {2010, 12, 30, 23, 59}, "上海", "ls_old", 2, 0},
        {false, "炸", "占病", {2010, 1, 1, 1, 1}, "上海", "boom", 0, 0},
        // Same cleaned name and minute, without a comment file of its own.
        {false, "李四/", "占病", {2010, 12, 30, 23, 59}, "上海", "ls_gone", 0, 0},
    };
    std::string file;
    for (const auto& c : cases) file += LegacyRecord(c);
    WriteFile(Home() + "dat/Quadrelle.dat", file);
    WriteFile(Comments() + "ls_old.rtf", PlainTextToRtf("李四的评语"));

    {
        MRecordBase s;
        EXPECT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened);
        EXPECT_EQ(s.CountCases(), 0);
    }
    EXPECT_TRUE(PathExists(Home() + "dat/Quadrelle.dat"));
    EXPECT_EQ(ListRtfFiles(Comments()), std::vector<std::string>{"ls_old.rtf"});

    RawExec(DbPath(), "drop trigger boom;");
    MRecordBase s;
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::ConvertedLegacy) << s.LastError();
    TRecordData r;
    ASSERT_TRUE(s.ReadCase(1, r));
    EXPECT_EQ(r.commentFile, "李四_201012302359");
    EXPECT_EQ(r.comment, "李四的评语");
    ASSERT_TRUE(s.ReadCase(3, r));
    EXPECT_EQ(r.commentFile, "李四_201012302359_0");
    EXPECT_EQ(r.comment, "输入自己的评语：");
    EXPECT_EQ(RtfToPlainText(ReadAll(Comments() + "李四_201012302359.rtf")), "李四的评语");
    EXPECT_FALSE(PathExists(Comments() + "ls_old.rtf"));
}

TEST_F(LegacyTest, FileWithoutLiveRecords) {
    LegacyCase dead{true, "甲", "求财", {2006, 3, 7, 9, 5}, "", "f", 0, 0};
    WriteFile(Home() + "dat/Quadrelle.dat", LegacyRecord(dead));
    MRecordBase s;
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened);
    ASSERT_TRUE(s.SetCategories({"x"}));
    // Converted once: the file is gone, the list holds the defaults.
    EXPECT_FALSE(PathExists(Home() + "dat/Quadrelle.dat"));
    WriteFile(Home() + "dat/Quadrelle.dat", LegacyRecord(dead));
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened);
    std::vector<std::string> cats;
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_EQ(cats.size(), 8u);
    EXPECT_EQ(s.GetLastId(), 0);
}

TEST_F(LegacyTest, ReaderBounds) {
    std::string file(2 * kLegacyRecordSize + 7, '\0');
    file[kLegacyRecordSize + 4] = 1;
    WriteFile(Home() + "dat/Quadrelle.dat", file);
    MDataBase d;
    d.SetFile(Home(), 0);
    EXPECT_EQ(d.FilePath(), Home() + "dat/Quadrelle.dat");
    EXPECT_EQ(d.CountRecords(), 2);
    ASSERT_TRUE(d.OpenForReading());
    uint8_t rec[kLegacyRecordSize];
    EXPECT_TRUE(d.ReadRecord(0, rec));
    EXPECT_FALSE(d.ReadRecord(1, rec));
    EXPECT_FALSE(d.ReadRecord(2, rec));
    EXPECT_FALSE(d.ReadRecord(-1, rec));
}

}  // namespace qd::test
