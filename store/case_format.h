// SPDX-License-Identifier: GPL-3.0-or-later
// How a case record maps onto the columns of `case_data`, and the list texts
// the columns and the category list use.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
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
using TCaseRowView = std::array<std::string_view, kCaseColumnCount>;

// The 18 values of a record, in column order; `id` is the given case id.
TCaseValues RecordToValues(const TRecordData& r, int id);
// Sets every field of the record from a row by the read-back defaults.
void RecordFromRow(const TCaseRowView& row, TRecordData& r);
void RecordFromRow(const TCaseRow& row, TRecordData& r);

// Items of a list text: split at single blanks; a piece that would start
// with a blank ends the splitting and stays one item, blank included.
std::vector<std::string> SplitList(std::string_view text);
// The first `max` items of a list text, split as SplitList splits it;
// answers how many there are. The items view `text`.
size_t ListItems(std::string_view text, std::string_view* items, size_t max);
std::string JoinList(const std::vector<std::string>& items);

// Whole-text numbers as the store reads them: an optional sign and digits
// (a decimal point too for the real form), nothing else.
bool ParseInteger(std::string_view text, long long& out);
bool ParseReal(std::string_view text, double& out);

// A number that a field of type T can hold; text that is no number, and a
// number the field cannot hold, give the fallback instead of wrapping.
template <typename T>
T NumberOr(long long v, T fallback) {
    return v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max() ? fallback
                                                                                  : static_cast<T>(v);
}
template <typename T>
T NumberOr(std::string_view text, T fallback) {
    long long v;
    return ParseInteger(text, v) ? NumberOr<T>(v, fallback) : fallback;
}
// A flag column or list item: set when empty, not a number, or the number 1.
uint8_t FlagOf(std::string_view text);

// Equal ignoring the case of Latin letters.
bool EqualNoCase(std::string_view a, std::string_view b);
// Appends `name` unless the list holds it already, ignoring letter case.
void AppendUnique(std::vector<std::string>& list, const std::string& name);

}  // namespace qd
