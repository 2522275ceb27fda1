// SPDX-License-Identifier: GPL-3.0-or-later
// The case store: the only code that talks to SQLite. One instance holds one
// case database file and one connection to it; an instance is used by one
// thread at a time (the background loading opens an instance of its own).
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/request.h"
#include "store/auto_backup.h"
#include "store/comment_folder.h"
#include "store/criteria.h"
#include "store/folder_lock.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qd {

// Receives the progress texts of import, export and compaction
// ("导入进度：40％"); the GUI shows them in the comment view.
using TProgress = std::function<void(const std::string&)>;

// The refusal of the maintenance commands while a background loading runs.
constexpr const char* kLoadingBusyText = "请等待案例加载完毕！";

// What OpenDatabase answers.
enum class TOpenResult {
    Opened,           // the database is open
    Failed,           // LastError() says why
    ConvertedLegacy,  // open, and legacy cases were converted: LastError() is the report
};

// What OpenExisting finds in a file.
enum class TDatabaseCheck {
    Usable,           // a case database of this format, readable throughout
    Unopenable,       // missing, or no SQLite database (LastError() has SQLite's text)
    NotCaseDatabase,  // lacks the tables or the type tag "QuadrelleData"
    Damaged,          // SQLite's quick check found damage
};

// Texts of the refusals the earlier edition did not have.
constexpr const char* kDamagedText = "案例数据库已损坏，不能再写入，请用备份还原！";
constexpr const char* kIncompleteBackupText = "这个备份不完整（没有save.txt），无法还原！";
constexpr const char* kCommentWriteText = "无法写入评语文件！";

class MRecordBase {
public:
    MRecordBase();
    ~MRecordBase();  // ends an open batch (committing it)
    MRecordBase(const MRecordBase&) = delete;
    MRecordBase& operator=(const MRecordBase&) = delete;

    // Opens or creates the database at `path` (UTF-8). `appFolder` is the
    // application folder holding dat/ and Quadrelle_f/ (a trailing "/" is
    // added when missing). With `convertLegacy` (the opening at start-up) it
    // also finishes what a killed import, restore or compaction left behind
    // and converts a legacy case file; the caller must then hold the case
    // folder for writing.
    TOpenResult OpenDatabase(const std::string& path, const std::string& appFolder, bool convertLegacy);
    // Opens an existing database for reading only: nothing is created or
    // changed. Usable means a case database of this format (both tables, the
    // type tag, a readable primaryId), and with `quickCheck` also undamaged.
    TDatabaseCheck OpenExisting(const std::string& path, const std::string& appFolder, bool quickCheck);

    bool TableExists(const std::string& table);
    bool CreateCaseTable();
    bool CreateExtraTable();
    // Reads primaryId from the file; -1 on failure. Does not change GetLastId().
    int ReadLastId();
    int GetLastId() const { return lastId_; }
    // Rows of case_data, or -1.
    int CountCases();

    // SQLite's quick check of the whole file (its cost grows with the file:
    // run it off the GUI thread for large stores). False when the file is
    // damaged, and the store then refuses every write with kDamagedText, or
    // when it cannot be read; LastError() says which.
    bool CheckIntegrity();
    bool IsDamaged() const { return damaged_; }

    // The record's id is overwritten with the new id. Answers it, or -1.
    // AddCase stores the row and the new last id together or not at all;
    // AddCaseInBatch leaves primaryId to the batch's end (EndBatch).
    int AddCase(TRecordData& r);
    int AddCaseInBatch(TRecordData& r);
    // All columns but id from the record; an id without a row is no failure.
    bool UpdateCase(int id, const TRecordData& r);
    bool UpdateCaseInBatch(int id, const TRecordData& r);
    bool DeleteCase(int id);
    bool DeleteCaseInBatch(int id);
    // False also when no case has that id (the last error is then untouched).
    bool ReadCase(int id, TRecordData& r);
    bool ReadCaseInBatch(int id, TRecordData& r);

    // A batch keeps the connection open and runs in one transaction that
    // EndBatch commits. Batches nest; the outermost EndBatch commits, after
    // writing primaryId once for all the cases the batch added.
    // BeginBatch answers false when the database cannot be opened; EndBatch
    // answers false when primaryId could not be written ("无法更新主键id！"),
    // the commit failed or SQLite rolled the transaction back itself (the
    // batch's changes are then gone).
    bool BeginBatch();
    bool EndBatch();
    // Ends every open batch by rolling its transaction back.
    void AbortBatch();
    bool InBatch() const { return batchDepth_ > 0; }

