// SPDX-License-Identifier: GPL-3.0-or-later
// Restore from a backup folder, and the finishing of an import, restore or
// compaction that was killed half-way.
//
// A restore copies everything beside the live data first: the backup's
// database as <database>.restore~ and each comment file as
// Quadrelle_f/<name>.restore~. Only when every copy is whole and the
// database checks out does it write the list of the comment files the
// folder will hold (<database>.restore, written in one rename: the commit
// point). Rolling forward then puts the staged files in place and removes
// the comment files the backup lacks; a start-up opening that finds the
// list does the same, so a killed restore ends with exactly the old or
// exactly the new data.
#include <set>

#include "store/case_rows.h"
#include "store/record_base.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

}  // namespace

bool IsCompleteBackup(const std::string& folder) {
    return PathExists(WithSlash(folder) + kCommentFolder + "/" + kBackupMarker);
}

bool StartupWorkPending(const std::string& databasePath, const std::string& appFolder) {
    return !PathExists(databasePath) || PathExists(databasePath + kPendingSuffix) ||
           PathExists(databasePath + kRestoreListSuffix) ||
           PathExists(WithSlash(appFolder) + "dat/" + kProductWord + ".dat");
}

bool MRecordBase::MarkWorkPending(const char* kind) {
    if (WriteFileDurably(WorkFile(kPendingSuffix), kind)) return true;
    lastError_ = "无法写入案例文件夹！";
    return false;
}

void MRecordBase::RemoveStagedFiles() {
    const CCommentFolder comments = Comments();
    for (const char* suffix : {kStagedSuffix, ".import~", ".part~"}) {
        for (const std::string& f : comments.List(suffix)) comments.Remove(comments.Path() + f);
    }
    RemoveDatabaseFiles(path_ + kStagedSuffix);
    RemoveDatabaseFiles(FolderOf(path_) + kCompactFile);
}

void MRecordBase::CleanUpInterruptedWork() {
    const std::string marker = WorkFile(kPendingSuffix);
    if (!PathExists(marker)) return;
    std::string kind;
    ReadWholeFile(marker, kind);
    RemoveStagedFiles();
    // A killed import may have committed its cases before their comment
    // files took their names; their plain text makes the same files.
    if (kind != "compact" && !RebuildCommentFiles()) return;
    RemoveFile(marker);
}

bool MRecordBase::RollRestoreForward() {
    const std::string list = WorkFile(kRestoreListSuffix);
    if (!PathExists(list)) return true;
    std::string text;
    bool ok = ReadWholeFile(list, text);
    const std::vector<std::string> names = Lines(text);
    const std::set<std::string> keep(names.begin(), names.end());
    const CCommentFolder comments = Comments();
    for (const std::string& name : names) {
        const std::string staged = comments.Path() + name + kStagedSuffix;
        if (ok && PathExists(staged)) ok = comments.Rename(staged, comments.Path() + name);
    }
    if (ok) {
        for (const std::string& f : comments.List(".rtf")) {
            if (!keep.count(f)) ok = comments.Remove(comments.Path() + f) && ok;
        }
    }
    const std::string stagedDb = path_ + kStagedSuffix;
    if (ok && PathExists(stagedDb)) ok = ReplaceDatabaseFile(stagedDb, path_);
    if (!ok) {
        lastError_ = "上次的还原没有完成，无法打开案例数据库！";
        return false;
    }
    SyncPath(comments.Path());
    RemoveFile(list);
    RemoveFile(WorkFile(kPendingSuffix));
    SyncPath(FolderOf(path_));
    return true;
}

