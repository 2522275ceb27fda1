// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>

#include "calendar/yidate.h"
#include "cli/command.h"
#include "engine/ganzhi.h"

namespace qd::cli {

int RunPillars(const Args& args) {
    if (args.size() != 2) return BadInput("usage: qdl pillars YYYY-MM-DD HH:MM");
    auto r = ParseDate(args[0]);
    if (!r) return BadInput("not a valid date: '" + args[0] + "'");
    if (!ParseTime(args[1], *r)) return BadInput("not a valid time: '" + args[1] + "'");
    MYiDateEx cal;
    const TPillars p = cal.Pillars(*r);
    std::printf("%s %s %s %s\n", CycleName(p.year).c_str(), CycleName(p.month).c_str(),
                CycleName(p.day).c_str(), CycleName(p.hour).c_str());
    return kOk;
}

}  // namespace qd::cli
