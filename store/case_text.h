// SPDX-License-Identifier: GPL-3.0-or-later
// One-line texts of a stored case, as the case tree and the hit list show them.
#pragma once

#include <string>

#include "engine/request.h"

namespace qd {

struct TCaseSummary;

// The name padded with blanks to 8 GBK bytes, " 农" or " 公", "闰" for a leap
// lunar month, "YYYY-MM-DD HH:MM " (years without a year 0) and the question.
std::string CaseNodeText(const TRecordData& r);
std::string CaseNodeText(const TCaseSummary& c);

// The year as shown, without a year 0: 0 becomes -1, -1 becomes -2.
int DisplayYear(int year);

}  // namespace qd
