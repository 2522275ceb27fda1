// SPDX-License-Identifier: GPL-3.0-or-later
// qdl db on a real application folder: the legacy conversion at opening,
// listing, export by category, import, backup and restore.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "run_qdl.h"
#include "store/auto_backup.h"
#include "store/folder_lock.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "tests/store/store_helpers.h"

namespace {

namespace fs = std::filesystem;
using qd::test::RunQdl;

// One 152-byte record of the earlier edition's case file.
std::string LegacyRecord(bool deleted, const char* name, const char* category, const char* file) {
    std::string rec(152, '\0');
    auto put = [&](size_t at, size_t width, const char* utf8) {
        const std::string gbk = qd::Utf8ToGbk(utf8);
        std::memcpy(&rec[at], gbk.data(), std::min(gbk.size(), width - 1));
    };
    rec[4] = deleted ? 1 : 0;
    put(5, 11, name);
    put(16, 14, category);
    const int16_t date[5] = {2004, 6, 15, 0, 30};
    std::memcpy(&rec[30], date, sizeof date);
    put(68, 51, "北京市东城区");
    put(119, 30, file);
    rec[150] = 7;
    return rec;
}

fs::path FreshHome(const char* name) {
    const fs::path home = fs::path(testing::TempDir()) / name;
    fs::remove_all(home);
    fs::create_directories(home / "dat");
    return home;
}

int Lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// An application folder holding `n` cases, each with its comment file.
fs::path HomeWithCases(const char* name, int n) {
    const fs::path home = FreshHome(name);
    qd::MRecordBase s;
    EXPECT_EQ(s.OpenDatabase((home / "dat" / "Quadrelle.db").string(), home.string(), false),
              qd::TOpenResult::Opened);
    EXPECT_TRUE(s.BeginBatch());
    for (int i = 0; i < n; ++i) {
        qd::TRecordData r = qd::MakeRecordData();
        r.request.filled = 1;
        qd::WriteGbkField(r.request.name, "例" + std::to_string(i));
        r.request.year = 2006;
        r.request.month = 3;
        r.request.day = 7;
        r.commentFile = "c" + std::to_string(i);
        r.comment = "评语" + std::to_string(i);
        EXPECT_GT(s.AddCaseInBatch(r), 0);
    }
    EXPECT_TRUE(s.EndBatch());
    EXPECT_TRUE(s.RebuildCommentFiles());
    return home;
}

TEST(QdlDb, ConvertsListsExportsImportsBacksUpAndRestores) {
    const fs::path home = FreshHome("qdl_db_home");
    {
        std::ofstream legacy(home / "dat" / "Quadrelle.dat", std::ios::binary);
        legacy << LegacyRecord(false, "张三", "求财", "a1") << LegacyRecord(true, "李四", "求财", "a2")
               << LegacyRecord(false, "王五", "结婚", "a3");
    }
    const std::string db = "db --home " + home.string() + " ";

    auto info = RunQdl(db + "info");
    ASSERT_EQ(info.status, 0) << info.out << info.err;
    EXPECT_NE(info.err.find("已经把旧版数据库转换到新版，共转换 2 个案例！"), std::string::npos) << info.err;
    EXPECT_NE(info.out.find("cases: 2\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("categories: 求财 结婚"), std::string::npos) << info.out;
    EXPECT_FALSE(fs::exists(home / "dat" / "Quadrelle.dat"));

    auto list = RunQdl(db + "list");
    ASSERT_EQ(list.status, 0);
    EXPECT_EQ(Lines(list.out), 2) << list.out;
    EXPECT_EQ(list.out.rfind("1 ", 0), 0u) << list.out;
    EXPECT_NE(list.out.find("张三"), std::string::npos) << list.out;

    const fs::path out = fs::path(testing::TempDir()) / "qdl_db_export.db";
    fs::remove(out);
    auto exported = RunQdl(db + "export " + out.string() + " --category 求财");
    ASSERT_EQ(exported.status, 0) << exported.out << exported.err;
    ASSERT_TRUE(fs::exists(out));

    const fs::path other = FreshHome("qdl_db_other");
    auto imported = RunQdl("db --home " + other.string() + " import " + out.string());
    ASSERT_EQ(imported.status, 0) << imported.out << imported.err;
    EXPECT_NE(imported.out.find("共导入 1 个案例！"), std::string::npos) << imported.out;

    const fs::path parent = fs::path(testing::TempDir()) / "qdl_db_backups";
    fs::remove_all(parent);
    fs::create_directories(parent);
    auto backup = RunQdl(db + "backup " + parent.string());
    ASSERT_EQ(backup.status, 0) << backup.out << backup.err;
    ASSERT_EQ(std::distance(fs::directory_iterator(parent), fs::directory_iterator()), 1);
    const fs::path folder = fs::directory_iterator(parent)->path();

    auto restored = RunQdl("db --home " + other.string() + " restore " + folder.string());
    ASSERT_EQ(restored.status, 0) << restored.out << restored.err;
    auto after = RunQdl("db --home " + other.string() + " info");
    EXPECT_NE(after.out.find("cases: 2\n"), std::string::npos) << after.out;
}

TEST(QdlDb, RefusesWhatItCannotDo) {
    const fs::path home = FreshHome("qdl_db_refusals");
    const std::string db = "db --home " + home.string() + " ";
    EXPECT_EQ(RunQdl(db + "compact").status, 1);  // fewer than 500 ids
    EXPECT_EQ(RunQdl(db + "import " + (home / "none.db").string()).status, 1);
    EXPECT_EQ(RunQdl(db + "nosuch").status, 2);
    EXPECT_EQ(RunQdl("db info").status, 2);
}

}  // namespace

namespace {

// The desktop program holds the folder for writing all its run; a command
// that replaces or renumbers the cases must not run beside it or beside
// another writer, and a refused command changes nothing.
TEST(QdlDb, OneWriterPerCaseFolder) {
    const fs::path home = HomeWithCases("qdl_db_lock", 3);
    const fs::path source = HomeWithCases("qdl_db_lock_source", 2) / "dat" / "Quadrelle.db";
    const std::string db = "db --home " + home.string() + " ";
    const auto before = qd::test::Snapshot(home);
    const std::string inUse = std::string(qd::kFolderInUseText) + "\n";
    const fs::path out = fs::path(testing::TempDir()) / "qdl_db_lock_export.db";
    fs::remove(out);
    {
        qd::CCaseFolderLock window(home.string());
        ASSERT_TRUE(window.TryLock(qd::TFolderLockMode::Write));
        for (const std::string& cmd :
             std::vector<std::string>{"compact", "import " + source.string(), "restore " + home.string()}) {
            const auto r = RunQdl(db + cmd);
            EXPECT_EQ(r.status, 1) << cmd;
            EXPECT_EQ(r.out, inUse) << cmd;
        }
        // Readers share the folder with the writer.
        EXPECT_EQ(RunQdl(db + "info").status, 0);
        EXPECT_EQ(RunQdl(db + "export " + out.string()).status, 0);
    }
    {
        qd::CCaseFolderLock compaction(home.string());
        ASSERT_TRUE(compaction.TryLock(qd::TFolderLockMode::Exclusive));
        for (const std::string& cmd : std::vector<std::string>{"info", "import " + source.string()}) {
            const auto r = RunQdl(db + cmd);
            EXPECT_EQ(r.status, 1) << cmd;
            EXPECT_EQ(r.out, inUse) << cmd;
        }
    }
    EXPECT_TRUE(qd::test::Snapshot(home) == before);
    // Free again: the import goes through.
    EXPECT_EQ(RunQdl(db + "import " + source.string()).out, "共导入 2 个案例！\n");
}

}  // namespace

namespace {

// Entries of a folder (not recursive), to see what appeared beside it.
std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Comment file names and case names from an imported database or a legacy
// record must not create, rename or delete anything outside Quadrelle_f/.
TEST(QdlDb, CommentFileNamesStayInTheCommentFolder) {
    const fs::path root = FreshHome("qdl_db_escape");
    fs::remove_all(root / "dat");
    const fs::path home = root / "home";
    fs::create_directories(home / "dat");
    const std::string db = "db --home " + home.string() + " ";

    // A legacy record whose comment file climbs out, with a name that must be
    // cleaned (which used to delete the old comment file).
    {
        std::ofstream legacy(home / "dat" / "Quadrelle.dat", std::ios::binary);
        legacy << LegacyRecord(false, "张/三", "求财", "../victim");
    }
    std::ofstream(root / "home" / "victim.rtf") << "{\\rtf1 keep}";
    ASSERT_EQ(RunQdl(db + "info").status, 0);
    EXPECT_TRUE(fs::exists(home / "victim.rtf"));

    // An imported database naming a comment file outside, and a case whose
    // name holds "../" and whose comment file name is taken.
    const fs::path source = HomeWithCases("qdl_db_escape_source", 2) / "dat" / "Quadrelle.db";
    qd::test::RawExec(source.string(),
                      "update case_data set remarkFile='../../escaped/deep/evil' where id=1;"
                      "update case_data set name='../坏', remarkFile='taken' where id=2;");
    std::ofstream(home / "Quadrelle_f" / "taken.rtf") << "{\\rtf1 taken}";
    const auto rootBefore = Entries(root);
    const auto homeBefore = Entries(home);
    const auto r = RunQdl(db + "import " + source.string());
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(Entries(root), rootBefore);
    EXPECT_EQ(Entries(home), homeBefore);

    // Every case has its comment file inside the folder.
    qd::MRecordBase s;
    ASSERT_EQ(s.OpenDatabase((home / "dat" / "Quadrelle.db").string(), home.string(), false),
              qd::TOpenResult::Opened);
    for (int id = 1; id <= s.GetLastId(); ++id) {
        qd::TRecordData c;
        ASSERT_TRUE(s.ReadCase(id, c));
        EXPECT_TRUE(fs::is_regular_file(s.CommentFilePath(c.commentFile))) << c.commentFile;
    }
}

}  // namespace

namespace {

std::string Db(const fs::path& home) { return "db --home " + home.string() + " "; }

int CaseCount(const fs::path& home) {
    qd::MRecordBase s;
    if (s.OpenExisting((home / "dat" / "Quadrelle.db").string(), home.string(), false) !=
        qd::TDatabaseCheck::Usable)
        return -1;
    return s.CountCases();
}

// A backup that is not a case database, or whose comments cannot all be
// copied in, is refused and leaves the data exactly as it was; an empty
// comment file in a backup is written again from the case's text.
TEST(QdlDb, RestoreChecksBeforeItReplaces) {
    const fs::path home = HomeWithCases("qdl_db_restore", 5);
    const fs::path parent = fs::path(testing::TempDir()) / "qdl_db_restore_backups";
    fs::remove_all(parent);
    fs::create_directories(parent);
    ASSERT_EQ(RunQdl(Db(HomeWithCases("qdl_db_restore_src", 3)) + "backup " + parent.string()).status, 0);
    const fs::path good = fs::directory_iterator(parent)->path();
    const auto before = qd::test::Snapshot(home);

    const fs::path other = parent / "other";
    fs::copy(good, other, fs::copy_options::recursive);
    fs::remove(other / "Quadrelle.db");
    qd::test::RawExec((other / "Quadrelle.db").string(), "create table t(x); insert into t values (1);");
    auto r = RunQdl(Db(home) + "restore " + other.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "不是相同的数据库类型，无法还原！\n");
    EXPECT_TRUE(qd::test::Snapshot(home) == before);

    // A comment file that cannot be put in place.
    fs::remove(home / "Quadrelle_f" / "c1.rtf");
    fs::create_directories(home / "Quadrelle_f" / "c1.rtf" / "x");
    const auto blocked = qd::test::Snapshot(home);
    r = RunQdl(Db(home) + "restore " + good.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "无法复制评语文件！\n");
    EXPECT_TRUE(qd::test::Snapshot(home) == blocked);
    fs::remove_all(home / "Quadrelle_f" / "c1.rtf");

    // An empty comment file in the backup, and no save.txt.
    std::ofstream(good / "Quadrelle_f" / "c1.rtf", std::ios::trunc).close();
    fs::remove(good / "Quadrelle_f" / "save.txt");
    r = RunQdl(Db(home) + "restore " + good.string());
    EXPECT_EQ(r.out, std::string(qd::kIncompleteBackupText) + "\n");
    r = RunQdl(Db(home) + "restore " + good.string() + " --incomplete");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(CaseCount(home), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(fs::file_size(home / "Quadrelle_f" / ("c" + std::to_string(i) + ".rtf")), 0u) << i;
}

// Rows another program wrote with ids outside 1..primaryId are listed,
// carried by compaction (after the others, with fresh ids) and counted.
TEST(QdlDb, CompactionAndListCarryEveryRow) {
    const fs::path home = HomeWithCases("qdl_db_odd_ids", 605);
    const std::string db = (home / "dat" / "Quadrelle.db").string();
    qd::test::RawExec(db,
                      "insert into case_data select 0, name, sex, className, dateY, dateNum, dateStyle,"
                      " addrInd, addrName, addrNum, remarkFile, tag1, tag2, '零', keStyle, otherKe,"
                      " masterDate, remarkText from case_data where id=1;"
                      "insert into case_data select -5, name, sex, className, dateY, dateNum, dateStyle,"
                      " addrInd, addrName, addrNum, remarkFile, tag1, tag2, '负', keStyle, otherKe,"
                      " masterDate, remarkText from case_data where id=1;"
                      "insert into case_data select 5000, name, sex, className, dateY, dateNum, dateStyle,"
                      " addrInd, addrName, addrNum, remarkFile, tag1, tag2, '大', keStyle, otherKe,"
                      " masterDate, remarkText from case_data where id=1;");
    chmod(db.c_str(), 0444);
    auto list = RunQdl(Db(home) + "list");
    EXPECT_EQ(Lines(list.out), 608);
    auto r = RunQdl(Db(home) + "compact");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, " 608 个案例已经整理出来！\n");
    EXPECT_EQ(CaseCount(home), 608);
    // A read-only database stays read-only.
    EXPECT_EQ(fs::status(db).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    list = RunQdl(Db(home) + "list");
    ASSERT_EQ(Lines(list.out), 608);
    // The odd rows come last, in id order.
    EXPECT_NE(list.out.find("606 "), std::string::npos);
    const size_t at = list.out.find("\n606 ");
    ASSERT_NE(at, std::string::npos) << list.out.substr(list.out.size() - 300);
    const std::string tail = list.out.substr(at);
    EXPECT_LT(tail.find("负"), tail.find("零"));
    EXPECT_LT(tail.find("零"), tail.find("大"));
}

// A damaged database is neither exported nor imported in part.
TEST(QdlDb, DamagedDatabasesAreNotCopiedInPart) {
    const fs::path home = HomeWithCases("qdl_db_damaged", 2000);
    const std::string db = (home / "dat" / "Quadrelle.db").string();
    qd::test::DamagePages(db, 30, 3);
    const fs::path out = fs::path(testing::TempDir()) / "qdl_db_damaged_export.db";
    fs::remove(out);
    auto r = RunQdl(Db(home) + "export " + out.string());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_FALSE(fs::exists(out));

    const fs::path other = HomeWithCases("qdl_db_damaged_target", 2);
    const auto before = qd::test::Snapshot(other);
    r = RunQdl(Db(other) + "import " + db);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out, "导入的数据库文件已损坏，无法导入！\n");
    EXPECT_TRUE(qd::test::Snapshot(other) == before);
}

// An import that cannot write a comment file, or whose cases the database
// refuses half-way, adds no case and leaves no comment file behind.
TEST(QdlDb, FailedImportsLeaveNothingBehind) {
    const fs::path source = HomeWithCases("qdl_db_import_src", 3) / "dat" / "Quadrelle.db";
    qd::test::RawExec(source.string(), "update case_data set name='炸' where id=3;");

    // The database refuses the third case (as a full disk would).
    const fs::path home = HomeWithCases("qdl_db_import_refused", 2);
    qd::test::AddRollbackTrigger((home / "dat" / "Quadrelle.db").string());
    auto before = qd::test::Snapshot(home);
    auto r = RunQdl(Db(home) + "import " + source.string());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(qd::test::Snapshot(home) == before);

    // No comment file can be written.
    const fs::path blocked = HomeWithCases("qdl_db_import_blocked", 0);
    fs::remove_all(blocked / "Quadrelle_f");
    std::ofstream(blocked / "Quadrelle_f") << "not a folder";
    before = qd::test::Snapshot(blocked);
    r = RunQdl(Db(blocked) + "import " + source.string());
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out, std::string(qd::kCommentWriteText) + "\n");
    EXPECT_TRUE(qd::test::Snapshot(blocked) == before);

    // Nothing in dat/ is needed beside the database: no temporary copy.
    const fs::path fine = HomeWithCases("qdl_db_import_fine", 1);
    fs::create_directories(fine / "dat" / "Quadrelle_import.tmp" / "x");
    r = RunQdl(Db(fine) + "import " + source.string());
    EXPECT_EQ(r.out, "共导入 3 个案例！\n");
}

}  // namespace

namespace {

TEST(QdlDb, CheckAndDailyAutomaticBackup) {
    const fs::path home = HomeWithCases("qdl_db_auto", 3);
    auto r = RunQdl(Db(home) + "check");
    EXPECT_EQ(r.out, "ok\n");
    r = RunQdl(Db(home) + "backup --auto --keep 2");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.rfind("成功备份，已保存到" + (home / "backups").string() + "/澜川霁岚术_备份_", 0), 0u)
        << r.out;
    EXPECT_FALSE(qd::NewestAutoBackup(home.string()).empty());
    r = RunQdl(Db(home) + "backup --auto --keep 2");
    EXPECT_EQ(r.out, "今天已经自动备份过，或者没有案例，无需备份。\n");
    EXPECT_EQ(RunQdl(Db(home) + "backup --auto --keep x").status, 2);

    qd::test::DamagePages((home / "dat" / "Quadrelle.db").string(), 1, 1);
    r = RunQdl(Db(home) + "check");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, std::string(qd::kDamagedText) + "\n");
}

}  // namespace