    bool GetCategories(std::vector<std::string>& list);
    bool SetCategories(const std::vector<std::string>& list);
    bool IsDatabaseType(const std::string& tag);

    static bool CleanText(std::string& text, size_t maxChars);
    // Full path of a comment file for the record that does not exist yet;
    // `base` receives the name without folder and extension.
    std::string MakeCommentFileName(const TRecordData& r, std::string& base) const;
    // appFolder/Quadrelle_f/ and appFolder/Quadrelle_f/<base>.rtf; the path
    // is empty when `base` is no safe comment file name (comment_folder.h).
    std::string CommentFolder() const;
    std::string CommentFilePath(const std::string& base) const;
    CCommentFolder Comments() const { return CCommentFolder(appFolder_); }
    // Writes a comment file from the comment text for every case whose file
    // is missing or empty; a case whose stored name was no safe file name
    // gets its new name stored. False when a file could not be written.
    bool RebuildCommentFiles();

    // The ids of the cases that pass every given condition, in the order of
    // EveryCase (case_rows.h): 1..last id ascending, then the rows another
    // program wrote outside that range. Clears criteria.sexGiven.
    void FindCases(TSearchCriteria& criteria, std::vector<int>& ids);
    // Each field of a case takes at most one keyword; a hit takes them all.
    void FindCasesByKeywords(const std::vector<std::string>& keywords, std::vector<int>& ids);

    // Maintenance. Each refuses with kLoadingBusyText while `loadingRuns`
    // (the GUI's busy mark of the background loading), and with
    // kFolderInUseText when a folder lock is attached (UseFolderLock) whose
    // mode is too weak: backup and export read (Read), import writes
    // (Write), restore, delete all and compaction replace or renumber
    // (Exclusive). Each either completes or changes nothing in the case
    // folder; none reports success for part of its work.
    // Folders end with "/" (added when missing).
    //
    // Copies the database (a consistent snapshot, even beside a writer) and
    // every comment file, then writes save.txt. Refuses a damaged database.
    bool BackupTo(const std::string& folder, bool loadingRuns);
    // Replaces the database and the comment files by the backup's. The
    // backup's files are first copied beside the live ones under temporary
    // names and checked (a case database of this format, undamaged, every
    // copy as long as its source); only then they take the live files'
    // places. A failure leaves the previous database and comment files as
    // they were; a killed restore is finished by the next start-up opening.
    // A backup without save.txt (IsCompleteBackup) is refused with
    // kIncompleteBackupText unless `allowIncomplete`.
    bool RestoreFrom(const std::string& folder, bool loadingRuns, bool allowIncomplete = false);
    // Deletes the database file and every comment file. False only when refused.
    bool DeleteAllData(bool loadingRuns);
    // Number of cases added; 0 with the reason in LastError(). Every row of
    // the source is imported, whatever its id. A failure (a read error, a
    // comment file that cannot be written, a refused insert) adds no case
    // and leaves no comment file behind.
    int ImportDatabase(const std::string& path, const TProgress& progress, bool loadingRuns);
    // The export file appears only when complete.
    int ExportDatabase(const std::string& path, const std::vector<std::string>& categories,
                       bool allCategories, const TProgress& progress, bool loadingRuns);
    // Copies all cases into Quadrelle_back.db beside the database and puts it
    // in the database's place (keeping the file's permissions); afterwards
    // the ids are 1..n, rows that had ids outside 1..last id coming after
    // the others. 0 on failure, and then the database at its path is the one
    // before the compaction.
    int CompactDatabase(const TProgress& progress, bool loadingRuns);

    // Backs up the case folder into backups/ of the application folder (a
    // temporary folder renamed when complete) and removes all but the
    // newest `keep` complete backups, and what failed or killed runs left
    // there. Runs only when none ran on the day of `now`, unless `force`;
    // keep = 0 turns it off. `written`, when given, receives the new
    // backup's folder. See auto_backup.h.
    TAutoBackupResult AutoBackup(int keep, const std::tm& now, bool force = false,
                                 std::string* written = nullptr);

    // The lock the caller holds on this store's case folder; the maintenance
    // operations then check its mode. Not owned; nullptr detaches.
    void UseFolderLock(const CCaseFolderLock* lock) { lock_ = lock; }

    // The one-time conversion of dat/Quadrelle.dat (called by OpenDatabase).
    int ConvertLegacyFile();
    // Cleans place text, category and name; true when the name changed (the
    // case then gets a new comment file name).
    bool CleanRecord(TRecordData& r);

