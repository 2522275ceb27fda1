// Backup, restore, delete all, import, export and compaction.
#include <algorithm>
#include <cstdio>

#include "store/case_format.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace {

std::string Stamp(const std::tm& t) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日%d时%d分%d秒", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

}  // namespace

std::string BackupFolderName(const std::string& parent, const std::tm& t) {
    return WithSlash(parent) + "澜川霁岚术_备份_" + Stamp(t) + "/";
}

std::string ExportFileName(const std::string& folder, const std::tm& t) {
    return WithSlash(folder) + "澜川霁岚术_" + Stamp(t) + ".db";
}

bool MRecordBase::Refused(bool loadingRuns) {
    // A batch of this instance still open means a loop over the store is
    // running on it; the files must not change underneath.
    if (loadingRuns || InBatch()) {
        lastError_ = kLoadingBusyText;
        return true;
    }
    return false;
}

bool MRecordBase::BackupTo(const std::string& folderIn, bool loadingRuns) {
    if (Refused(loadingRuns)) return false;
    const std::string folder = WithSlash(folderIn);
    MakeFolder(folder);
    if (!CopyFileOver(path_, folder + kDatabaseFile)) {
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
    for (const std::string& f : files) {
        if (!CopyFileOver(CommentFolder() + f, target + f)) ++failed;
    }
    if (failed > 0) {
        lastError_ = "有 " + std::to_string(failed) + " 个评语文件无法复制，备份不完整！";
        return false;
    }
    if (!WriteWholeFile(target + kBackupMarker, "save\n")) {
        lastError_ = "无法创建目的评语文件夹！";
        return false;
    }
    return true;
}

bool MRecordBase::RestoreFrom(const std::string& folderIn, bool loadingRuns) {
    if (Refused(loadingRuns)) return false;
    const std::string folder = WithSlash(folderIn);
    const std::string sourceDb = folder + kDatabaseFile;
    if (!PathExists(sourceDb)) {
        lastError_ = "没有源db文件！";
        return false;
    }
    // Every check comes before the first change, so that a refused restore
    // leaves the current database and comment files as they are.
    const std::string sourceComments = folder + kCommentFolder + "/";
    if (!IsFolder(sourceComments)) {
        lastError_ = "没有源评语文件夹！";
        return false;
    }
    const std::vector<std::string> files = ListRtfFiles(sourceComments);
    if (files.empty()) {
        lastError_ = "找不到源评语文件！";
        return false;
    }
    // The copy goes to a name beside the database first; only a complete copy
    // that opens as a case database replaces the database, in one rename.
    const std::string staged = path_ + ".restore";
    bool usable = CopyFileOver(sourceDb, staged);
    if (usable) {
        MRecordBase check;
        usable = check.OpenDatabase(staged, appFolder_, false) == TOpenResult::Opened;
    }
    if (!usable || !RenameOver(staged, path_)) {
        RemoveFile(staged);
        lastError_ = "无法复制db文件！";
        return false;
    }
    // The comment files of the previous database go; the backup's come in.
    const std::string comments = CommentFolder();
    for (const std::string& f : ListRtfFiles(comments)) {
        if (!std::binary_search(files.begin(), files.end(), f)) Comments().Remove(comments + f);
    }
    for (const std::string& f : files) Comments().CopyIn(sourceComments + f, comments + f);
    const int id = ReadLastId();
    if (id >= 0) lastId_ = id;
    RebuildCommentFiles();
    return true;
}

bool MRecordBase::DeleteAllData(bool loadingRuns) {
    if (Refused(loadingRuns)) return false;
    RemoveFile(path_);
    const std::string comments = CommentFolder();
    for (const std::string& f : ListRtfFiles(comments)) Comments().Remove(comments + f);
    return true;
}

int MRecordBase::CopyCases(MRecordBase& source, MRecordBase& target, int firstId,
                           const char* progressText, const TProgress& progress,
                           const std::vector<std::string>* onlyCategories,
                           std::vector<std::string>& seen, bool writeComments, bool& complete) {
    complete = source.BeginBatch() && target.BeginBatch();
    if (!complete) {
        lastError_ = source.db_ ? target.lastError_ : source.lastError_;
        source.EndBatch();
        target.EndBatch();
        return 0;
    }
    const int last = source.GetLastId();
    int added = 0;
    int shown = -1;
    for (int id = firstId; id <= last; ++id) {
        TRecordData r;
        const int read = source.ReadCaseOn(id, r);
        if (read == 0) continue;
        if (read < 0) {
            complete = false;
            lastError_ = source.lastError_;
            continue;
        }
        if (onlyCategories &&
            std::find(onlyCategories->begin(), onlyCategories->end(), r.category) ==
                onlyCategories->end())
            continue;
        const int newId = target.AddCaseInBatch(r);
        if (newId < 0) {
            complete = false;
            lastError_ = target.lastError_;
        } else {
            ++added;
            AppendUnique(seen, r.category);
            if (writeComments) {
                std::string path = target.CommentFilePath(r.commentFile);
                if (PathExists(path)) {
                    std::string base;
                    path = target.MakeCommentFileName(r, base);
                    r.commentFile = base;
                    target.UpdateCaseInBatch(newId, r);
                }
                target.Comments().WriteComment(path, r.comment);
            }
        }
        const int percent = last > 0 ? static_cast<int>(static_cast<long long>(added) * 100 / last) : 0;
        if (percent % 10 == 0 && percent != shown) {
            shown = percent;
            if (progress) progress(progressText + std::to_string(percent) + "％");
        }
    }
    source.EndBatch();
    if (!target.EndBatch()) {
        // Nothing of the batch reached the file.
        lastError_ = target.lastError_;
        complete = false;
        added = 0;
    }
    return added;
}

int MRecordBase::ImportDatabase(const std::string& path, const TProgress& progress,
                                bool loadingRuns) {
    if (Refused(loadingRuns)) return 0;
    if (!PathExists(path)) {
        lastError_ = "不存在这个数据库文件，无法导入！";
        return 0;
    }
    // Read a copy: the chosen file stays untouched (opening adds missing
    // tables), and importing the open database into itself reads a snapshot
    // instead of a file this instance is writing.
    const std::string copy = FolderOf(path_) + "Quadrelle_import.tmp";
    RemoveFile(copy);
    int added = 0;
    {
        MRecordBase source;
        if (!CopyFileOver(path, copy) || source.OpenDatabase(copy, appFolder_, false) != TOpenResult::Opened) {
            lastError_ = "无法打开导入的数据库文件！";
        } else if (!source.IsDatabaseType(kDatabaseType)) {
            lastError_ = "不是相同的数据库类型，无法导入！";
        } else {
            std::vector<std::string> seen;
            GetCategories(seen);
            bool complete;
            added = CopyCases(source, *this, 1, "导入进度：", progress, nullptr, seen, true, complete);
            if (added > 0) SetCategories(seen);
        }
    }
    RemoveFile(copy);
    return added;
}

int MRecordBase::ExportDatabase(const std::string& path, const std::vector<std::string>& categories,
                                bool allCategories, const TProgress& progress, bool loadingRuns) {
    if (Refused(loadingRuns)) return 0;
    // An export never adds to an existing database.
    if (PathExists(path)) {
        lastError_ = "当前时间的数据库文件已经存在，请稍后再导出！";
        return 0;
    }
    MRecordBase target;
    if (target.OpenDatabase(path, appFolder_, false) != TOpenResult::Opened) {
        lastError_ = target.LastError();
        return 0;
    }
    std::vector<std::string> seen;
    bool complete;
    const int added = CopyCases(*this, target, 0, "导出进度：", progress,
                                allCategories ? nullptr : &categories, seen, false, complete);
    if (added > 0) {
        target.SetCategories(seen);
        if (progress) progress("导出进度：100％");
    }
    return added;
}

int MRecordBase::CompactDatabase(const TProgress& progress, bool loadingRuns) {
    if (Refused(loadingRuns)) return 0;
    const std::string back = FolderOf(path_) + kCompactFile;
    // A file left by an earlier failure would be appended to.
    if (!RemoveFile(back)) {
        lastError_ = "无法删除旧的整理文件！";
        return 0;
    }
    int added = 0;
    bool complete = false;
    {
        MRecordBase target;
        if (target.OpenDatabase(back, appFolder_, false) != TOpenResult::Opened) {
            lastError_ = target.LastError();
            RemoveFile(back);
            return 0;
        }
        std::vector<std::string> seen;
        added = CopyCases(*this, target, 1, "整理进度：", progress, nullptr, seen, false, complete);
        if (complete && !target.SetCategories(seen)) {
            lastError_ = target.LastError();
            complete = false;
        }
    }
    // Only a complete copy replaces the database, and in one rename, so that
    // the database path always holds every case.
    if (!complete) {
        RemoveFile(back);
        return 0;
    }
    if (!RenameOver(back, path_)) {
        RemoveFile(back);
        lastError_ = "无法更改文件名！";
        return 0;
    }
    lastId_ = added;
    if (progress) progress("整理进度：100％");
    return added;
}

}  // namespace qd
