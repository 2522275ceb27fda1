// SPDX-License-Identifier: GPL-3.0-or-later
// Automatic backups: once a day, the newest N kept, leftovers removed.
#include <filesystem>

#include "store/auto_backup.h"
#include "store/store_files.h"
#include "store_helpers.h"

namespace qd::test {

namespace fs = std::filesystem;

namespace {

std::tm At(int day, int hour, int second = 0) {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 4;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_sec = second;
    return t;
}

std::vector<std::string> Folders(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.is_directory()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

using AutoBackupTest = StoreTest;

TEST_F(AutoBackupTest, OnceADayKeepingTheNewest) {
    MRecordBase s;
    OpenStore(s);
    EXPECT_EQ(s.AutoBackup(3, At(1, 9)), TAutoBackupResult::NotDue);  // no case yet
    FillStore(s, 2, {"求财"});
    EXPECT_EQ(NewestAutoBackup(Home()), "");
    EXPECT_EQ(s.AutoBackup(0, At(1, 9)), TAutoBackupResult::Off);

    std::string written;
    ASSERT_EQ(s.AutoBackup(3, At(1, 9), false, &written), TAutoBackupResult::Written) << s.LastError();
    EXPECT_EQ(written, Home() + "backups/澜川霁岚术_备份_2024年5月1日9时0分0秒/");
    EXPECT_TRUE(IsCompleteBackup(written));
    EXPECT_EQ(ListRtfFiles(written + "Quadrelle_f").size(), 2u);
    EXPECT_EQ(s.AutoBackup(3, At(1, 18)), TAutoBackupResult::NotDue);
    EXPECT_EQ(s.AutoBackup(3, At(1, 18), true), TAutoBackupResult::Written);

    // Leftovers of a killed run and an incomplete backup go with the rotation.
    fs::create_directories(Home() + "backups/澜川霁岚术_备份_2024年5月2日1时0分0秒.part~/x");
    fs::create_directories(Home() + "backups/澜川霁岚术_备份_2024年4月30日1时0分0秒/Quadrelle_f");
    fs::create_directories(Home() + "backups/mine");
    for (int day = 2; day <= 4; ++day) ASSERT_EQ(s.AutoBackup(3, At(day, 9)), TAutoBackupResult::Written);
    EXPECT_EQ(Folders(Home() + "backups"),
              (std::vector<std::string>{"mine", "澜川霁岚术_备份_2024年5月2日9时0分0秒",
                                        "澜川霁岚术_备份_2024年5月3日9时0分0秒",
                                        "澜川霁岚术_备份_2024年5月4日9时0分0秒"}));
    EXPECT_EQ(NewestAutoBackup(Home()), Home() + "backups/澜川霁岚术_备份_2024年5月4日9时0分0秒/");

    // A failed run (a damaged database) keeps the backups there are.
    DamagePages(DbPath(), 1, 1);
    MRecordBase damaged;
    OpenStore(damaged);
    EXPECT_EQ(damaged.AutoBackup(3, At(5, 9)), TAutoBackupResult::Failed);
    EXPECT_EQ(damaged.LastError(), kDamagedText);
    EXPECT_EQ(Folders(Home() + "backups").size(), 4u);
    EXPECT_EQ(NewestAutoBackup(Home()), Home() + "backups/澜川霁岚术_备份_2024年5月4日9时0分0秒/");
}

}  // namespace qd::test
