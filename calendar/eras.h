// SPDX-License-Identifier: GPL-3.0-or-later
// Historical era names: the dynasty, ruler and era in force in a year, for
// every parallel dynasty, down to the present civil era.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qd {

// One reign period. `offset` is the number of the era's first year minus one
// (an era continued from a predecessor starts above 1). Texts are UTF-8 and
// may be empty.
struct TEraRecord {
    int16_t start;  // astronomical year
    int16_t years;
    int16_t offset;
    const char* dynasty;
    const char* title;
    const char* personalName;
    const char* era;
};

// The compiled-in table, in order of start year (era_table.cpp, generated).
std::span<const TEraRecord> EraTable();

// All records of `table` in force in astronomical year `year`, each as
// "[dynasty] title name era<n>年", joined by "；"; empty when none.
std::string EraNames(std::span<const TEraRecord> table, int32_t year);

// Lookup over the compiled-in table; holds no state.
class obb_class {
public:
    std::string EraNames(int32_t year) const { return qd::EraNames(EraTable(), year); }
};

}  // namespace qd
