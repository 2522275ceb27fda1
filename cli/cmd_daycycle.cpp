// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>

#include "calendar/julian.h"
#include "cli/command.h"
#include "engine/ganzhi.h"

namespace qd::cli {

int RunDayCycle(const Args& args) {
    if (args.size() != 1) return BadInput("usage: qdl daycycle YYYY-MM-DD");
    auto r = ParseDate(args[0]);
    if (!r) return BadInput("not a valid date: '" + args[0] + "'");
    const int cycle = DayCycle(*r);
    std::printf("%d %s\n", cycle, CycleName(cycle).c_str());
    return kOk;
}

}  // namespace qd::cli
