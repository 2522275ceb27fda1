// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstdio>
#include <iostream>
#include <string>

#include "calendar/yidate.h"
#include "cli/command.h"

namespace qd::cli {

int RunSolar(const Args& args) {
    Args rest;
    bool leap = false;
    for (const std::string& a : args) {
        if (a == "--leap")
            leap = true;
        else
            rest.push_back(a);
    }
    if (rest.size() != 3) return BadInput("usage: qdl solar Y M D [--leap]");
    auto y = ParseInt(rest[0], -4712, 9999);
    auto m = ParseInt(rest[1], 1, 13);
    auto d = ParseInt(rest[2], 1, 30);
    if (!y || !m || !d) return BadInput("not a lunar date: " + rest[0] + " " + rest[1] + " " + rest[2]);

    MYiDateEx cal;
    TDateTime solar;
    std::string message;
    const TDateTime lunar{static_cast<int16_t>(*y), static_cast<int16_t>(*m), static_cast<int16_t>(*d), 12,
                          0};
    if (!cal.SolarOfLunar(lunar, leap, solar, message)) {
        std::cerr << message << '\n';
        return kRefused;
    }
    std::printf("%s\n", FormatDate(solar).c_str());
    return kOk;
}

}  // namespace qd::cli
