// SPDX-License-Identifier: GPL-3.0-or-later
// Backup, restore, delete all, import, export and compaction.
#include <algorithm>
#include <filesystem>

#include "base/rtf.h"
#include "store/store_files.h"
#include "store_helpers.h"

namespace qd::test {

namespace {

std::string ReadAll(const std::string& path) {
    std::string data;
    ReadWholeFile(path, data);
    return data;
}

}  // namespace

class MaintenanceTest : public StoreTest {
protected:
    void Fill(MRecordBase& s, int n, const std::vector<std::string>& cats) { FillStore(s, n, cats); }
    std::vector<std::string> progress_;
    TProgress Progress() {
        return [this](const std::string& t) { progress_.push_back(t); };
    }
};

TEST_F(MaintenanceTest, ExportByCategory) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 6, {"求财", "结婚", "无名类"});
    ASSERT_TRUE(s.DeleteCase(1));
    const std::string out = Home() + "out.db";
    EXPECT_EQ(s.ExportDatabase(out, {"求财"}, false, Progress(), false), 1);
    EXPECT_EQ(progress_.back(), "导出进度：100％");

    MRecordBase e;
    ASSERT_EQ(e.OpenDatabase(out, Home(), false), TOpenResult::Opened);
    EXPECT_EQ(e.GetLastId(), 1);
    std::vector<std::string> cats;
    ASSERT_TRUE(e.GetCategories(cats));
    EXPECT_EQ(cats, std::vector<std::string>{"求财"});
    TRecordData r;
    ASSERT_TRUE(e.ReadCase(1, r));
    EXPECT_EQ(ReadGbkField(r.request.name), "名3");

    // All categories: also those the list lacks; the list becomes those in use.
    const std::string all = Home() + "all.db";
    EXPECT_EQ(s.ExportDatabase(all, {}, true, Progress(), false), 5);
    MRecordBase a;
    ASSERT_EQ(a.OpenDatabase(all, Home(), false), TOpenResult::Opened);
    ASSERT_TRUE(a.GetCategories(cats));
    EXPECT_EQ(cats, (std::vector<std::string>{"结婚", "无名类", "求财"}));
    // An export never adds to an existing file.
    EXPECT_EQ(s.ExportDatabase(all, {}, true, Progress(), false), 0);
    EXPECT_EQ(a.CountCases(), 5);
}

TEST_F(MaintenanceTest, ImportIntoItselfAddsEveryCaseAgain) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 3, {"求财", "自定义"});
    ASSERT_TRUE(s.SetCategories({"开业"}));
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), false), 3) << s.LastError();
    EXPECT_EQ(s.GetLastId(), 6);
    EXPECT_EQ(s.CountCases(), 6);
    EXPECT_EQ(progress_.back(), "导入进度：100％");
    std::vector<std::string> cats;
    ASSERT_TRUE(s.GetCategories(cats));
    EXPECT_EQ(cats, (std::vector<std::string>{"开业", "求财", "自定义"}));

    // The comment files were taken, so the copies got new names.
    TRecordData r;
    ASSERT_TRUE(s.ReadCase(4, r));
    EXPECT_EQ(r.commentFile, "名0_200603070905");
    EXPECT_EQ(RtfToPlainText(ReadAll(Comments() + r.commentFile + ".rtf")), "评语0");
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), false), 6);
    ASSERT_TRUE(s.ReadCase(7, r));
    EXPECT_EQ(r.commentFile, "名0_200603070905_0");
    ASSERT_TRUE(s.ReadCase(10, r));
    EXPECT_EQ(r.commentFile, "名0_200603070905_1");
    EXPECT_FALSE(PathExists(Home() + "dat/Quadrelle_import.tmp"));
}

TEST_F(MaintenanceTest, ImportRefusals) {
    MRecordBase s;
    OpenStore(s);
    EXPECT_EQ(s.ImportDatabase(Home() + "none.db", Progress(), false), 0);
    EXPECT_EQ(s.LastError(), "不存在这个数据库文件，无法导入！");
    WriteFile(Home() + "junk.db", std::string(2048, 'j'));
    EXPECT_EQ(s.ImportDatabase(Home() + "junk.db", Progress(), false), 0);
    EXPECT_EQ(s.LastError(), "无法打开导入的数据库文件！");
    {
        MRecordBase other;
        ASSERT_EQ(other.OpenDatabase(Home() + "other.db", Home(), false), TOpenResult::Opened);
    }
    RawExec(Home() + "other.db", "update case_extra set baseType='Other';");
    EXPECT_EQ(s.ImportDatabase(Home() + "other.db", Progress(), false), 0);
    EXPECT_EQ(s.LastError(), "不是相同的数据库类型，无法导入！");
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), true), 0);
    EXPECT_EQ(s.LastError(), "请等待案例加载完毕！");
}

