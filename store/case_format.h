// How a case record maps onto the columns of `case_data`, and the list texts
// the columns and the category list use.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/request.h"
#include "store/store_tables.h"

namespace qd {

// One column value as written: an integer or a UTF-8 text.
struct TColumnValue {
    bool isInteger = false;
    long long integer = 0;
    std::string text;
};

using TCaseValues = std::array<TColumnValue, kCaseColumnCount>;
// Column texts of a row in column order; a missing column or NULL is empty.
using TCaseRow = std::array<std::string, kCaseColumnCount>;

// The 18 values of a record, in column order; `id` is the given case id.
TCaseValues RecordToValues(const TRecordData& r, int id);
// Sets every field of the record from a row by the read-back defaults.
void RecordFromRow(const TCaseRow& row, TRecordData& r);

// Items of a list text: split at single blanks; a piece that would start
// with a blank ends the splitting and stays one item, blank included.
std::vector<std::string> SplitList(std::string_view text);
std::string JoinList(const std::vector<std::string>& items);

// Whole-text numbers as the store reads them: an optional sign and digits
// (a decimal point too for the real form), nothing else.
bool ParseInteger(std::string_view text, long long& out);
bool ParseReal(std::string_view text, double& out);

// Equal ignoring the case of Latin letters.
bool EqualNoCase(std::string_view a, std::string_view b);
// Appends `name` unless the list holds it already, ignoring letter case.
void AppendUnique(std::vector<std::string>& list, const std::string& name);

}  // namespace qd
