// SPDX-License-Identifier: GPL-3.0-or-later
// Restore: a refused or failed restore leaves the old data exactly as it
// was, and a killed one is finished or undone by the next start-up opening.
#include <filesystem>

#include "base/rtf.h"
#include "store/store_files.h"
#include "store_helpers.h"

namespace qd::test {

namespace fs = std::filesystem;

class RestoreTest : public StoreTest {
protected:
    // The live data: two cases. A good backup of three cases in `Good()`.
    void SetUp() override {
        StoreTest::SetUp();
        MRecordBase other;
        fs::create_directories(Home() + "src/dat");
        ASSERT_EQ(other.OpenDatabase(Home() + "src/dat/Quadrelle.db", Home() + "src/", false),
                  TOpenResult::Opened);
        FillStore(other, 3, {"结婚"});
        ASSERT_TRUE(other.BackupTo(Good(), false)) << other.LastError();
        OpenStore(s_);
        FillStore(s_, 2, {"求财"});
    }
    std::string Good() const { return Home() + "good/"; }
    // A copy of the good backup to spoil.
    std::string Spoilt(const std::string& name) {
        const std::string folder = Home() + name + "/";
        fs::copy(Good(), folder, fs::copy_options::recursive);
        return folder;
    }
    // The live database and comment files.
    std::map<std::string, std::string> Live() {
        auto files = Snapshot(Home() + "dat");
        for (const auto& [name, data] : Snapshot(Comments())) files["f/" + name] = data;
        return files;
    }
    MRecordBase s_;
};

TEST_F(RestoreTest, RefusedOrFailedRestoresChangeNothing) {
    struct Case {
        const char* what;
        std::function<std::string()> backup;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"no database", [&] { return Home() + "nothing/"; }, "没有源db文件！"},
        {"no comment folder",
         [&] {
             const std::string f = Spoilt("nofolder");
             fs::remove_all(f + "Quadrelle_f");
             return f;
         },
         "没有源评语文件夹！"},
        {"no comment file",
         [&] {
             const std::string f = Spoilt("norf");
             for (const std::string& n : ListRtfFiles(f + "Quadrelle_f")) RemoveFile(f + "Quadrelle_f/" + n);
             return f;
         },
         "找不到源评语文件！"},
        {"without save.txt",
         [&] {
             const std::string f = Spoilt("incomplete");
             RemoveFile(f + "Quadrelle_f/save.txt");
             return f;
         },
         kIncompleteBackupText},
        {"the database is a folder",
         [&] {
             const std::string f = Spoilt("dbfolder");
             RemoveFile(f + "Quadrelle.db");
             fs::create_directories(f + "Quadrelle.db");
             return f;
         },
         "无法复制db文件！"},
        {"any SQLite file",
         [&] {
             const std::string f = Spoilt("other");
             RemoveFile(f + "Quadrelle.db");
             RawExec(f + "Quadrelle.db", "create table t(x);");
             return f;
         },
         "不是相同的数据库类型，无法还原！"},
        {"another type tag",
         [&] {
             const std::string f = Spoilt("tag");
             RawExec(f + "Quadrelle.db", "update case_extra set baseType='Other';");
             return f;
         },
         "不是相同的数据库类型，无法还原！"},
        {"not a database",
         [&] {
             const std::string f = Spoilt("junk");
             WriteFile(f + "Quadrelle.db", std::string(4096, 'j'));
             return f;
         },
         "不是相同的数据库类型，无法还原！"},
        {"a damaged database",
         [&] {
             const std::string f = Spoilt("damaged");
             DamagePages(f + "Quadrelle.db", 1, 1);
             return f;
         },
         "备份的数据库文件已损坏，无法还原！"},
        {"a comment that cannot be copied in",
         [&] {
             const std::string f = Spoilt("blocked");
             // Something in the way of the staged copy, as a full disk would be.
             fs::create_directories(Comments() + "c1.rtf.restore~");
             return f;
         },
         "无法复制评语文件！"},
    };
    const auto before = Live();
    for (const Case& c : cases) {
        const std::string folder = c.backup();
        EXPECT_FALSE(s_.RestoreFrom(folder, false)) << c.what;
        EXPECT_EQ(s_.LastError(), c.error) << c.what;
        fs::remove_all(Comments() + "c1.rtf.restore~");
        EXPECT_TRUE(Live() == before) << c.what;
    }
    EXPECT_EQ(s_.CountCases(), 2);
}