    const std::string& LastError() const { return lastError_; }
    const std::string& DatabasePath() const { return path_; }
    const std::string& AppFolder() const { return appFolder_; }

private:
    friend class CCaseReader;  // store/case_rows.cpp reads through the connection
    friend class CCaseRow;     // and names comment files as ReadCase does

    // How the outermost batch ended.
    enum class TBatchEnd { kCommitted, kIdNotRecorded, kNotCommitted };
    // EndBatch, telling why it failed.
    TBatchEnd FinishBatch();
    // Writes the last id into primaryId.
    bool RecordLastId();

    bool Open();
    void Close();
    // A single operation uses the batch connection when there is one, else
    // opens its own; Release closes only a connection Acquire opened.
    bool Acquire(bool& own);
    void Release(bool own);
    sqlite3_stmt* Prepare(const char* sql);
    bool Exec(const char* sql);
    void SetSqliteError();
    // True when SQLite rolled the batch's transaction back by itself (a full
    // disk, an I/O error): its earlier writes are gone, so later ones must not
    // land alone.
    bool BatchLost() const;
    void SetError(const std::string& text) { lastError_ = text; }

    // Fills `r` from the current row of a "select *"; true when the stored
    // comment file name was no safe name and `r` got a new one.
    bool ReadCurrentRow(sqlite3_stmt* st, TRecordData& r) const;
    // A stored comment file name that would lead out of the comment folder
    // is never used: the case gets a name as a new case would. True when
    // `r` got one.
    bool GiveSafeCommentName(TRecordData& r) const;
    // 1 undamaged, 0 damaged, -1 the check could not run.
    int QuickCheck();
    bool WriteAllowed();
    int AddCaseOn(TRecordData& r);
    bool UpdateCaseOn(int id, const TRecordData& r);
    bool DeleteCaseOn(int id);
    // 1 read, 0 no such case, -1 an SQLite error (in the last error).
    int ReadCaseOn(int id, TRecordData& r);
    bool Refused(bool loadingRuns, TFolderLockMode need);
    // The copy loop of import, export and compaction; see maintenance.cpp.
    struct TCopy;
    int CopyCases(MRecordBase& source, MRecordBase& target, TCopy& copy);
    // Copies this store's cases into a new database at `file` and commits
    // it; the number of cases, or -1.
    int CopyIntoNewDatabase(const std::string& file, TCopy& copy);
    // Restore and the finishing of interrupted work; see restore.cpp.
    std::string WorkFile(const char* suffix) const { return path_ + suffix; }
    bool MarkWorkPending(const char* kind);
    bool RollRestoreForward();
    void CleanUpInterruptedWork();
    void RemoveStagedFiles();
    // Copies the backup's comment files beside the live ones and writes the
    // missing ones of `staged` (the backup's database); `names` receives the
    // comment files the restored folder will hold.
    bool StageComments(const std::string& sourceComments, const std::vector<std::string>& files,
                       MRecordBase& staged, std::vector<std::string>& names);
    // MakeCommentFileName that also passes over the names in `claimed`.
    std::string MakeCommentFileName(const TRecordData& r, std::string& base,
                                    const std::set<std::string>* claimed) const;

    std::string appFolder_;
    std::string path_;
    int lastId_ = 0;
    sqlite3* db_ = nullptr;
    int batchDepth_ = 0;
    bool inTransaction_ = false;  // the outermost batch's "begin" succeeded
    bool idPending_ = false;      // the batch added cases; primaryId is behind
    bool readOnly_ = false;       // opened by OpenExisting
    bool damaged_ = false;        // a quick check found damage
    const CCaseFolderLock* lock_ = nullptr;
    std::map<std::string, sqlite3_stmt*, std::less<>> statements_;  // by SQL text
    std::string lastError_;
};

// Names the maintenance commands give their files, from a folder ending with
// "/" and the local time: <folder>澜川霁岚术_备份_2024年5月1日9时3分7秒/ and
// <folder>澜川霁岚术_2024年5月1日9时3分7秒.db
std::string BackupFolderName(const std::string& parent, const std::tm& t);
std::string ExportFileName(const std::string& folder, const std::tm& t);

// True when a backup folder holds Quadrelle_f/save.txt, which a backup
// writes last: a folder without it is an incomplete backup.
bool IsCompleteBackup(const std::string& folder);

// True when the start-up opening of the database has work to do beyond
// reading: the database is missing, a legacy case file waits to be
// converted, or an import, restore or compaction was killed half-way. A
// program that means only to read then needs the folder for writing.
bool StartupWorkPending(const std::string& databasePath, const std::string& appFolder);

}  // namespace qd
