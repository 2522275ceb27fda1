// The case store: the only code that talks to SQLite. One instance holds one
// case database file and one connection to it; an instance is used by one
// thread at a time (the background loading opens an instance of its own).
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/request.h"
#include "store/comment_folder.h"
#include "store/criteria.h"

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

class MRecordBase {
public:
    MRecordBase();
    ~MRecordBase();  // ends an open batch (committing it)
    MRecordBase(const MRecordBase&) = delete;
    MRecordBase& operator=(const MRecordBase&) = delete;

    // Opens or creates the database at `path` (UTF-8). `appFolder` is the
    // application folder holding dat/ and Quadrelle_f/ (a trailing "/" is
    // added when missing).
    TOpenResult OpenDatabase(const std::string& path, const std::string& appFolder, bool convertLegacy);

    bool TableExists(const std::string& table);
    bool CreateCaseTable();
    bool CreateExtraTable();
    // Reads primaryId from the file; -1 on failure. Does not change GetLastId().
    int ReadLastId();
    int GetLastId() const { return lastId_; }
    // Rows of case_data, or -1.
    int CountCases();

    // The record's id is overwritten with the new id. Answers it, or -1.
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
    // EndBatch commits. Batches nest; the outermost EndBatch commits.
    // BeginBatch answers false when the database cannot be opened; EndBatch
    // answers false when the commit failed or SQLite rolled the transaction
    // back itself (the batch's changes are then gone).
    bool BeginBatch();
    bool EndBatch();
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
    // Writes a comment file from the comment text for every case lacking one.
    bool RebuildCommentFiles();

    // Ids 1..last id in ascending order that pass every given condition.
    // Clears criteria.sexGiven.
    void FindCases(TSearchCriteria& criteria, std::vector<int>& ids);
    // Each field of a case takes at most one keyword; a hit takes them all.
    void FindCasesByKeywords(const std::vector<std::string>& keywords, std::vector<int>& ids);

    // Maintenance. Each refuses with kLoadingBusyText while `loadingRuns`
    // (the GUI's busy mark of the background loading).
    // Folders end with "/" (added when missing).
    bool BackupTo(const std::string& folder, bool loadingRuns);
    // Replaces the database and the comment files by the backup's. A failure
    // leaves the previous database and comment files as they were.
    bool RestoreFrom(const std::string& folder, bool loadingRuns);
    // Deletes the database file and every comment file. False only when refused.
    bool DeleteAllData(bool loadingRuns);
    // Number of cases added; 0 with the reason in LastError().
    int ImportDatabase(const std::string& path, const TProgress& progress, bool loadingRuns);
    int ExportDatabase(const std::string& path, const std::vector<std::string>& categories,
                       bool allCategories, const TProgress& progress, bool loadingRuns);
    // Copies all cases into Quadrelle_back.db beside the database and puts it
    // in the database's place; afterwards the ids are 1..n. 0 on failure, and
    // then the database at its path is the one before the compaction.
    int CompactDatabase(const TProgress& progress, bool loadingRuns);

    // The one-time conversion of dat/Quadrelle.dat (called by OpenDatabase).
    int ConvertLegacyFile();
    // Cleans place text, category and name; true when the name changed (the
    // case then gets a new comment file name).
    bool CleanRecord(TRecordData& r);

    const std::string& LastError() const { return lastError_; }
    const std::string& DatabasePath() const { return path_; }
    const std::string& AppFolder() const { return appFolder_; }

private:
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

    int AddCaseOn(TRecordData& r);
    bool UpdateCaseOn(int id, const TRecordData& r);
    bool DeleteCaseOn(int id);
    // 1 read, 0 no such case, -1 an SQLite error (in the last error).
    int ReadCaseOn(int id, TRecordData& r);
    bool Refused(bool loadingRuns);
    int CopyCases(MRecordBase& source, MRecordBase& target, int firstId, const char* progressText,
                  const TProgress& progress, const std::vector<std::string>* onlyCategories,
                  std::vector<std::string>& seen, bool writeComments, bool& complete);

    std::string appFolder_;
    std::string path_;
    int lastId_ = 0;
    sqlite3* db_ = nullptr;
    int batchDepth_ = 0;
    bool inTransaction_ = false;  // the outermost batch's "begin" succeeded
    std::map<std::string, sqlite3_stmt*> statements_;
    std::string lastError_;
};

// Names the maintenance commands give their files, from a folder ending with
// "/" and the local time: <folder>澜川霁岚术_备份_2024年5月1日9时3分7秒/ and
// <folder>澜川霁岚术_2024年5月1日9时3分7秒.db
std::string BackupFolderName(const std::string& parent, const std::tm& t);
std::string ExportFileName(const std::string& folder, const std::tm& t);

}  // namespace qd
