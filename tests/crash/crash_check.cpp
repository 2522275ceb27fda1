// SPDX-License-Identifier: GPL-3.0-or-later
// Helper of the crash-consistency test.
//   crash_check make HOME N NAME     an application folder with N cases named
//                                    NAME0, NAME1, … and their comment files
//   crash_check check HOME           the case folder after a kill: prints
//                                    "cases N sig S" and fails unless the
//                                    database passes SQLite's integrity check
//                                    and every case has a non-empty comment file
//   crash_check check-backup FOLDER  the same for a backup folder
//   crash_check check-db FILE        the same for a database alone (an export)
// The signature covers what each case holds but not its id, so a compacted
// store has the signature it had before.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/record_base.h"
#include "store/store_files.h"

namespace {

namespace fs = std::filesystem;

int Make(const std::string& home, int n, const std::string& name) {
    fs::create_directories(home + "/dat");
    qd::MRecordBase s;
    if (s.OpenDatabase(home + "/dat/Quadrelle.db", home, false) != qd::TOpenResult::Opened) return 1;
    if (!s.BeginBatch()) return 1;
    for (int i = 0; i < n; ++i) {
        qd::TRecordData r = qd::MakeRecordData();
        r.request.filled = 1;
        qd::WriteGbkField(r.request.name, name + std::to_string(i));
        r.request.year = static_cast<int16_t>(1950 + i % 200);
        r.request.month = static_cast<int16_t>(1 + i % 12);
        r.request.day = static_cast<int16_t>(1 + i % 28);
        qd::WriteGbkField(r.request.question, "问题" + std::to_string(i));
        r.category = i % 3 ? "求财" : "结婚";
        r.commentFile = name + "_" + std::to_string(i);
        r.comment = "评语" + name + std::to_string(i) + std::string(200, 'x');
        if (s.AddCaseInBatch(r) < 0) return 1;
    }
    if (!s.EndBatch()) return 1;
    return s.RebuildCommentFiles() ? 0 : 1;
}

bool IntegrityOk(const std::string& db) {
    sqlite3* h = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, "pragma integrity_check;", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            const auto* t = sqlite3_column_text(st, 0);
            ok = t && std::string(reinterpret_cast<const char*>(t)) == "ok";
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(h);
    if (!ok) std::printf("integrity check failed: %s\n", db.c_str());
    return ok;
}

int Check(const std::string& db, const std::string& home, bool comments) {
    if (!IntegrityOk(db)) return 1;
    qd::MRecordBase s;
    if (s.OpenExisting(db, home, false) != qd::TDatabaseCheck::Usable) {
        std::printf("not a usable case database: %s\n", s.LastError().c_str());
        return 1;
    }
    std::vector<std::string> lines;
    int missing = 0;
    const bool read = qd::ForEachCaseRecord(s, qd::EveryCase(), [&](qd::TRecordData& r) {
                          lines.push_back(qd::CaseNodeText(r) + "|" + r.category + "|" + r.comment);
                          if (comments && qd::FileSize(s.CommentFilePath(r.commentFile)) <= 0) {
                              if (++missing <= 3)
                                  std::printf("no comment file for %s\n", r.commentFile.c_str());
                          }
                          return true;
                      }) == qd::TReadEnd::kComplete;
    if (!read) {
        std::printf("read error: %s\n", s.LastError().c_str());
        return 1;
    }
    std::sort(lines.begin(), lines.end());
    unsigned long long hash = 1469598103934665603ULL;  // FNV-1a
    for (const std::string& l : lines) {
        for (unsigned char c : l + "\n") hash = (hash ^ c) * 1099511628211ULL;
    }
    std::printf("cases %zu sig %016llx\n", lines.size(), hash);
    return missing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 4 && a[0] == "make") return Make(a[1], std::stoi(a[2]), a[3]);
    if (a.size() == 2 && a[0] == "check") return Check(a[1] + "/dat/Quadrelle.db", a[1], true);
    if (a.size() == 2 && a[0] == "check-backup") return Check(a[1] + "/Quadrelle.db", a[1], true);
    if (a.size() == 2 && a[0] == "check-db") return Check(a[1], fs::path(a[1]).parent_path().string(), false);
    std::fprintf(stderr, "usage: crash_check make HOME N NAME | check HOME | check-db FILE\n");
    return 2;
}