TEST_F(MaintenanceTest, CompactionRenumbersAndKeepsOrder) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 600, {"求财", "结婚", "阴宅"});
    ASSERT_TRUE(s.BeginBatch());
    for (int id = 2; id <= 600; id += 3) ASSERT_TRUE(s.DeleteCaseInBatch(id));  // 200: all 结婚
    ASSERT_TRUE(s.EndBatch());
    // A leftover from an earlier failure must not be appended to.
    {
        MRecordBase stale;
        ASSERT_EQ(stale.OpenDatabase(Home() + "dat/Quadrelle_back.db", Home(), false), TOpenResult::Opened);
        TRecordData r = Record("旧");
        ASSERT_EQ(stale.AddCase(r), 1);
    }
    EXPECT_EQ(s.CompactDatabase(Progress(), false), 400) << s.LastError();
    EXPECT_EQ(progress_.back(), "整理进度：100％");
    EXPECT_NE(std::find(progress_.begin(), progress_.end(), "整理进度：60％"), progress_.end());
    EXPECT_FALSE(PathExists(Home() + "dat/Quadrelle_back.db"));

    MRecordBase c;
    OpenStore(c);
    EXPECT_EQ(c.GetLastId(), 400);
    EXPECT_EQ(c.CountCases(), 400);
    std::vector<std::string> cats;
    ASSERT_TRUE(c.GetCategories(cats));
    EXPECT_EQ(cats, (std::vector<std::string>{"求财", "阴宅"}));
    TRecordData r;
    ASSERT_TRUE(c.ReadCase(1, r));
    EXPECT_EQ(r.commentFile, "c0");
    ASSERT_TRUE(c.ReadCase(2, r));
    EXPECT_EQ(r.commentFile, "c2");
    ASSERT_TRUE(c.ReadCase(400, r));
    EXPECT_EQ(r.commentFile, "c599");
    EXPECT_FALSE(c.ReadCase(401, r));
}

TEST_F(MaintenanceTest, BackupAndRestore) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 3, {"求财"});
    const std::string backup = Home() + "bk/";
    ASSERT_TRUE(s.BackupTo(backup, false)) << s.LastError();
    EXPECT_TRUE(PathExists(backup + "Quadrelle.db"));
    EXPECT_EQ(ReadAll(backup + "Quadrelle_f/save.txt"), "save\n");
    EXPECT_EQ(ListRtfFiles(backup + "Quadrelle_f").size(), 3u);

    // Changes after the backup; the restore brings back the backup's state
    // and drops comment files the backup lacks.
    TRecordData extra = Record("后来");
    extra.commentFile = "later";
    ASSERT_EQ(s.AddCase(extra), 4);
    WriteFile(Comments() + "later.rtf", "{\\rtf1 later}");
    RemoveFile(backup + "Quadrelle_f/c1.rtf");
    ASSERT_TRUE(s.RestoreFrom(backup, false)) << s.LastError();
    EXPECT_EQ(s.GetLastId(), 3);
    EXPECT_EQ(s.CountCases(), 3);
    EXPECT_FALSE(PathExists(Comments() + "later.rtf"));
    // c1 was missing from the backup and is written again from its text.
    EXPECT_EQ(RtfToPlainText(ReadAll(Comments() + "c1.rtf")), "评语1");
}

TEST_F(MaintenanceTest, BackupMissingACommentIsAFailure) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 3, {"求财"});
    const std::string backup = Home() + "bk_incomplete/";
    // A folder where the copy of c1.rtf must go makes that copy fail.
    std::filesystem::create_directories(backup + "Quadrelle_f/c1.rtf");
    EXPECT_FALSE(s.BackupTo(backup, false));
    EXPECT_EQ(s.LastError(), "有 1 个评语文件无法复制，备份不完整！");
    EXPECT_FALSE(PathExists(backup + "Quadrelle_f/save.txt"));
}

TEST_F(MaintenanceTest, DeleteAllLeavesOtherFiles) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 2, {"求财"});
    WriteFile(Comments() + "note.txt", "x");
    EXPECT_FALSE(s.DeleteAllData(true));
    EXPECT_TRUE(PathExists(DbPath()));
    EXPECT_TRUE(s.DeleteAllData(false));
    EXPECT_FALSE(PathExists(DbPath()));
    EXPECT_TRUE(ListRtfFiles(Comments()).empty());
    EXPECT_TRUE(PathExists(Comments() + "note.txt"));
}

TEST_F(MaintenanceTest, CommandsRefuseDuringLoading) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 1, {"求财"});
    EXPECT_FALSE(s.BackupTo(Home() + "b/", true));
    EXPECT_FALSE(s.RestoreFrom(Home() + "b/", true));
    EXPECT_EQ(s.ExportDatabase(Home() + "e.db", {}, true, Progress(), true), 0);
    EXPECT_EQ(s.CompactDatabase(Progress(), true), 0);
    EXPECT_EQ(s.LastError(), "请等待案例加载完毕！");
    EXPECT_FALSE(PathExists(Home() + "e.db"));
    EXPECT_FALSE(PathExists(Home() + "b"));
}

