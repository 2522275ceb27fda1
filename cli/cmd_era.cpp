// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdint>
#include <cstdio>
#include <limits>

#include "calendar/eras.h"
#include "cli/command.h"

namespace qd::cli {

// Prints the era names in force in an astronomical year, as the calendar
// window titles that year; an empty line when the table has none.
int RunEra(const Args& args) {
    if (args.size() != 1) return BadInput("usage: qdl era YEAR");
    auto year = ParseInt(args[0], std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    if (!year) return BadInput("not a year: '" + args[0] + "'");
    std::printf("%s\n", obb_class().EraNames(static_cast<int32_t>(*year)).c_str());
    return kOk;
}

}  // namespace qd::cli
