// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>

#include "calendar/yidate.h"
#include "cli/command.h"

namespace qd::cli {

int RunTerms(const Args& args) {
    if (args.size() != 1) return BadInput("usage: qdl terms YEAR");
    auto year = ParseInt(args[0], -4712, 9999);
    if (!year) return BadInput("not a year: '" + args[0] + "'");
    MYiDateEx cal;
    for (const TSolarTermEntry& e : cal.SolarTermsOfYear(static_cast<int>(*year))) {
        std::printf("%d %s %s\n", e.index, kSolarTermNames[e.index], FormatDateTime(e.when).c_str());
    }
    return kOk;
}

}  // namespace qd::cli
