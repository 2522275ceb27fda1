// SPDX-License-Identifier: GPL-3.0-or-later
// qdl db: the case store of an application folder.
#include <cstdio>
#include <ctime>
#include <iostream>

#include "cli/command.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/folder_lock.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd::cli {

namespace {

constexpr const char* kUsage =
    "usage: qdl db --home DIR info|list|check|export OUT [--category NAME]...|import FILE|compact|"
    "backup PARENT|backup --auto [--keep N]|restore FOLDER [--incomplete]|search KEYWORD...";

// Automatic backups kept when --keep is not given.
constexpr int kDefaultKeep = 7;

int Refuse(const std::string& message) {
    std::cout << message << '\n';
    return kRefused;
}

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

// Progress texts go to stderr, each once.
TProgress PrintProgress() {
    return [last = std::string()](const std::string& text) mutable {
        if (text == last) return;
        last = text;
        std::cerr << text << '\n';
    };
}

int Info(MRecordBase& s) {
    std::vector<std::string> cats;
    const int count = s.CountCases();
    if (count < 0 || !s.GetCategories(cats)) return Refuse(s.LastError());
    std::cout << "last id: " << s.GetLastId() << '\n' << "cases: " << count << '\n' << "categories:";
    for (const std::string& c : cats) std::cout << ' ' << c;
    std::cout << '\n';
    return kOk;
}

// Every row, also those another program wrote with ids outside 1..last id.
int List(MRecordBase& s) {
    const TReadEnd read = ForEachCaseSummary(s, EveryCase(), [](const TCaseSummary& c) {
        std::cout << c.id << ' ' << CaseNodeText(c) << '\n';
        return true;
    });
    return read == TReadEnd::kComplete ? kOk : Refuse(s.LastError());
}

int Export(MRecordBase& s, const Args& a) {
    if (a.empty()) return BadInput(kUsage);
    std::vector<std::string> cats;
    for (size_t i = 1; i < a.size(); ++i) {
        if (a[i] != "--category" || i + 1 >= a.size()) return BadInput(kUsage);
        cats.push_back(a[++i]);
    }
    // A folder gets the time-stamped name; anything else is the file itself.
    std::string out = a[0];
    if (IsFolder(out)) {
        out = ExportFileName(out, LocalNow());
        if (PathExists(out)) return Refuse("当前时间的数据库文件已经存在，请稍后再导出！");
    } else if (PathExists(out)) {
        return BadInput("'" + out + "' exists already");
    }
    const int n = s.ExportDatabase(out, cats, cats.empty(), PrintProgress(), false);
    if (n <= 0) return Refuse("没有可以导出的案例，或者无法创建导出数据库，导出失败，请重启软件再次试试！");
    std::printf(" %d 个案例文件已经保存到：%s\n", n, out.c_str());
    return kOk;
}

int Import(MRecordBase& s, const Args& a) {
    if (a.size() != 1) return BadInput(kUsage);
    if (!PathExists(a[0])) return Refuse("不存在这个数据库文件，无法导入！");
    const int n = s.ImportDatabase(a[0], PrintProgress(), false);
    if (n <= 0) return Refuse(s.LastError());
    std::printf("共导入 %d 个案例！\n", n);
    return kOk;
}

int Compact(MRecordBase& s) {
    if (s.GetLastId() < 500) return Refuse("案例数据过少，无需整理！");
    const int n = s.CompactDatabase(PrintProgress(), false);
    if (n <= 0) return Refuse(s.LastError());
    std::printf(" %d 个案例已经整理出来！\n", n);
    return kOk;
}

// backup --auto [--keep N]: the rotation of the automatic backups, for a
// daily job; at most one run a day.
int AutoBackup(MRecordBase& s, const Args& a) {
    int keep = kDefaultKeep;
    if (a.size() == 3 && a[1] == "--keep") {
        const auto n = ParseInt(a[2], 0, 1000);
        if (!n) return BadInput(kUsage);
        keep = static_cast<int>(*n);
    } else if (a.size() != 1) {
        return BadInput(kUsage);
    }
    std::string folder;
    switch (s.AutoBackup(keep, LocalNow(), false, &folder)) {
        case TAutoBackupResult::Written:
            std::cout << "成功备份，已保存到" << folder << "目录下\n";
            return kOk;
        case TAutoBackupResult::NotDue:
            std::cout << "今天已经自动备份过，或者没有案例，无需备份。\n";
            return kOk;
        case TAutoBackupResult::Off: std::cout << "自动备份已关闭。\n"; return kOk;
        case TAutoBackupResult::Failed: break;
    }
    return Refuse(s.LastError());
}

int Check(MRecordBase& s) {
    if (!s.CheckIntegrity()) return Refuse(s.LastError());
    std::cout << "ok\n";
    return kOk;
}

int Backup(MRecordBase& s, const Args& a) {
    if (!a.empty() && a[0] == "--auto") return AutoBackup(s, a);
    if (a.size() != 1) return BadInput(kUsage);
    if (!IsFolder(a[0])) return BadInput("no folder '" + a[0] + "'");
    const std::string folder = BackupFolderName(a[0], LocalNow());
    if (PathExists(folder)) return Refuse("当前时间的文件夹已经存在，请稍后再备份！");
    if (!MakeFolder(folder) || !s.BackupTo(folder, false)) return Refuse(s.LastError());
    std::cout << "成功备份，已保存到" << folder << "目录下\n";
    return kOk;
}

int Restore(MRecordBase& s, const Args& a) {
    // An incomplete backup (no save.txt) only when asked for.
    const bool incomplete = a.size() == 2 && a[1] == "--incomplete";
    if (a.size() != 1 && !incomplete) return BadInput(kUsage);
    const std::string folder = WithSlash(a[0]);
    if (!PathExists(folder + kDatabaseFile)) return Refuse("没有要还原的的db数据文件！");
    if (!IsFolder(folder + kCommentFolder)) return Refuse("没有要还原的评语文件夹！");
    if (!s.RestoreFrom(folder, false, incomplete)) return Refuse(s.LastError());
    std::cout << "成功还原，请重新打开软件！\n";
    return kOk;
}

// How much of the case folder each command needs (see store/folder_lock.h).
TFolderLockMode LockModeOf(const std::string& command) {
    if (command == "import") return TFolderLockMode::Write;
    if (command == "compact" || command == "restore") return TFolderLockMode::Exclusive;
    return TFolderLockMode::Read;
}

}  // namespace

