// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>
#include <string>

#include "calendar/yidate.h"
#include "cli/command.h"

namespace qd::cli {

int RunLunar(const Args& args) {
    if (args.empty() || args.size() > 2) return BadInput("usage: qdl lunar FROM [TO]");
    auto from = ParseDate(args[0]);
    if (!from) return BadInput("not a valid date: '" + args[0] + "'");
    auto to = args.size() == 2 ? ParseDate(args[1]) : from;
    if (!to) return BadInput("not a valid date: '" + args[1] + "'");
    const double last = JulianDayOfRecord(*to);
    if (last < JulianDayOfRecord(*from)) return BadInput("TO lies before FROM");

    MYiDateEx cal;
    // One buffered write per line keeps a sweep of centuries fast.
    std::string out;
    out.reserve(1 << 16);
    char line[64];
    for (TDateTime r = *from; JulianDayOfRecord(r) <= last; NextDay(r)) {
        TDateTime l;
        int length = 0;
        const bool leap = cal.LunarOfSolar(r, l, length);
        const int n = std::snprintf(line, sizeof line, " %d %d %d %d %d\n", l.year, l.month, l.day,
                                    leap ? 1 : 0, length);
        out += FormatDate(r);
        out.append(line, static_cast<size_t>(n));
        if (out.size() > (1 << 16) - 64) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kOk;
}

}  // namespace qd::cli
