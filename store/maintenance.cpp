// SPDX-License-Identifier: GPL-3.0-or-later
// Backup, delete all, import, export and compaction. Restore and the
// finishing of interrupted work are in restore.cpp.
#include <algorithm>
#include <cstdio>
#include <set>

#include "store/case_format.h"
#include "store/case_rows.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace {

// Suffix of a comment file an import has written but not yet put in place.
constexpr const char* kImportedSuffix = ".import~";

std::string Stamp(const std::tm& t) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日%d时%d分%d秒", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(U8Path(a), U8Path(b), ec) && !ec;
}

}  // namespace

std::string BackupFolderName(const std::string& parent, const std::tm& t) {
    return WithSlash(parent) + "澜川霁岚术_备份_" + Stamp(t) + "/";
}

std::string ExportFileName(const std::string& folder, const std::tm& t) {
    return WithSlash(folder) + "澜川霁岚术_" + Stamp(t) + ".db";
}

bool MRecordBase::Refused(bool loadingRuns, TFolderLockMode need) {
    // A batch of this instance still open means a loop over the store is
    // running on it; the files must not change underneath.
    if (loadingRuns || InBatch()) {
        lastError_ = kLoadingBusyText;
        return true;
    }
    if (lock_ && lock_->Mode() < need) {
        lastError_ = kFolderInUseText;
        return true;
    }
    return false;
}

bool MRecordBase::BackupTo(const std::string& folderIn, bool loadingRuns) {
    if (Refused(loadingRuns, TFolderLockMode::Read)) return false;
    const std::string folder = WithSlash(folderIn);
    MakeFolder(folder);
    // A damaged database would replace a good backup with a bad one.
    if (QuickCheck() != 1) return false;
    // Copied inside a read transaction: a writer beside it cannot change the
    // file until the copy is complete.
    bool copied = BeginBatch() && CountCases() >= 0 && CopyFileChecked(path_, folder + kDatabaseFile);
    copied = EndBatch() && copied;
    if (!copied) {
        lastError_ = "无法复制db文件！";
        return false;
    }
    const std::string target = folder + kCommentFolder + "/";
    if (!MakeFolder(target)) {
        lastError_ = "无法创建目的评语文件夹！";
        return false;
    }
    const std::vector<std::string> files = ListRtfFiles(CommentFolder());
    if (files.empty()) {
        lastError_ = "找不到评语文件！";
        return false;
    }
    // A comment that did not reach the backup makes the backup incomplete:
    // say so instead of passing it over.
    int failed = 0;
    std::vector<std::string> copies{folder + kDatabaseFile};
    for (const std::string& f : files) {
        if (!CopyFileChecked(CommentFolder() + f, target + f)) ++failed;
        copies.push_back(target + f);
    }
    if (failed > 0) {
        lastError_ = "有 " + std::to_string(failed) + " 个评语文件无法复制，备份不完整！";
        return false;
    }
    // save.txt marks the backup complete, so everything else is on the disk
    // before it.
    SyncFiles(copies);
    if (!WriteFileDurably(target + kBackupMarker, "save\n")) {
        lastError_ = "无法创建目的评语文件夹！";
        return false;
    }
    return true;
}

bool MRecordBase::DeleteAllData(bool loadingRuns) {
    if (Refused(loadingRuns, TFolderLockMode::Exclusive)) return false;
    Close();
    RemoveDatabaseFiles(path_);
    const CCommentFolder comments = Comments();
    for (const std::string& f : comments.List(".rtf")) comments.Remove(comments.Path() + f);
    return true;
}

// What differs between the copies of import, export and compaction.
struct MRecordBase::TCopy {
    int lowestId = 1;  // ids below it come after the others
    const char* progressText = "";
    TProgress progress;
    const std::vector<std::string>* only = nullptr;  // categories to copy; all when null
    std::vector<std::string> seen;                   // categories of the added cases, first use first
    // Called after each added case with its new id; false fails the copy
    // (with the reason in the caller's last error).
    std::function<bool(TRecordData&, int newId)> added;
    // Replaces reading the source, for a source that is the target itself.
    const std::vector<TRecordData>* rows = nullptr;
};

