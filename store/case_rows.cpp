// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/case_rows.h"

#include <sqlite3.h>

#include <string_view>

#include "base/encoding.h"
#include "store/case_format.h"
#include "store/record_base.h"
#include "store/store_tables.h"

namespace qd {

TCaseSelection CaseRange(int first, int last) {
    TCaseSelection s;
    s.first = first;
    s.last = last;
    return s;
}

TCaseSelection NewestCases(int last, size_t limit) {
    TCaseSelection s;
    s.first = 1;
    s.last = last;
    s.newestFirst = true;
    s.limit = limit;
    return s;
}

TCaseSelection ListedCases(const std::vector<int>& ids) {
    TCaseSelection s;
    s.ids = &ids;
    return s;
}

TCaseSelection EveryCase(int lowestId) {
    TCaseSelection s;
    s.first = lowestId;
    s.everyRow = true;
    return s;
}

// ---------------------------------------------------------------- one row

// The row's values are read without the connection's mutex: a store and its
// statements are used by one thread at a time, and a row's columns are read
// many times per search.
sqlite3_value* CCaseRow::Value(TCaseColumn c) const {
    const int i = result_[c];
    return i < 0 ? nullptr : sqlite3_column_value(st_, i);
}

std::string_view CCaseRow::Text(TCaseColumn c) const {
    sqlite3_value* v = Value(c);
    if (!v) return {};
    const unsigned char* t = sqlite3_value_text(v);
    if (!t) return {};
    return std::string_view(reinterpret_cast<const char*>(t), sqlite3_value_bytes(v));
}

template <typename T>
T CCaseRow::Number(TCaseColumn c, T fallback) const {
    // An integer's text is its decimal form, which reads back as the integer.
    sqlite3_value* v = Value(c);
    if (v && sqlite3_value_type(v) == SQLITE_INTEGER) return NumberOr<T>(sqlite3_value_int64(v), fallback);
    return NumberOr<T>(Text(c), fallback);
}

std::string_view CCaseRow::Field(TCaseColumn c, std::string_view fallback, size_t width,
                                 std::string& scratch) const {
    std::string_view text = Text(c);
    if (text.empty()) text = fallback;
    return GbkFieldText(text, width, scratch);
}

std::string_view CCaseRow::Name() const { return Field(kColName, {}, sizeof TCastRequest::name, name_); }

std::string_view CCaseRow::Question() const {
    return Field(kColEvent, kDefaultQuestion, sizeof TCastRequest::question, question_);
}

std::string_view CCaseRow::Place() const {
    return Field(kColAddrName, {}, sizeof TCastRequest::place, place_);
}

std::string_view CCaseRow::Category() const {
    const std::string_view t = Text(kColClassName);
    return t.empty() ? kDefaultCategory : t;
}

std::string_view CCaseRow::Comment() const {
    const std::string_view t = Text(kColRemarkText);
    return t.empty() ? kDefaultComment : t;
}

uint8_t CCaseRow::Filled() const {
    sqlite3_value* v = Value(kColSex);
    if (v && sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v) == 1;
    return FlagOf(Text(kColSex));
}

int16_t CCaseRow::Year() const { return Number<int16_t>(kColDateY, 1900); }

TCaseTime CCaseRow::Time() const {
    TCaseTime t;
    std::string_view items[4];
    const size_t n = ListItems(Text(kColDateNum), items, 4);
    int16_t* parts[4] = {&t.month, &t.day, &t.hour, &t.minute};
    for (size_t i = 0; i < n; ++i) *parts[i] = NumberOr<int16_t>(items[i], 1);
    return t;
}

bool CCaseRow::Lunar() const {
    std::string_view items[1];
    return ListItems(Text(kColDateStyle), items, 1) == 1 && FlagOf(items[0]);
}

bool CCaseRow::Leap() const {
    std::string_view items[2];
    return ListItems(Text(kColDateStyle), items, 2) == 2 && FlagOf(items[1]);
}

int16_t CCaseRow::Province() const {
    std::string_view items[1];
    return ListItems(Text(kColAddrInd), items, 1) == 1 ? NumberOr<int16_t>(items[0], 0) : 0;
}

std::string_view CCaseRow::CommentFile() const {
    const std::string_view t = Text(kColRemarkFile);
    return t.empty() ? " " : t;
}

bool CCaseRow::ToRecord(TRecordData& r) const {
    TCaseRowView texts;
    for (unsigned c = 0; c < kColCount; ++c) texts[c] = Text(static_cast<TCaseColumn>(c));
    RecordFromRow(texts, r);
    return store_.GiveSafeCommentName(r);
}

void FillSummary(const CCaseRow& row, TCaseSummary& s) {
    s.id = row.Id();
    s.name = row.Name();
    s.question = row.Question();
    s.category = row.Category();
    s.filled = row.Filled();
    s.year = row.Year();
    s.time = row.Time();
    s.lunar = row.Lunar();
    s.leap = row.Leap();
}

// ---------------------------------------------------------------- the reader

// Reads through a store's connection; a friend of MRecordBase and CCaseRow.
class CCaseReader {
public:
    static TReadEnd Run(MRecordBase& store, const TCaseSelection& which, TColumnSet columns,
                        const TRowVisitor& visit) {
        if (!store.BeginBatch()) {
            store.EndBatch();
            return TReadEnd::kFailed;
        }
        CCaseRow row(store, nullptr);
        TReadEnd end = Read(store, which, columns, row, visit);
        if (!store.EndBatch() && end == TReadEnd::kComplete) end = TReadEnd::kFailed;
        return end;
    }

private:
    // One statement of a reading of every row: its condition and bounds.
    struct TPass {
        const char* where;
        int low, high;
    };

