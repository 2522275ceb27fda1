// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>

#include "calendar/julian.h"
#include "cli/command.h"

namespace qd::cli {

namespace {
// -4712-01-01 00:00 to 9999-12-31 23:59, the calendar's range.
constexpr double kMinJd = 0.0;
constexpr double kMaxJd = 5373484.49;
}  // namespace

int RunDate(const Args& args) {
    if (args.size() != 1) return BadInput("usage: qdl date JD");
    auto jd = ParseDouble(args[0]);
    if (!jd) return BadInput("not a number: '" + args[0] + "'");
    if (*jd < kMinJd || *jd > kMaxJd) return BadInput("Julian day out of range 0 to 5373484.49");
    std::printf("%s\n", FormatDateTime(RecordOfJulianDay(*jd)).c_str());
    return kOk;
}

}  // namespace qd::cli