TEST(MaintenanceNames, FromTheLocalTime) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 4;
    t.tm_mday = 1;
    t.tm_hour = 9;
    t.tm_min = 3;
    t.tm_sec = 7;
    EXPECT_EQ(BackupFolderName("/x", t), "/x/澜川霁岚术_备份_2024年5月1日9时3分7秒/");
    EXPECT_EQ(ExportFileName("/x/", t), "/x/澜川霁岚术_2024年5月1日9时3分7秒.db");
}

}  // namespace qd::test

namespace qd::test {

// A damaged database is found by the check and is not written to again.
TEST_F(MaintenanceTest, DamagedDatabaseRefusesWrites) {
    {
        MRecordBase s;
        OpenStore(s);
        Fill(s, 400, {"求财"});
        ASSERT_TRUE(s.CheckIntegrity());
    }
    DamagePages(DbPath(), 10, 3);
    MRecordBase s;
    OpenStore(s);
    EXPECT_FALSE(s.CheckIntegrity());
    EXPECT_TRUE(s.IsDamaged());
    EXPECT_EQ(s.LastError(), kDamagedText);
    const std::string before = ReadAll(DbPath());
    TRecordData r = Record("新");
    EXPECT_EQ(s.AddCase(r), -1);
    EXPECT_EQ(s.LastError(), kDamagedText);
    EXPECT_FALSE(s.UpdateCase(1, r));
    EXPECT_FALSE(s.DeleteCase(1));
    EXPECT_FALSE(s.SetCategories({"x"}));
    EXPECT_EQ(s.CompactDatabase(Progress(), false), 0);
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), false), 0);
    EXPECT_FALSE(s.BackupTo(Home() + "bk/", false));
    EXPECT_EQ(ReadAll(DbPath()), before);
}

// With the caller's folder lock attached, each command needs its mode.
TEST_F(MaintenanceTest, CommandsNeedTheirLockMode) {
    MRecordBase s;
    OpenStore(s);
    Fill(s, 3, {"求财"});
    ASSERT_TRUE(s.BackupTo(Home() + "bk/", false));
    CCaseFolderLock lock(Home());
    s.UseFolderLock(&lock);
    ASSERT_TRUE(lock.TryLock(TFolderLockMode::Read));
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), false), 0);
    EXPECT_EQ(s.LastError(), kFolderInUseText);
    EXPECT_EQ(s.ExportDatabase(Home() + "e.db", {}, true, Progress(), false), 3);
    ASSERT_TRUE(lock.TryLock(TFolderLockMode::Write));
    EXPECT_EQ(s.ImportDatabase(DbPath(), Progress(), false), 3);
    EXPECT_EQ(s.CompactDatabase(Progress(), false), 0);
    EXPECT_FALSE(s.RestoreFrom(Home() + "bk/", false));
    EXPECT_FALSE(s.DeleteAllData(false));
    EXPECT_EQ(s.LastError(), kFolderInUseText);
    EXPECT_EQ(s.CountCases(), 6);
    ASSERT_TRUE(lock.TryLock(TFolderLockMode::Exclusive));
    EXPECT_TRUE(s.RestoreFrom(Home() + "bk/", false)) << s.LastError();
    EXPECT_EQ(s.CountCases(), 3);
}

}  // namespace qd::test

namespace qd::test {

// An import killed after its commit left its comment files under their
// temporary names: the next start-up opening removes those and writes the
// cases' comment files from their text.
TEST_F(MaintenanceTest, StartUpCleansUpAKilledImport) {
    {
        MRecordBase s;
        OpenStore(s);
        Fill(s, 3, {"求财"});
    }
    WriteFile(DbPath() + ".pending", "import");
    RemoveFile(Comments() + "c2.rtf");
    WriteFile(Comments() + "c2.rtf.import~", "{\\rtf1 half");
    WriteFile(Comments() + "c1.rtf", "");
    EXPECT_TRUE(StartupWorkPending(DbPath(), Home()));
    MRecordBase s;
    ASSERT_EQ(s.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened);
    EXPECT_FALSE(StartupWorkPending(DbPath(), Home()));
    EXPECT_EQ(ListFilesEndingIn(Comments(), ""), (std::vector<std::string>{"c0.rtf", "c1.rtf", "c2.rtf"}));
    EXPECT_EQ(RtfToPlainText(ReadAll(Comments() + "c1.rtf")), "评语1");
    EXPECT_EQ(RtfToPlainText(ReadAll(Comments() + "c2.rtf")), "评语2");
}

}  // namespace qd::test
