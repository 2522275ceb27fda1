// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the store tests: a temporary application folder and
// records to store.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "engine/request.h"
#include "store/record_base.h"

namespace qd::test {

// An application folder with dat/ and Quadrelle_f/, removed afterwards.
class StoreTest : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        home_ = std::filesystem::temp_directory_path() /
                ("qd_store_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_ / "dat");
        std::filesystem::create_directories(home_ / "Quadrelle_f");
    }
    void TearDown() override { std::filesystem::remove_all(home_); }

    std::string Home() const { return home_.string() + "/"; }
    std::string DbPath() const { return Home() + "dat/Quadrelle.db"; }
    std::string Comments() const { return Home() + "Quadrelle_f/"; }

    // Opens the default database of the folder, failing the test otherwise.
    void OpenStore(MRecordBase& s, bool legacy = false) {
        ASSERT_NE(s.OpenDatabase(DbPath(), Home(), legacy), TOpenResult::Failed) << s.LastError();
    }

    std::filesystem::path home_;
};

inline TRecordData Record(const std::string& name, int year = 2006, int month = 3, int day = 7, int hour = 9,
                          int minute = 5) {
    TRecordData r = MakeRecordData();
    r.request.filled = 1;
    WriteGbkField(r.request.name, name);
    r.request.year = static_cast<int16_t>(year);
    r.request.month = static_cast<int16_t>(month);
    r.request.day = static_cast<int16_t>(day);
    r.request.hour = static_cast<int16_t>(hour);
    r.request.minute = static_cast<int16_t>(minute);
    r.request.longitude = 116.4f;
    r.request.latitude = 39.9f;
    WriteGbkField(r.request.place, "北京北京");
    WriteGbkField(r.request.question, "问财运");
    r.category = "求财";
    r.comment = "好";
    r.commentFile = name + "_200603070905";
    return r;
}

inline void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

// Runs one statement with plain sqlite3 calls.
inline void RawExec(const std::string& db, const std::string& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
        << (err ? err : "") << " in " << sql;
    sqlite3_free(err);
    sqlite3_close(h);
}

// A trigger that makes SQLite roll back the whole transaction when a case
// named 炸 is inserted, as a full disk or an I/O error does.
inline void AddRollbackTrigger(const std::string& db) {
    RawExec(db,
            "create trigger boom before insert on case_data when new.name='炸' "
            "begin select raise(rollback, 'boom'); end;");
}

// Cases 1..n with categories cycling through `cats`, comment files c0.rtf,
// c1.rtf, … holding 评语0, 评语1, …
inline void FillStore(MRecordBase& s, int n, const std::vector<std::string>& cats) {
    ASSERT_TRUE(s.BeginBatch());
    for (int i = 0; i < n; ++i) {
        TRecordData r = Record("名" + std::to_string(i));
        r.category = cats[i % cats.size()];
        r.commentFile = "c" + std::to_string(i);
        r.comment = "评语" + std::to_string(i);
        ASSERT_GT(s.AddCaseInBatch(r), 0);
    }
    ASSERT_TRUE(s.EndBatch());
    ASSERT_TRUE(s.RebuildCommentFiles());
}

// Every file under a folder with its content, to see that nothing changed.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        if (!e.is_regular_file()) continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[std::filesystem::relative(e.path(), folder).string()] =
            std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// Overwrites `count` pages of an SQLite file from page `first` (counted
// from 0) with a pattern, as a failing disk would.
inline void DamagePages(const std::string& db, int first, int count, int pageSize = 4096) {
    std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(first) * pageSize);
    const std::string junk(static_cast<size_t>(count) * pageSize, '\x5a');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

}  // namespace qd::test
