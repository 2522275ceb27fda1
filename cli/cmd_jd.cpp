// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>

#include "calendar/julian.h"
#include "cli/command.h"

namespace qd::cli {

int RunJd(const Args& args) {
    if (args.size() != 2) return BadInput("usage: qdl jd YYYY-MM-DD HH:MM");
    auto r = ParseDate(args[0]);
    if (!r) return BadInput("not a valid date: '" + args[0] + "'");
    if (!ParseTime(args[1], *r)) return BadInput("not a valid time: '" + args[1] + "'");
    std::printf("%.6f\n", JulianDayOfRecord(*r));
    return kOk;
}

}  // namespace qd::cli
