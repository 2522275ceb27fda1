// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the case-row reader: any column texts must read
// without a crash or a sanitizer report (numbers that do not fit their
// fields included), and a record read, written and read again must write
// the same values again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/case_format.h"

namespace {

// The values as a row of texts, as the database hands them back.
qd::TCaseRow AsRow(const qd::TCaseValues& values) {
    qd::TCaseRow row;
    for (size_t i = 0; i < values.size(); ++i)
        row[i] = values[i].isInteger ? std::to_string(values[i].integer) : values[i].text;
    return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Columns are separated by the unit separator 0x1F.
    qd::TCaseRow row;
    size_t column = 0;
    for (size_t i = 0; i < size && column < row.size(); ++i) {
        if (data[i] == 0x1F)
            ++column;
        else
            row[column] += static_cast<char>(data[i]);
    }
    qd::TRecordData r;
    qd::RecordFromRow(row, r);
    const qd::TCaseRow once = AsRow(qd::RecordToValues(r, r.id));
    qd::TRecordData again;
    qd::RecordFromRow(once, again);
    const qd::TCaseRow twice = AsRow(qd::RecordToValues(again, again.id));
    if (once != twice) __builtin_trap();
    return 0;
}