// Both sides are in a batch. Answers the number of cases added, or -1 with
// the reason in this store's last error; the caller ends or aborts the
// batches.
int MRecordBase::CopyCases(MRecordBase& source, MRecordBase& target, TCopy& copy) {
    const int total = copy.rows ? static_cast<int>(copy.rows->size()) : source.CountCases();
    if (total < 0) {
        lastError_ = source.lastError_;
        return -1;
    }
    int added = 0;
    int shown = -1;
    bool stepFailed = false;
    const TRecordVisitor step = [&](TRecordData& r) {
        if (copy.only && std::find(copy.only->begin(), copy.only->end(), r.category) == copy.only->end())
            return true;
        const int newId = target.AddCaseInBatch(r);
        if (newId < 0) {
            lastError_ = target.lastError_;
            stepFailed = true;
            return false;
        }
        ++added;
        AppendUnique(copy.seen, r.category);
        if (copy.added && !copy.added(r, newId)) {
            stepFailed = true;
            return false;
        }
        const int percent = total > 0 ? static_cast<int>(static_cast<long long>(added) * 100 / total) : 0;
        if (percent % 10 == 0 && percent != shown) {
            shown = percent;
            if (copy.progress) copy.progress(copy.progressText + std::to_string(percent) + "％");
        }
        return true;
    };
    bool read = true;
    if (copy.rows) {
        for (TRecordData r : *copy.rows) {
            if (!step(r)) break;
        }
    } else {
        read = ForEachCaseRecord(source, EveryCase(copy.lowestId), step) != TReadEnd::kFailed;
    }
    if (stepFailed) return -1;
    if (!read) {
        lastError_ = source.lastError_;
        return -1;
    }
    return added;
}

int MRecordBase::CopyIntoNewDatabase(const std::string& file, TCopy& copy) {
    MRecordBase target;
    if (target.OpenDatabase(file, appFolder_, false) != TOpenResult::Opened) {
        lastError_ = target.LastError();
        return -1;
    }
    int added = -1;
    if (!BeginBatch()) return -1;
    if (target.BeginBatch())
        added = CopyCases(*this, target, copy);
    else
        lastError_ = target.LastError();
    EndBatch();
    // The category list becomes the categories in use.
    if (added >= 0) {
        if (!target.SetCategories(copy.seen) || !target.EndBatch()) {
            lastError_ = target.LastError();
            added = -1;
        }
    }
    target.AbortBatch();
    return added;
}

int MRecordBase::ImportDatabase(const std::string& path, const TProgress& progress, bool loadingRuns) {
    if (Refused(loadingRuns, TFolderLockMode::Write) || !WriteAllowed()) return 0;
    if (!PathExists(path)) {
        lastError_ = "不存在这个数据库文件，无法导入！";
        return 0;
    }
    // Opened for reading only: the chosen file stays as it is.
    MRecordBase source;
    switch (source.OpenExisting(path, appFolder_, true)) {
        case TDatabaseCheck::Usable: break;
        case TDatabaseCheck::Unopenable: lastError_ = "无法打开导入的数据库文件！"; return 0;
        case TDatabaseCheck::NotCaseDatabase: lastError_ = "不是相同的数据库类型，无法导入！"; return 0;
        case TDatabaseCheck::Damaged: lastError_ = "导入的数据库文件已损坏，无法导入！"; return 0;
    }
    if (QuickCheck() != 1) return 0;

    TCopy copy;
    copy.progressText = "导入进度：";
    copy.progress = progress;
    // Importing the database into itself reads it whole first: a reading
    // connection on the file would keep this one from committing.
    std::vector<TRecordData> rows;
    if (SameFile(path, path_)) {
        if (ForEachCaseRecord(source, EveryCase(), [&](TRecordData& r) {
                rows.push_back(r);
                return true;
            }) != TReadEnd::kComplete) {
            lastError_ = source.lastError_;
            return 0;
        }
        copy.rows = &rows;
    }
    if (!GetCategories(copy.seen) || !MarkWorkPending("import")) return 0;

    // Comment files are written under a temporary name and put in place
    // only once the cases are committed, so that a failed or killed import
    // leaves none behind (the next start-up removes a killed one's).
    const CCommentFolder comments = Comments();
    std::set<std::string> claimed;
    std::vector<std::string> written;
    copy.added = [&](TRecordData& r, int newId) {
        std::string target = comments.FileOf(r.commentFile);
        if (target.empty() || PathExists(target) || claimed.count(r.commentFile)) {
            target = MakeCommentFileName(r, r.commentFile, &claimed);
            if (!UpdateCaseInBatch(newId, r)) return false;
        }
        claimed.insert(r.commentFile);
        if (!comments.WriteComment(target + kImportedSuffix, r.comment)) {
            lastError_ = kCommentWriteText;
            return false;
        }
        written.push_back(target);
        return true;
    };
    const int before = lastId_;
    int added = -1;
    if (BeginBatch()) {
        // A source read whole already holds no transaction: one open on the
        // same file would keep this one from committing.
        if (copy.rows || source.BeginBatch())
            added = CopyCases(source, *this, copy);
        else
            lastError_ = source.lastError_;
    }
    source.EndBatch();
    bool ok = added > 0 && SetCategories(copy.seen);
    if (added == 0) lastError_ = "导入的数据库中没有案例！";
    if (ok) {
        ok = EndBatch();
    } else {
        AbortBatch();
    }
    size_t placed = 0;
    while (ok && placed < written.size()) {
        ok = comments.Rename(written[placed] + kImportedSuffix, written[placed]);
        if (ok) ++placed;
    }
    if (!ok) {
        if (placed > 0) {
            // The cases are committed but a comment could not be put in
            // place: take the cases out again with their comments.
            lastError_ = kCommentWriteText;
            BeginBatch();
            for (int id = before + 1; id <= lastId_; ++id) DeleteCaseInBatch(id);
            EndBatch();
            for (size_t i = 0; i < placed; ++i) comments.Remove(written[i]);
        }
        for (size_t i = placed; i < written.size(); ++i) comments.Remove(written[i] + kImportedSuffix);
        lastId_ = std::max(before, ReadLastId());
        RemoveFile(WorkFile(kPendingSuffix));
        return 0;
    }
    RemoveFile(WorkFile(kPendingSuffix));
    return added;
}