TEST_F(RestoreTest, ReplacesEverythingAndFillsMissingComments) {
    const std::string folder = Spoilt("partial");
    WriteFile(folder + "Quadrelle_f/c1.rtf", "");  // an empty copy
    RemoveFile(folder + "Quadrelle_f/c2.rtf");
    WriteFile(Comments() + "later.rtf", "{\\rtf1 later}");
    ASSERT_TRUE(s_.RestoreFrom(folder, false)) << s_.LastError();
    EXPECT_EQ(s_.GetLastId(), 3);
    EXPECT_EQ(s_.CountCases(), 3);
    EXPECT_EQ(ListRtfFiles(Comments()), (std::vector<std::string>{"c0.rtf", "c1.rtf", "c2.rtf"}));
    for (int i = 0; i < 3; ++i) {
        std::string data;
        ASSERT_TRUE(ReadWholeFile(Comments() + "c" + std::to_string(i) + ".rtf", data));
        EXPECT_EQ(RtfToPlainText(data), "评语" + std::to_string(i));
    }
    // Nothing staged is left.
    EXPECT_EQ(Snapshot(Home() + "dat").size(), 1u);

    // Without save.txt only when the caller allows it.
    RemoveFile(folder + "Quadrelle_f/save.txt");
    EXPECT_FALSE(IsCompleteBackup(folder));
    EXPECT_TRUE(IsCompleteBackup(Good()));
    EXPECT_TRUE(s_.RestoreFrom(folder, false, true)) << s_.LastError();
}

// A restore killed after its checks (the list of comment files written) is
// finished by the next start-up opening; one killed before is undone.
TEST_F(RestoreTest, StartUpFinishesOrUndoesAKilledRestore) {
    const auto before = Live();
    // Killed while staging: the marker and some staged files.
    WriteFile(DbPath() + ".pending", "restore");
    ASSERT_TRUE(CopyFileOver(Good() + "Quadrelle.db", DbPath() + ".restore~"));
    WriteFile(Comments() + "c2.rtf.restore~", "{\\rtf1 half");
    EXPECT_TRUE(StartupWorkPending(DbPath(), Home()));
    {
        MRecordBase again;
        ASSERT_EQ(again.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened) << again.LastError();
        EXPECT_EQ(again.CountCases(), 2);
    }
    EXPECT_TRUE(Live() == before);
    EXPECT_FALSE(StartupWorkPending(DbPath(), Home()));

    // Killed half-way through putting the staged files in place.
    WriteFile(DbPath() + ".pending", "restore");
    ASSERT_TRUE(CopyFileOver(Good() + "Quadrelle.db", DbPath() + ".restore~"));
    for (const char* n : {"c0.rtf", "c2.rtf"}) {
        ASSERT_TRUE(CopyFileOver(Good() + "Quadrelle_f/" + n, Comments() + n + ".restore~"));
    }
    ASSERT_TRUE(CopyFileOver(Good() + "Quadrelle_f/c1.rtf", Comments() + "c1.rtf"));  // already in place
    WriteFile(DbPath() + ".restore", "c0.rtf\nc1.rtf\nc2.rtf\n");
    MRecordBase again;
    ASSERT_EQ(again.OpenDatabase(DbPath(), Home(), true), TOpenResult::Opened) << again.LastError();
    EXPECT_EQ(again.CountCases(), 3);
    std::vector<std::string> cats;
    ASSERT_TRUE(again.GetCategories(cats));
    EXPECT_EQ(cats.back(), "临时保存");
    auto backup = Snapshot(Good() + "Quadrelle_f");
    backup.erase("save.txt");
    EXPECT_TRUE(Snapshot(Comments()) == backup);
    EXPECT_EQ(Snapshot(Home() + "dat").size(), 1u);
}

}  // namespace qd::test
