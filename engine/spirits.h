// SPDX-License-Identifier: GPL-3.0-or-later
// Spirits (神煞) of the positions, the position text of the chart line and
// the void branches (旬空) of the day.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "engine/cast.h"

namespace qd {

// Pillars as the engine keeps them: year, month, day, hour cycle numbers.
using TPillarSpan = std::span<const int16_t, 4>;

// Names of the spirits on position 0..3, in table order, each followed by
// ","; empty when none. Reads the year, month and day pillars.
std::string SpiritsOf(int position, const TPositions& p, TPillarSpan pillars);

// Chart text of a position: phase, " + " or " - ", strength word, two
// blanks, the spirits with the final comma turned into a blank, "\r\n".
std::string PositionText(int position, const TPositions& p, int prosperous, TPillarSpan pillars);
// The same for a direct cast, which has no month and so no spirits.
std::string DirectPositionText(int position, const TPositions& p, int prosperous);

struct TDayVoids {
    uint8_t first = 0;  // void branches
    uint8_t second = 0;
    uint8_t head = 0;        // cycle number that opens the decade (甲子, 甲戌, …)
    const char* label = "";  // 四大空亡: "(水)", "(金)" or "(无)"
};

TDayVoids DayVoids(int dayCycle);
bool IsVoid(int branch, int dayCycle);

}  // namespace qd