int MRecordBase::ExportDatabase(const std::string& path, const std::vector<std::string>& categories,
                                bool allCategories, const TProgress& progress, bool loadingRuns) {
    if (Refused(loadingRuns, TFolderLockMode::Read)) return 0;
    // An export never adds to an existing database.
    if (PathExists(path)) {
        lastError_ = "当前时间的数据库文件已经存在，请稍后再导出！";
        return 0;
    }
    if (QuickCheck() != 1) return 0;
    // Written under a temporary name, so that a failed or killed export
    // leaves no file that looks like an export.
    const std::string part = path + ".part~";
    RemoveDatabaseFiles(part);
    TCopy copy;
    copy.lowestId = 0;
    copy.progressText = "导出进度：";
    copy.progress = progress;
    copy.only = allCategories ? nullptr : &categories;
    const int added = CopyIntoNewDatabase(part, copy);
    bool ok = added > 0;
    if (added == 0) lastError_ = "没有可以导出的案例！";
    if (ok) ok = !PathExists(path) && RenameOver(part, path);
    if (!ok) {
        RemoveDatabaseFiles(part);
        return 0;
    }
    if (progress) progress("导出进度：100％");
    return added;
}

int MRecordBase::CompactDatabase(const TProgress& progress, bool loadingRuns) {
    if (Refused(loadingRuns, TFolderLockMode::Exclusive) || !WriteAllowed()) return 0;
    const std::string back = FolderOf(path_) + kCompactFile;
    // A file left by an earlier failure would be appended to.
    if (!RemoveDatabaseFiles(back)) {
        lastError_ = "无法删除旧的整理文件！";
        return 0;
    }
    if (QuickCheck() != 1 || !MarkWorkPending("compact")) return 0;
    TCopy copy;
    copy.progressText = "整理进度：";
    copy.progress = progress;
    const int added = CopyIntoNewDatabase(back, copy);
    bool ok = added >= 0;
    // Only a complete copy replaces the database, and in one rename, so that
    // the database path always holds every case. The copy gets the
    // database's permissions: a read-only database stays read-only.
    Close();
    if (ok && !(CopyPermissions(path_, back) && ReplaceDatabaseFile(back, path_))) {
        lastError_ = "无法更改文件名！";
        ok = false;
    }
    if (!ok) RemoveDatabaseFiles(back);
    RemoveFile(WorkFile(kPendingSuffix));
    if (!ok) return 0;
    lastId_ = added;
    if (progress) progress("整理进度：100％");
    return added;
}

}  // namespace qd
