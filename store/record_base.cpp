// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/record_base.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/encoding.h"
#include "base/textclean.h"
#include "store/case_format.h"
#include "store/case_rows.h"
#include "store/comment_folder.h"
#include "store/store_files.h"
#include "store/store_tables.h"

namespace qd {

namespace fs = std::filesystem;

namespace {

// Resets a cached statement when the operation using it ends, so that no
// read stays active across a commit.
struct CStatementUse {
    sqlite3_stmt* st;
    explicit CStatementUse(sqlite3_stmt* s) : st(s) {}
    ~CStatementUse() {
        if (st) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    }
};

std::string ColumnText(sqlite3_stmt* st, int i) {
    const unsigned char* t = sqlite3_column_text(st, i);
    if (!t) return {};
    return std::string(reinterpret_cast<const char*>(t), sqlite3_column_bytes(st, i));
}

void BindText(sqlite3_stmt* st, int i, const std::string& s) {
    sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Binds without a copy: `v` must outlive the statement's next reset.
void BindValue(sqlite3_stmt* st, int i, const TColumnValue& v) {
    if (v.isInteger)
        sqlite3_bind_int64(st, i, v.integer);
    else
        sqlite3_bind_text(st, i, v.text.data(), static_cast<int>(v.text.size()), SQLITE_STATIC);
}

std::string CreateCaseTableSql() {
    std::string sql = "create table case_data(";
    for (size_t i = 0; i < kCaseColumnCount; ++i) {
        sql += kCaseColumns[i].name;
        sql += ' ';
        sql += kCaseColumns[i].type;
        sql += i + 1 < kCaseColumnCount ? "," : ");";
    }
    return sql;
}

std::string ExtraColumnList() {
    std::string s;
    for (size_t i = 0; i < kExtraColumnCount; ++i) {
        if (i) s += ',';
        s += kExtraColumns[i];
    }
    return s;
}

std::string InsertCaseSql() {
    std::string sql = "insert into case_data values (";
    for (size_t i = 0; i < kCaseColumnCount; ++i) sql += i ? ", ?" : "?";
    return sql + ");";
}

std::string UpdateCaseSql() {
    std::string sql = "update case_data set ";
    for (size_t i = 1; i < kCaseColumnCount; ++i) {
        if (i > 1) sql += ", ";
        sql += kCaseColumns[i].name;
        sql += "=?";
    }
    return sql + " where id=?;";
}

const std::string& InsertSql() {
    static const std::string s = InsertCaseSql();
    return s;
}
const std::string& UpdateSql() {
    static const std::string s = UpdateCaseSql();
    return s;
}

}  // namespace

MRecordBase::MRecordBase() = default;

MRecordBase::~MRecordBase() {
    while (batchDepth_ > 0) EndBatch();
    Close();
}

bool MRecordBase::Open() {
    if (db_) return true;
    sqlite3* db = nullptr;
    // No mutex per call: an instance is used by one thread at a time (the
    // background loading reads through an instance of its own).
    const int flags =
        (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path_.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        lastError_ = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        return false;
    }
    // A second instance on the same file (the background loading) may hold a
    // lock for a moment.
    sqlite3_busy_timeout(db, 5000);
    db_ = db;
    return true;
}

void MRecordBase::Close() {
    for (auto& [sql, st] : statements_) sqlite3_finalize(st);
    statements_.clear();
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    inTransaction_ = false;
    idPending_ = false;
}

bool MRecordBase::Acquire(bool& own) {
    own = db_ == nullptr;
    return Open();
}

void MRecordBase::Release(bool own) {
    if (own && batchDepth_ == 0) Close();
}

sqlite3_stmt* MRecordBase::Prepare(const char* sql) {
    auto it = statements_.find(std::string_view(sql));
    if (it != statements_.end()) return it->second;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) {
        SetSqliteError();
        sqlite3_finalize(st);
        return nullptr;
    }
    statements_.emplace(sql, st);
    return st;
}

bool MRecordBase::Exec(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    return rc == SQLITE_OK;
}

bool MRecordBase::BatchLost() const { return inTransaction_ && db_ && sqlite3_get_autocommit(db_) != 0; }

void MRecordBase::SetSqliteError() { lastError_ = db_ ? sqlite3_errmsg(db_) : "no database"; }

TOpenResult MRecordBase::OpenDatabase(const std::string& path, const std::string& appFolder,
                                      bool convertLegacy) {
    while (batchDepth_ > 0) EndBatch();
    Close();
    path_ = path;
    appFolder_ = WithSlash(appFolder.empty() ? std::string(".") : appFolder);
    readOnly_ = false;
    damaged_ = false;
    // A restore that passed its checks is finished before anything reads
    // the database: until then the database and the comment files may be
    // half old, half new.
    if (convertLegacy && !RollRestoreForward()) return TOpenResult::Failed;

    std::error_code ec;
    if (fs::exists(U8Path(path_), ec)) {
        if (!TableExists("case_data")) CreateCaseTable();
        if (!TableExists("case_extra")) CreateExtraTable();
    } else {
        if (!Open()) {
            lastError_ = "无法创建或者打开数据库！";
            return TOpenResult::Failed;
        }
        Close();
        if (!CreateCaseTable() || !CreateExtraTable()) return TOpenResult::Failed;
    }
    const int id = ReadLastId();
    if (id == -1) return TOpenResult::Failed;
    lastId_ = id;
    if (!convertLegacy) return TOpenResult::Opened;
    CleanUpInterruptedWork();
    return ConvertLegacyFile() == 1 ? TOpenResult::ConvertedLegacy : TOpenResult::Opened;
}

TDatabaseCheck MRecordBase::OpenExisting(const std::string& path, const std::string& appFolder,
                                         bool quickCheck) {
    while (batchDepth_ > 0) EndBatch();
    Close();
    path_ = path;
    appFolder_ = WithSlash(appFolder.empty() ? std::string(".") : appFolder);
    readOnly_ = true;
    damaged_ = false;
    lastId_ = 0;
    if (!PathExists(path_) || IsFolder(path_)) {
        lastError_ = "unable to open database file";
        return TDatabaseCheck::Unopenable;
    }
    bool own;
    if (!Acquire(own)) return TDatabaseCheck::Unopenable;
    // A file that is no database fails on its first read.
    if (!Prepare("select count(*) from sqlite_master;")) {
        const int code = sqlite3_errcode(db_);
        Release(own);
        return code == SQLITE_CORRUPT ? TDatabaseCheck::Damaged : TDatabaseCheck::Unopenable;
    }
    TDatabaseCheck answer = TDatabaseCheck::Usable;
    if (!TableExists("case_data") || !TableExists("case_extra") || !IsDatabaseType(kDatabaseType)) {
        answer = TDatabaseCheck::NotCaseDatabase;
    } else if (const int id = ReadLastId(); id < 0) {
        answer = TDatabaseCheck::NotCaseDatabase;
    } else {
        lastId_ = id;
        if (quickCheck && QuickCheck() != 1) answer = TDatabaseCheck::Damaged;
    }
    Release(own);
    return answer;
}

bool MRecordBase::TableExists(const std::string& table) {
    bool own;
    if (!Acquire(own)) return false;
    bool found = false;
    sqlite3_stmt* st = Prepare("select name from sqlite_master where type='table' and name=?;");
    if (st) {
        CStatementUse use(st);
        BindText(st, 1, table);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            found = sqlite3_column_count(st) > 0;
        else if (rc != SQLITE_DONE)
            SetSqliteError();
    }
    Release(own);
    return found;
}

bool MRecordBase::CreateCaseTable() {
    bool own;
    bool ok = Acquire(own) && Exec(CreateCaseTableSql().c_str());
    Release(own);
    if (!ok) lastError_ = "无法创建数据主表！";
    return ok;
}

bool MRecordBase::CreateExtraTable() {
    bool own;
    if (!Acquire(own) || !Exec(("create table case_extra(" + ExtraColumnList() + ");").c_str())) {
        Release(own);
        lastError_ = "无法创建额外表！";
        return false;
    }
    std::vector<std::string> defaults(kDefaultCategories, kDefaultCategories + kDefaultCategoryCount);
    const std::string sql = "insert into case_extra(" + ExtraColumnList() + ") values (?, ?, ?, ?, ?);";
    bool ok = false;
    if (sqlite3_stmt* st = Prepare(sql.c_str())) {
        CStatementUse use(st);
        sqlite3_bind_int(st, 1, kPlatformId);
        sqlite3_bind_int(st, 2, kFormatVersion);
        sqlite3_bind_int(st, 3, lastId_);
        BindText(st, 4, JoinList(defaults));
        BindText(st, 5, kDatabaseType);
        ok = sqlite3_step(st) == SQLITE_DONE;
    }
    Release(own);
    if (!ok) lastError_ = "无法往额外表写入数据！";
    return ok;
}

int MRecordBase::ReadLastId() {
    bool own;
    if (!Acquire(own)) return -1;
    int id = -1;
    bool sqlFailed = false;
    if (sqlite3_stmt* st = Prepare("select primaryId from case_extra")) {
        CStatementUse use(st);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            long long v;
            if (ParseInteger(ColumnText(st, 0), v) && v >= 0 && v <= INT32_MAX) id = static_cast<int>(v);
        } else if (rc != SQLITE_DONE) {
            SetSqliteError();
            sqlFailed = true;
        }
    } else {
        sqlFailed = true;
    }
    Release(own);
    if (id == -1 && !sqlFailed) lastError_ = "无法读取额外表的主键id！";
    return id;
}

