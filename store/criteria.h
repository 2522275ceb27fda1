// SPDX-License-Identifier: GPL-3.0-or-later
// The conditions of a conditional case search: written by the search dialog,
// read by MRecordBase::FindCases. Kept by the main window from one search to
// the next; a value-initialised record (all zero) is the state at start.
#pragma once

#include <cstdint>
#include <string>

namespace qd {

struct TSearchCriteria {
    std::string name;      // UTF-8, at most 20 characters in the dialog
    std::string category;  // UTF-8, at most 20 characters
    std::string question;  // UTF-8, at most 200 characters
    std::string comment;   // UTF-8, at most 40 characters
    uint8_t sex = 0;       // 1 男, 0 女; recorded only, never compared
    int16_t yearFrom = 0;  // astronomical numbering (year 0 is 1 BC)
    int16_t yearTo = 0;
    int16_t province = 0;  // province index, -1 for all provinces
    uint8_t nameMode = 0;  // 0 not used, 1 contained, 2 whole (ignoring Latin case)
    uint8_t categoryMode = 0;
    uint8_t questionGiven = 0;
    uint8_t commentGiven = 0;
    uint8_t sexGiven = 0;  // cleared by every search
    uint8_t yearsGiven = 0;
};

}  // namespace qd