int DbSearch(MRecordBase& store, const Args& keywords);  // cmd_db_search.cpp

int RunDb(const Args& args) {
    if (args.size() < 3 || args[0] != "--home") return BadInput(kUsage);
    const std::string home = WithSlash(args[1]);
    if (!IsFolder(home)) return BadInput("no folder '" + args[1] + "'");
    const std::string command = args[2];
    const Args rest(args.begin() + 3, args.end());
    const bool known = command == "info" || command == "list" || command == "check" || command == "export" ||
                       command == "import" || command == "compact" || command == "backup" ||
                       command == "restore" || command == "search";
    if (!known) return BadInput("unknown db command '" + command + "'");

    // The lock comes before anything is opened or created, so that a refused
    // command changes nothing.
    CCaseFolderLock lock(home);
    if (!lock.TryLock(LockModeOf(command))) return Refuse(lock.ErrorText());
    // Opened as at start-up, so a legacy case file is converted and a killed
    // import or restore finished first. That writes: a reading command does
    // it only when it can have the folder for writing, else it just reads.
    const std::string path = home + "dat/" + kDatabaseFile;
    bool startup = lock.Mode() >= TFolderLockMode::Write;
    if (!startup && StartupWorkPending(path, home)) startup = lock.TryLock(TFolderLockMode::Write);

    MakeFolder(home + "dat");
    MRecordBase store;
    store.UseFolderLock(&lock);
    const TOpenResult opened = store.OpenDatabase(path, home, startup);
    if (opened == TOpenResult::Failed) return Refuse(store.LastError());
    if (opened == TOpenResult::ConvertedLegacy) std::cerr << store.LastError() << '\n';

    if (command == "info") return rest.empty() ? Info(store) : BadInput(kUsage);
    if (command == "list") return rest.empty() ? List(store) : BadInput(kUsage);
    if (command == "check") return rest.empty() ? Check(store) : BadInput(kUsage);
    if (command == "export") return Export(store, rest);
    if (command == "import") return Import(store, rest);
    if (command == "compact") return rest.empty() ? Compact(store) : BadInput(kUsage);
    if (command == "backup") return Backup(store, rest);
    if (command == "search") return rest.empty() ? BadInput(kUsage) : DbSearch(store, rest);
    return Restore(store, rest);
}

}  // namespace qd::cli