int MRecordBase::CountCases() {
    bool own;
    if (!Acquire(own)) return -1;
    int n = -1;
    if (sqlite3_stmt* st = Prepare("select count(*) from case_data;")) {
        CStatementUse use(st);
        if (sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int(st, 0);
        else
            SetSqliteError();
    }
    Release(own);
    return n;
}

int MRecordBase::QuickCheck() {
    bool own;
    if (!Acquire(own)) return -1;
    int answer = -1;
    if (sqlite3_stmt* st = Prepare("pragma quick_check;")) {
        CStatementUse use(st);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            answer = ColumnText(st, 0) == "ok" ? 1 : 0;
        } else {
            SetSqliteError();
            const int code = sqlite3_errcode(db_);
            if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) answer = 0;
        }
    } else if (sqlite3_errcode(db_) == SQLITE_CORRUPT || sqlite3_errcode(db_) == SQLITE_NOTADB) {
        answer = 0;
    }
    Release(own);
    if (answer == 0) {
        damaged_ = true;
        lastError_ = kDamagedText;
    }
    return answer;
}

bool MRecordBase::CheckIntegrity() { return QuickCheck() == 1; }

bool MRecordBase::WriteAllowed() {
    if (damaged_) lastError_ = kDamagedText;
    return !damaged_;
}

