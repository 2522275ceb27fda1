// SPDX-License-Identifier: GPL-3.0-or-later
// The one way to read many cases: the rows of case_data, one statement per
// pass, handed one by one to a visitor as the case record, in a light form
// for lists and trees, or as a row whose fields are read on demand (the
// searches, the copies).
//
// Every form gives what ReadCase would give for the same id: the same
// defaults for empty columns, names, questions and place texts as the
// record's fixed GBK fields give them back, and a fresh comment file name
// for a stored one that is no safe name.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/request.h"

struct sqlite3_stmt;
struct sqlite3_value;

namespace qd {

class MRecordBase;

// Which rows a reader visits: the ids of a list in list order (ids without
// a row are skipped, an id listed twice is visited twice), or the rows whose
// ids lie in [first, last], ascending or newest first, at most `limit` rows
// (0 for all), one row per id; or every row (EveryCase).
struct TCaseSelection {
    const std::vector<int>* ids = nullptr;
    int first = 1;
    int last = INT_MAX;
    bool newestFirst = false;
    size_t limit = 0;
    bool everyRow = false;  // `last` is then the store's last id
};

// Ids first..last in ascending order (whole-store loops: 1..GetLastId()).
TCaseSelection CaseRange(int first, int last);
// The `limit` rows with the highest ids from `last` down to 1, newest first.
TCaseSelection NewestCases(int last, size_t limit = 0);
// The listed ids in list order; `ids` must outlive the reading.
TCaseSelection ListedCases(const std::vector<int>& ids);
// Every row of case_data whatever its id: ids `lowestId` to the store's last
// id ascending, then the rows another program wrote outside that range (no
// number, below `lowestId`, above the last id) in id order. Two rows with
// the same id are both visited. The whole-store loops read this way: the
// list, the searches, the copies and the rebuilding of comment files.
TCaseSelection EveryCase(int lowestId = 1);

// How a reading ended. kFailed leaves SQLite's text in the store's last
// error.
enum class TReadEnd { kComplete, kStopped, kFailed };

// Columns of case_data by position, as store_tables.h lists them.
enum TCaseColumn : unsigned {
    kColId,
    kColName,
    kColSex,
    kColClassName,
    kColDateY,
    kColDateNum,
    kColDateStyle,
    kColAddrInd,
    kColAddrName,
    kColAddrNum,
    kColRemarkFile,
    kColTag1,
    kColTag2,
    kColEvent,
    kColKeStyle,
    kColOtherKe,
    kColMasterDate,
    kColRemarkText,
    kColCount
};
// A set of columns to read.
using TColumnSet = uint32_t;
constexpr TColumnSet ColumnBit(TCaseColumn c) { return TColumnSet{1} << c; }
constexpr TColumnSet kAllColumns = (TColumnSet{1} << kColCount) - 1;

// Month, day, hour and minute as the record holds them.
struct TCaseTime {
    int16_t month = 1, day = 1, hour = 1, minute = 1;
};

// One row while a reader stands on it. The views are valid until the
// visitor returns. A column outside the reading's set reads as empty, and
// so gives its default.
class CCaseRow {
public:
    int Id() const { return id_; }      // the record's id: 0 when the key is no 32-bit number
    std::string_view Name() const;      // at most 20 GBK bytes
    std::string_view Question() const;  // at most 200, default 要问的事情。
    std::string_view Place() const;     // at most 300
    std::string_view Category() const;  // default 临时保存
    std::string_view Comment() const;   // default 输入自己的评语：
    uint8_t Filled() const;             // the sex column
    int16_t Year() const;
    TCaseTime Time() const;
    bool Lunar() const;
    bool Leap() const;
    int16_t Province() const;
    // The stored comment file name as it is (default one space); it may be
    // no safe name (comment_folder.h), which ToRecord replaces.
    std::string_view CommentFile() const;
    // Every field, as ReadCase fills it. True when the stored comment file
    // name was no safe name and `r` got a new one, as a new case would.
    bool ToRecord(TRecordData& r) const;

private:
    friend class CCaseReader;
    CCaseRow(const MRecordBase& store, sqlite3_stmt* st) : store_(store), st_(st) {}
    sqlite3_value* Value(TCaseColumn c) const;
    std::string_view Text(TCaseColumn c) const;
    template <typename T>
    T Number(TCaseColumn c, T fallback) const;
    std::string_view Field(TCaseColumn c, std::string_view fallback, size_t width,
                           std::string& scratch) const;

    const MRecordBase& store_;
    sqlite3_stmt* st_;
    int id_ = 0;
    int result_[kColCount] = {};  // result column of each table column, -1 when not read
    mutable std::string name_, question_, place_;
};

// What the case tree and the hit lists show of a case (node text, sort keys,
// image): the case's key and the fields of the light form.
struct TCaseSummary {
    int32_t id = 0;
    std::string name;
    std::string question;
    std::string category;
    uint8_t filled = 1;
    int16_t year = 1900;
    TCaseTime time;
    uint8_t lunar = 0;
    uint8_t leap = 0;
};
constexpr TColumnSet kSummaryColumns = ColumnBit(kColName) | ColumnBit(kColSex) | ColumnBit(kColClassName) |
                                       ColumnBit(kColDateY) | ColumnBit(kColDateNum) |
                                       ColumnBit(kColDateStyle) | ColumnBit(kColEvent);
void FillSummary(const CCaseRow& row, TCaseSummary& s);

// A visitor answers false to stop the reading.
using TRowVisitor = std::function<bool(const CCaseRow&)>;
using TRecordVisitor = std::function<bool(TRecordData&)>;
using TSummaryVisitor = std::function<bool(const TCaseSummary&)>;

// Each reads through the store's connection inside a batch (the caller's
// when one is open), with one prepared SELECT of the columns asked for per
// pass. A visitor may write through the same store; rows it adds to the
// selected range may or may not be visited. kFailed: a read error, with
// SQLite's text in the store's last error; the visitor may have seen some
// rows, so a caller that writes undoes its batch.
TReadEnd ForEachCaseRow(MRecordBase& store, const TCaseSelection& which, TColumnSet columns,
                        const TRowVisitor& visit);
TReadEnd ForEachCaseRecord(MRecordBase& store, const TCaseSelection& which, const TRecordVisitor& visit);
TReadEnd ForEachCaseSummary(MRecordBase& store, const TCaseSelection& which, const TSummaryVisitor& visit);

}  // namespace qd
