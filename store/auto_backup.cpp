// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/auto_backup.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>
#include <vector>

#include "store/folder_lock.h"
#include "store/record_base.h"
#include "store/store_files.h"

namespace qd {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLastRunFile = "last-run";
constexpr const char* kPartSuffix = ".part~";

using TStamp = std::tuple<int, int, int, int, int, int>;

// The local time a backup folder's name carries; false for other names.
bool StampOf(const std::string& name, TStamp& stamp) {
    int y, mo, d, h, mi, s, end = -1;
    if (std::sscanf(name.c_str(), "澜川霁岚术_备份_%d年%d月%d日%d时%d分%d秒%n", &y, &mo, &d, &h, &mi, &s,
                    &end) != 6 ||
        end != static_cast<int>(name.size()))
        return false;
    stamp = {y, mo, d, h, mi, s};
    return true;
}

struct TBackup {
    TStamp stamp;
    std::string path;  // with "/"
};

// Complete backups, newest first.
std::vector<TBackup> CompleteBackups(const std::string& folder) {
    std::vector<TBackup> found;
    std::error_code ec;
    for (fs::directory_iterator it(U8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        TBackup b;
        std::error_code entryEc;
        if (it->is_symlink(entryEc) || !it->is_directory(entryEc)) continue;
        if (!StampOf(U8String(it->path().filename()), b.stamp)) continue;
        b.path = WithSlash(U8String(it->path()));
        if (IsCompleteBackup(b.path)) found.push_back(b);
    }
    std::sort(found.begin(), found.end(),
              [](const TBackup& a, const TBackup& b) { return a.stamp > b.stamp; });
    return found;
}

std::string Day(const std::tm& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    return buf;
}

// Removes all but the newest `keep` complete backups, and every folder a
// failed or killed run left (its name ends in kPartSuffix, or it lacks
// save.txt and is not the newest).
void Rotate(const std::string& folder, int keep) {
    const std::vector<TBackup> complete = CompleteBackups(folder);
    for (size_t i = static_cast<size_t>(keep); i < complete.size(); ++i) {
        std::error_code ec;
        fs::remove_all(U8Path(complete[i].path), ec);
    }
    std::error_code ec;
    for (fs::directory_iterator it(U8Path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = U8String(it->path().filename());
        TStamp stamp;
        std::error_code entryEc;
        if (it->is_symlink(entryEc) || !it->is_directory(entryEc)) continue;
        const bool part = name.size() > 6 && name.compare(name.size() - 6, 6, kPartSuffix) == 0 &&
                          StampOf(name.substr(0, name.size() - 6), stamp);
        const bool incomplete = StampOf(name, stamp) && !IsCompleteBackup(U8String(it->path()));
        if (part || incomplete) fs::remove_all(it->path(), entryEc);
    }
}

}  // namespace

std::string AutoBackupFolderOf(const std::string& appFolder) { return WithSlash(appFolder) + "backups/"; }

std::string NewestAutoBackup(const std::string& appFolder) {
    const std::vector<TBackup> complete = CompleteBackups(AutoBackupFolderOf(appFolder));
    return complete.empty() ? std::string() : complete.front().path;
}

TAutoBackupResult MRecordBase::AutoBackup(int keep, const std::tm& now, bool force, std::string* written) {
    if (keep <= 0) return TAutoBackupResult::Off;
    const std::string folder = AutoBackupFolderOf(appFolder_);
    if (!MakeFolder(folder)) {
        lastError_ = "无法创建自动备份文件夹！";
        return TAutoBackupResult::Failed;
    }
    const CExclusiveFolderLock runLock(folder);
    if (!runLock.Held()) return TAutoBackupResult::NotDue;
    std::string lastRun;
    ReadWholeFile(folder + kLastRunFile, lastRun);
    if (!force && lastRun == Day(now)) return TAutoBackupResult::NotDue;
    if (CountCases() == 0) return TAutoBackupResult::NotDue;

    // The name without its trailing "/", for the renames.
    std::string target = BackupFolderName(folder, now);
    target.pop_back();
    if (PathExists(target)) return TAutoBackupResult::NotDue;
    const std::string part = target + kPartSuffix;
    std::error_code ec;
    fs::remove_all(U8Path(part), ec);
    bool ok = MakeFolder(part) && BackupTo(part, false);  // BackupTo says why it failed
    if (!PathExists(part)) lastError_ = "无法创建自动备份文件夹！";
    if (ok && !RenameOver(part, target)) {
        lastError_ = "无法创建自动备份文件夹！";
        ok = false;
    }
    if (!ok) {
        fs::remove_all(U8Path(part), ec);
        return TAutoBackupResult::Failed;
    }
    SyncPath(folder);
    WriteFileDurably(folder + kLastRunFile, Day(now));
    Rotate(folder, keep);
    if (written) *written = target + "/";
    return TAutoBackupResult::Written;
}

}  // namespace qd
