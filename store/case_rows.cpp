#include "store/case_rows.h"

#include <sqlite3.h>

#include <string_view>

#include "base/encoding.h"
#include "store/case_format.h"
#include "store/record_base.h"
#include "store/store_tables.h"

namespace qd {

namespace {

// The first `max` items of a list text, split as SplitList splits it;
// answers how many there are.
size_t ListItems(std::string_view text, std::string_view* items, size_t max) {
    size_t n = 0;
    while (n < max) {
        const size_t at = text.find(' ');
        if (at == std::string_view::npos || at == 0) break;
        items[n++] = text.substr(0, at);
        text.remove_prefix(at + 1);
    }
    if (n < max && !text.empty()) items[n++] = text;
    return n;
}

long long IntOr(std::string_view text, long long fallback) {
    long long v;
    return ParseInteger(text, v) ? v : fallback;
}

// A flag column or item: set when empty, not a number, or the number 1.
uint8_t FlagOf(std::string_view text) {
    long long v;
    return text.empty() || !ParseInteger(text, v) || v == 1 ? 1 : 0;
}

}  // namespace

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

long long CCaseRow::Integer(TCaseColumn c, long long fallback) const {
    // An integer's text is its decimal form, which reads back as the integer.
    sqlite3_value* v = Value(c);
    if (v && sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v);
    return IntOr(Text(c), fallback);
}

std::string_view CCaseRow::Field(TCaseColumn c, std::string_view fallback, size_t width,
                                 std::string& scratch) const {
    std::string_view text = Text(c);
    if (text.empty()) text = fallback;
    return GbkFieldText(text, width, scratch);
}

std::string_view CCaseRow::Name() const {
    return Field(kColName, {}, sizeof TCastRequest::name, name_);
}

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

int16_t CCaseRow::Year() const { return static_cast<int16_t>(Integer(kColDateY, 1900)); }

TCaseTime CCaseRow::Time() const {
    TCaseTime t;
    std::string_view items[4];
    const size_t n = ListItems(Text(kColDateNum), items, 4);
    int16_t* parts[4] = {&t.month, &t.day, &t.hour, &t.minute};
    for (size_t i = 0; i < n; ++i) *parts[i] = static_cast<int16_t>(IntOr(items[i], 1));
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
    return ListItems(Text(kColAddrInd), items, 1) == 1 ? static_cast<int16_t>(IntOr(items[0], 0)) : 0;
}

void CCaseRow::ToRecord(TRecordData& r) const {
    for (unsigned c = 0; c < kColCount; ++c) texts_[c] = Text(static_cast<TCaseColumn>(c));
    RecordFromRow(texts_, r);
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
        CCaseRow row(nullptr);
        TReadEnd end = TReadEnd::kFailed;
        sqlite3_stmt* st = Prepare(store, SelectSql(store, which, columns, row));
        if (st) {
            row.st_ = st;
            end = which.ids ? Listed(store, st, *which.ids, row, visit) : Range(store, st, which, row, visit);
            sqlite3_finalize(st);
        }
        if (!store.EndBatch() && end == TReadEnd::kComplete) end = TReadEnd::kFailed;
        return end;
    }

private:
    static sqlite3_stmt* Prepare(MRecordBase& store, const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sql.empty() || sqlite3_prepare_v2(store.db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            store.SetSqliteError();
            sqlite3_finalize(st);
            return nullptr;
        }
        return st;
    }

    // "select id, <columns> from case_data ...". A column the table lacks
    // under its exact name is read as NULL, as ReadCase reads it as empty.
    static std::string SelectSql(MRecordBase& store, const TCaseSelection& which, TColumnSet columns,
                                 CCaseRow& row) {
        sqlite3_stmt* probe = Prepare(store, "select * from case_data;");
        if (!probe) return {};
        const int present = sqlite3_column_count(probe);
        std::string sql = "select id";
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
        if (which.ids) return sql + "id=?1;";
        sql += which.newestFirst ? "id between ?1 and ?2 order by id desc" : "id between ?1 and ?2 order by id";
        // A limit clause costs time per row even when it allows all.
        return sql + (which.limit > 0 ? " limit ?3;" : ";");
    }

    static TReadEnd Failed(MRecordBase& store) {
        store.SetSqliteError();
        return TReadEnd::kFailed;
    }

    static TReadEnd Listed(MRecordBase& store, sqlite3_stmt* st, const std::vector<int>& ids,
                           CCaseRow& row, const TRowVisitor& visit) {
        for (int id : ids) {
            sqlite3_reset(st);
            sqlite3_bind_int(st, 1, id);
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) continue;
            if (rc != SQLITE_ROW) return Failed(store);
            row.id_ = sqlite3_column_int(st, 0);
            if (!visit(row)) return TReadEnd::kStopped;
        }
        return TReadEnd::kComplete;
    }

    static TReadEnd Range(MRecordBase& store, sqlite3_stmt* st, const TCaseSelection& which,
                          CCaseRow& row, const TRowVisitor& visit) {
        sqlite3_bind_int(st, 1, which.first);
        sqlite3_bind_int(st, 2, which.last);
        if (which.limit > 0) sqlite3_bind_int64(st, 3, static_cast<sqlite3_int64>(which.limit));
        // A table made by another program may hold an id twice; ReadCase
        // takes one row per id.
        bool any = false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const int id = sqlite3_column_int(st, 0);
            if (any && id == row.id_) continue;
            any = true;
            row.id_ = id;
            if (!visit(row)) return TReadEnd::kStopped;
        }
        return rc == SQLITE_DONE ? TReadEnd::kComplete : Failed(store);
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

TReadEnd ForEachCaseSummary(MRecordBase& store, const TCaseSelection& which,
                            const TSummaryVisitor& visit) {
    TCaseSummary s;
    return CCaseReader::Run(store, which, kSummaryColumns, [&](const CCaseRow& row) {
        FillSummary(row, s);
        return visit(s);
    });
}

}  // namespace qd