int MRecordBase::AddCaseOn(TRecordData& r) {
    if (!WriteAllowed()) return -1;
    r.id = lastId_ + 1;
    bool inserted = false;
    if (db_ && !BatchLost()) {
        if (sqlite3_stmt* st = Prepare(InsertSql().c_str())) {
            const TCaseValues values = RecordToValues(r, r.id);
            CStatementUse use(st);
            for (size_t i = 0; i < kCaseColumnCount; ++i) BindValue(st, static_cast<int>(i + 1), values[i]);
            inserted = sqlite3_step(st) == SQLITE_DONE;
        }
    }
    if (!inserted) {
        lastError_ = "无法保存案例！";
        return -1;
    }
    lastId_ = r.id;
    idPending_ = true;
    return r.id;
}

bool MRecordBase::UpdateCaseOn(int id, const TRecordData& r) {
    if (!WriteAllowed()) return false;
    bool ok = false;
    if (db_ && !BatchLost()) {
        if (sqlite3_stmt* st = Prepare(UpdateSql().c_str())) {
            const TCaseValues values = RecordToValues(r, id);
            CStatementUse use(st);
            for (size_t i = 1; i < kCaseColumnCount; ++i) BindValue(st, static_cast<int>(i), values[i]);
            sqlite3_bind_int(st, static_cast<int>(kCaseColumnCount), id);
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
    }
    if (!ok) lastError_ = "无法修改案例！";
    return ok;
}

bool MRecordBase::DeleteCaseOn(int id) {
    if (!WriteAllowed()) return false;
    bool ok = false;
    if (db_ && !BatchLost()) {
        if (sqlite3_stmt* st = Prepare("delete from case_data where id = ?;")) {
            CStatementUse use(st);
            sqlite3_bind_int(st, 1, id);
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
    }
    if (!ok) lastError_ = "无法删除案例！";
    return ok;
}

bool MRecordBase::ReadCurrentRow(sqlite3_stmt* st, TRecordData& r) const {
    TCaseRow row;
    bool taken[kCaseColumnCount] = {};
    const int n = sqlite3_column_count(st);
    for (int c = 0; c < n; ++c) {
        const char* name = sqlite3_column_name(st, c);
        for (size_t k = 0; k < kCaseColumnCount; ++k) {
            if (!taken[k] && std::string_view(name) == kCaseColumns[k].name) {
                row[k] = ColumnText(st, c);
                taken[k] = true;
                break;
            }
        }
    }
    RecordFromRow(row, r);
    return GiveSafeCommentName(r);
}

bool MRecordBase::GiveSafeCommentName(TRecordData& r) const {
    if (IsSafeCommentName(r.commentFile)) return false;
    MakeCommentFileName(r, r.commentFile);
    return true;
}

int MRecordBase::ReadCaseOn(int id, TRecordData& r) {
    if (!db_) return -1;
    sqlite3_stmt* st = Prepare("select * from case_data where id=?;");
    if (!st) return -1;
    CStatementUse use(st);
    sqlite3_bind_int(st, 1, id);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return 0;
    if (rc != SQLITE_ROW) {
        SetSqliteError();
        return -1;
    }
    ReadCurrentRow(st, r);
    return 1;
}

int MRecordBase::AddCase(TRecordData& r) {
    if (InBatch()) return AddCaseOn(r);
    // Its own transaction: the row and primaryId are stored together.
    const int before = lastId_;
    if (!BeginBatch()) {
        AbortBatch();
        lastError_ = "无法保存案例！";
        return -1;
    }
    const int id = AddCaseOn(r);
    if (id < 0) {
        AbortBatch();
        return -1;
    }
    switch (FinishBatch()) {
        case TBatchEnd::kCommitted: return id;
        case TBatchEnd::kIdNotRecorded: break;  // its text is set
        case TBatchEnd::kNotCommitted: lastError_ = "无法保存案例！"; break;
    }
    lastId_ = before;
    return -1;
}

int MRecordBase::AddCaseInBatch(TRecordData& r) { return AddCaseOn(r); }

bool MRecordBase::UpdateCase(int id, const TRecordData& r) {
    bool own;
    if (!Acquire(own)) {
        lastError_ = "无法修改案例！";
        return false;
    }
    const bool ok = UpdateCaseOn(id, r);
    Release(own);
    return ok;
}

bool MRecordBase::UpdateCaseInBatch(int id, const TRecordData& r) { return UpdateCaseOn(id, r); }

bool MRecordBase::DeleteCase(int id) {
    bool own;
    if (!Acquire(own)) {
        lastError_ = "无法删除案例！";
        return false;
    }
    const bool ok = DeleteCaseOn(id);
    Release(own);
    return ok;
}

bool MRecordBase::DeleteCaseInBatch(int id) { return DeleteCaseOn(id); }

bool MRecordBase::ReadCase(int id, TRecordData& r) {
    bool own;
    if (!Acquire(own)) return false;
    const bool ok = ReadCaseOn(id, r) == 1;
    Release(own);
    return ok;
}

bool MRecordBase::ReadCaseInBatch(int id, TRecordData& r) { return ReadCaseOn(id, r) == 1; }

bool MRecordBase::BeginBatch() {
    if (++batchDepth_ > 1) return db_ != nullptr;
    if (!Open()) return false;
    if (!Exec("begin;")) {
        SetSqliteError();
        return false;
    }
    inTransaction_ = true;
    return true;
}

void MRecordBase::AbortBatch() {
    if (batchDepth_ == 0) return;
    batchDepth_ = 0;
    if (db_ && sqlite3_get_autocommit(db_) == 0) Exec("rollback;");
    inTransaction_ = false;
    Close();
}

bool MRecordBase::EndBatch() { return FinishBatch() == TBatchEnd::kCommitted; }

MRecordBase::TBatchEnd MRecordBase::FinishBatch() {
    if (batchDepth_ == 0) return TBatchEnd::kCommitted;
    if (--batchDepth_ > 0) return TBatchEnd::kCommitted;
    if (!db_) return TBatchEnd::kNotCommitted;
    TBatchEnd end = TBatchEnd::kCommitted;
    if (BatchLost()) {
        end = TBatchEnd::kNotCommitted;  // the last error is that of the write that failed
    } else if (idPending_ && !RecordLastId()) {
        lastError_ = "无法更新主键id！";
        end = TBatchEnd::kIdNotRecorded;
    } else if (sqlite3_get_autocommit(db_) == 0 && !Exec("commit;")) {
        SetSqliteError();
        end = TBatchEnd::kNotCommitted;
    }
    if (end != TBatchEnd::kCommitted && sqlite3_get_autocommit(db_) == 0) Exec("rollback;");
    Close();
    return end;
}

bool MRecordBase::RecordLastId() {
    sqlite3_stmt* st = Prepare("update case_extra set primaryId=?;");
    if (!st) return false;
    CStatementUse use(st);
    sqlite3_bind_int(st, 1, lastId_);
    return sqlite3_step(st) == SQLITE_DONE;
}

bool MRecordBase::GetCategories(std::vector<std::string>& list) {
    bool own;
    if (!Acquire(own)) return false;
    bool ok = false;
    if (sqlite3_stmt* st = Prepare("select className from case_extra;")) {
        CStatementUse use(st);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            list = SplitList(ColumnText(st, 0));
            ok = true;
        } else if (rc != SQLITE_DONE) {
            SetSqliteError();
        }
    }
    Release(own);
    return ok;
}

bool MRecordBase::SetCategories(const std::vector<std::string>& list) {
    if (!WriteAllowed()) return false;
    bool own;
    bool ok = false;
    if (!BatchLost() && Acquire(own)) {
        if (sqlite3_stmt* st = Prepare("update case_extra set className=?;")) {
            CStatementUse use(st);
            BindText(st, 1, JoinList(list));
            ok = sqlite3_step(st) == SQLITE_DONE;
        }
        Release(own);
    }
    if (!ok) lastError_ = "无法更新案例类别！";
    return ok;
}

bool MRecordBase::IsDatabaseType(const std::string& tag) {
    bool own;
    if (!Acquire(own)) return false;
    bool ok = false;
    if (sqlite3_stmt* st = Prepare("select baseType from case_extra;")) {
        CStatementUse use(st);
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            ok = ColumnText(st, 0) == tag;
        else if (rc != SQLITE_DONE)
            SetSqliteError();
    }
    Release(own);
    return ok;
}

bool MRecordBase::CleanText(std::string& text, size_t maxChars) { return qd::CleanText(text, maxChars); }

std::string MRecordBase::CommentFolder() const { return CommentFolderOf(appFolder_); }

std::string MRecordBase::CommentFilePath(const std::string& base) const { return Comments().FileOf(base); }

std::string MRecordBase::MakeCommentFileName(const TRecordData& r, std::string& base) const {
    return MakeCommentFileName(r, base, nullptr);
}

std::string MRecordBase::MakeCommentFileName(const TRecordData& r, std::string& base,
                                             const std::set<std::string>* claimed) const {
    const TCastRequest& q = r.request;
    char date[64];
    std::snprintf(date, sizeof date, "_%04d%02d%02d%02d%02d", q.year, q.month, q.day, q.hour, q.minute);
    const std::string stem = CommentNameStem(ReadGbkField(q.name)) + date;
    base = stem;
    std::string path = CommentFilePath(base);
    for (int k = 0; PathExists(path) || (claimed && claimed->count(base)); ++k) {
        base = stem + "_" + std::to_string(k);
        path = CommentFilePath(base);
    }
    return path;
}

bool MRecordBase::RebuildCommentFiles() {
    const int last = ReadLastId();
    if (last == -1) return false;
    lastId_ = std::max(lastId_, last);
    if (!BeginBatch()) {
        AbortBatch();
        return false;
    }
    const CCommentFolder comments = Comments();
    bool written = true;
    TRecordData r;
    const TReadEnd read = ForEachCaseRow(*this, EveryCase(), kAllColumns, [&](const CCaseRow& row) {
        std::string path = comments.FileOf(row.CommentFile());
        if (path.empty()) {
            // The new name goes into the row, or every later read would make
            // yet another one.
            row.ToRecord(r);
            if (!readOnly_ && !UpdateCaseOn(r.id, r)) return true;
            path = CommentFilePath(r.commentFile);
        }
        if (!comments.HasContent(path) && !comments.WriteComment(path, std::string(row.Comment()))) {
            written = false;
            lastError_ = kCommentWriteText;
        }
        return true;
    });
    const bool committed = EndBatch();
    return read == TReadEnd::kComplete && committed && written;
}

}  // namespace qd
