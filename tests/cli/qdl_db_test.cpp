// qdl db on a real application folder: the legacy conversion at opening,
// listing, export by category, import, backup and restore.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "run_qdl.h"
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

// Every file under a folder with its content, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        std::string data;
        qd::ReadWholeFile(e.path().string(), data);
        files[fs::relative(e.path(), folder).string()] = data;
    }
    return files;
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
    const auto before = Snapshot(home);
    const std::string inUse = std::string(qd::kFolderInUseText) + "\n";
    const fs::path out = fs::path(testing::TempDir()) / "qdl_db_lock_export.db";
    fs::remove(out);
    {
        qd::CCaseFolderLock window(home.string());
        ASSERT_TRUE(window.TryLock(qd::TFolderLockMode::Write));
        for (const std::string& cmd : std::vector<std::string>{"compact", "import " + source.string(), "restore " + home.string()}) {
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
    EXPECT_EQ(Snapshot(home), before);
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
    qd::test::RawExec(source.string(), "update case_data set remarkFile='../../escaped/deep/evil' where id=1;"
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