    static TReadEnd Read(MRecordBase& store, const TCaseSelection& which, TColumnSet columns, CCaseRow& row,
                         const TRowVisitor& visit) {
        std::string select;
        if (!SelectColumns(store, columns, row, select)) return TReadEnd::kFailed;
        if (which.ids) {
            sqlite3_stmt* st = Prepare(store, select + "id=?1;");
            if (!st) return TReadEnd::kFailed;
            row.st_ = st;
            const TReadEnd end = Listed(store, st, *which.ids, row, visit);
            sqlite3_finalize(st);
            return end;
        }
        if (!which.everyRow) {
            std::string sql = select + (which.newestFirst ? "id between ?1 and ?2 order by id desc"
                                                          : "id between ?1 and ?2 order by id");
            // A limit clause costs time per row even when it allows all.
            sql += which.limit > 0 ? " limit ?3;" : ";";
            return Pass(store, sql, which.first, which.last, which.limit, true, row, visit);
        }
        // Each pass walks the primary key over a range; one statement with
        // "or" between the ranges would scan the whole table instead. The
        // passes are disjoint and together hold every row: NULL, numbers
        // and texts (which sort above every number).
        const int last = store.GetLastId();
        std::vector<TPass> passes = {{"id between ?1 and ?2 order by id;", which.first, last}};
        const int nullable = IdMayBeNull(store);
        if (nullable < 0) return TReadEnd::kFailed;
        if (nullable) passes.push_back({"id is null;", 0, 0});
        passes.push_back({"id < ?1 order by id;", which.first, last});
        passes.push_back({"id >= ?1 and id > ?2 order by id;", which.first, last});
        for (const TPass& p : passes) {
            const TReadEnd end = Pass(store, select + p.where, p.low, p.high, 0, false, row, visit);
            if (end != TReadEnd::kComplete) return end;
        }
        return TReadEnd::kComplete;
    }

    static sqlite3_stmt* Prepare(MRecordBase& store, const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(store.db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            store.SetSqliteError();
            sqlite3_finalize(st);
            return nullptr;
        }
        return st;
    }

    // "select id, <columns> from case_data where ". A column the table lacks
    // under its exact name is read as NULL, as ReadCase reads it as empty.
    static bool SelectColumns(MRecordBase& store, TColumnSet columns, CCaseRow& row, std::string& sql) {
        sqlite3_stmt* probe = Prepare(store, "select * from case_data;");
        if (!probe) return false;
        const int present = sqlite3_column_count(probe);
        sql = "select id";
        int next = 1;
        for (unsigned c = 0; c < kColCount; ++c) {
            row.result_[c] = -1;
            if ((columns & ColumnBit(static_cast<TCaseColumn>(c))) == 0) continue;
            bool found = false;
            for (int k = 0; k < present && !found; ++k)
                found = std::string_view(sqlite3_column_name(probe, k)) == kCaseColumns[c].name;
            sql += ", ";
            sql += found ? "\"" + std::string(kCaseColumns[c].name) + "\"" : std::string("NULL");
            row.result_[c] = next++;
        }
        sqlite3_finalize(probe);
        sql += " from case_data where ";
        return true;
    }