bool MRecordBase::StageComments(const std::string& sourceComments, const std::vector<std::string>& files,
                                MRecordBase& staged, std::vector<std::string>& names) {
    const CCommentFolder comments = Comments();
    std::set<std::string> have;
    for (const std::string& f : files) {
        // Something other than a file in a comment file's place would stop
        // the restore half-way through putting its files in place.
        if ((PathExists(comments.Path() + f) && !IsRegularFile(comments.Path() + f)) ||
            !comments.CopyIn(sourceComments + f, comments.Path() + f + kStagedSuffix)) {
            lastError_ = "无法复制评语文件！";
            return false;
        }
        names.push_back(f);
        have.insert(f);
    }
    // Cases whose comment file the backup lacks, or holds empty, get one
    // written from their plain comment text.
    bool written = true;
    const TReadEnd read = ForEachCaseRow(
        staged, EveryCase(), ColumnBit(kColRemarkFile) | ColumnBit(kColRemarkText), [&](const CCaseRow& row) {
            // No safe name: read-only here; the window reads the text.
            if (!IsSafeCommentName(row.CommentFile())) return true;
            const std::string name = std::string(row.CommentFile()) + ".rtf";
            const std::string path = comments.Path() + name + kStagedSuffix;
            if (have.count(name) && comments.HasContent(path)) return true;
            written = comments.WriteComment(path, std::string(row.Comment()));
            if (!have.count(name)) names.push_back(name);
            have.insert(name);
            return written;
        });
    if (!written) lastError_ = kCommentWriteText;
    if (written && read != TReadEnd::kComplete) lastError_ = "备份的数据库文件已损坏，无法还原！";
    return read == TReadEnd::kComplete && written;
}

bool MRecordBase::RestoreFrom(const std::string& folderIn, bool loadingRuns, bool allowIncomplete) {
    if (Refused(loadingRuns, TFolderLockMode::Exclusive)) return false;
    const std::string folder = WithSlash(folderIn);
    const std::string sourceDb = folder + kDatabaseFile;
    if (!PathExists(sourceDb)) {
        lastError_ = "没有源db文件！";
        return false;
    }
    const std::string sourceComments = folder + kCommentFolder + "/";
    if (!IsFolder(sourceComments)) {
        lastError_ = "没有源评语文件夹！";
        return false;
    }
    const CCommentFolder comments = Comments();
    std::vector<std::string> files;
    for (const std::string& f : ListRtfFiles(sourceComments)) {
        if (comments.Contains(comments.Path() + f + kStagedSuffix)) files.push_back(f);
    }
    if (files.empty()) {
        lastError_ = "找不到源评语文件！";
        return false;
    }
    if (!allowIncomplete && !IsCompleteBackup(folder)) {
        lastError_ = kIncompleteBackupText;
        return false;
    }
    Close();
    if (!MarkWorkPending("restore")) return false;

    // Stage and check; any failure removes what was staged and nothing else.
    const std::string stagedDb = path_ + kStagedSuffix;
    std::vector<std::string> names;
    bool ok = CopyFileChecked(sourceDb, stagedDb);
    if (!ok) lastError_ = "无法复制db文件！";
    if (ok) {
        MRecordBase staged;
        switch (staged.OpenExisting(stagedDb, appFolder_, true)) {
            case TDatabaseCheck::Usable: ok = StageComments(sourceComments, files, staged, names); break;
            case TDatabaseCheck::Damaged:
                lastError_ = "备份的数据库文件已损坏，无法还原！";
                ok = false;
                break;
            default:
                lastError_ = "不是相同的数据库类型，无法还原！";
                ok = false;
                break;
        }
    }
    if (ok) {
        std::vector<std::string> staged{stagedDb};
        for (const std::string& n : names) staged.push_back(comments.Path() + n + kStagedSuffix);
        SyncFiles(staged);
        std::string list;
        for (const std::string& n : names) list += n + "\n";
        ok = WriteFileDurably(WorkFile(kRestoreListSuffix), list);
        if (!ok) lastError_ = "无法复制db文件！";
    }
    if (!ok) {
        RemoveStagedFiles();
        RemoveFile(WorkFile(kPendingSuffix));
        return false;
    }
    // Committed: from here on the restore is finished, now or at the next
    // start-up.
    if (!RollRestoreForward()) return false;
    damaged_ = false;
    const int id = ReadLastId();
    if (id >= 0) lastId_ = id;
    return true;
}

}  // namespace qd
