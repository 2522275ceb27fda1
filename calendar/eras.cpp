// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/eras.h"

namespace qd {

std::string EraNames(std::span<const TEraRecord> table, int32_t year) {
    std::string text;
    for (const TEraRecord& r : table) {
        // Widened: the last record runs far past the 16-bit range.
        if (year < r.start || year >= int32_t(r.start) + r.years) continue;
        if (!text.empty()) text += "；";
        text += "[";
        text += r.dynasty;
        text += "] ";
        text += r.title;
        text += " ";
        text += r.personalName;
        text += " ";
        text += r.era;
        text += std::to_string(year - r.start + r.offset + 1);
        text += "年";
    }
    return text;
}

}  // namespace qd