    // 1 when the table lets id be NULL (a table another program made, whose
    // id is no integer primary key), 0 when not, -1 on a read error.
    static int IdMayBeNull(MRecordBase& store) {
        sqlite3_stmt* st =
            Prepare(store,
                    "select count(*) from pragma_table_info('case_data') where name='id' and (\"notnull\" or "
                    "(pk=1 and upper(type)='INTEGER' and "
                    "(select count(*) from pragma_table_info('case_data') where pk>0)=1));");
        if (!st) return -1;
        const int rc = sqlite3_step(st);
        const int answer = rc == SQLITE_ROW ? sqlite3_column_int(st, 0) == 0 : -1;
        if (answer < 0) store.SetSqliteError();
        sqlite3_finalize(st);
        return answer;
    }

    static TReadEnd Failed(MRecordBase& store) {
        store.SetSqliteError();
        return TReadEnd::kFailed;
    }

    // The record's id of the row's key: as ReadCase reads it, 0 unless a
    // number that fits.
    static int RowId(sqlite3_stmt* st) {
        long long v;
        if (sqlite3_column_type(st, 0) == SQLITE_INTEGER)
            v = sqlite3_column_int64(st, 0);
        else if (const unsigned char* t = sqlite3_column_text(st, 0);
                 !t ||
                 !ParseInteger(
                     std::string_view(reinterpret_cast<const char*>(t), sqlite3_column_bytes(st, 0)), v))
            return 0;
        return v >= INT32_MIN && v <= INT32_MAX ? static_cast<int>(v) : 0;
    }

    static TReadEnd Listed(MRecordBase& store, sqlite3_stmt* st, const std::vector<int>& ids, CCaseRow& row,
                           const TRowVisitor& visit) {
        for (int id : ids) {
            sqlite3_reset(st);
            sqlite3_bind_int(st, 1, id);
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) continue;
            if (rc != SQLITE_ROW) return Failed(store);
            row.id_ = RowId(st);
            if (!visit(row)) return TReadEnd::kStopped;
        }
        return TReadEnd::kComplete;
    }

    // `onePerId`: a table made by another program may hold an id twice;
    // ReadCase takes one row per id, and so does a reading by ids.
    static TReadEnd Pass(MRecordBase& store, const std::string& sql, int low, int high, size_t limit,
                         bool onePerId, CCaseRow& row, const TRowVisitor& visit) {
        sqlite3_stmt* st = Prepare(store, sql);
        if (!st) return TReadEnd::kFailed;
        row.st_ = st;
        sqlite3_bind_int(st, 1, low);
        sqlite3_bind_int(st, 2, high);
        if (limit > 0) sqlite3_bind_int64(st, 3, static_cast<sqlite3_int64>(limit));
        TReadEnd end = TReadEnd::kComplete;
        bool any = false;
        sqlite3_int64 key = 0;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (onePerId && sqlite3_column_type(st, 0) == SQLITE_INTEGER) {
                const sqlite3_int64 k = sqlite3_column_int64(st, 0);
                if (any && k == key) continue;
                any = true;
                key = k;
            }
            row.id_ = RowId(st);
            if (!visit(row)) {
                end = TReadEnd::kStopped;
                break;
            }
        }
        if (end == TReadEnd::kComplete && rc != SQLITE_DONE) end = Failed(store);
        row.st_ = nullptr;
        sqlite3_finalize(st);
        return end;
    }
};

TReadEnd ForEachCaseRow(MRecordBase& store, const TCaseSelection& which, TColumnSet columns,
                        const TRowVisitor& visit) {
    return CCaseReader::Run(store, which, columns, visit);
}

TReadEnd ForEachCaseRecord(MRecordBase& store, const TCaseSelection& which, const TRecordVisitor& visit) {
    TRecordData r;
    return CCaseReader::Run(store, which, kAllColumns, [&](const CCaseRow& row) {
        row.ToRecord(r);
        return visit(r);
    });
}

TReadEnd ForEachCaseSummary(MRecordBase& store, const TCaseSelection& which, const TSummaryVisitor& visit) {
    TCaseSummary s;
    return CCaseReader::Run(store, which, kSummaryColumns, [&](const CCaseRow& row) {
        FillSummary(row, s);
        return visit(s);
    });
}

}  // namespace qd
