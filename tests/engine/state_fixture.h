// SPDX-License-Identifier: GPL-3.0-or-later
// A cast as the engine leaves it before the judgement section: pillars given
// by name, positions cast from day, hour, general and earth (noble by the
// hour, iGui 0, the 多寡、生克 rule).
#pragma once

#include "engine/cast.h"
#include "engine/cast_state.h"
#include "engine/ganzhi.h"
#include "engine/strength.h"

namespace qd::testing_support {

inline TCastState MakeCastState(const char* year, const char* month, const char* day, const char* hour,
                                const char* general, const char* earth) {
    TCastState s;
    s.pillars[0] = static_cast<int16_t>(CycleNumber(year));
    s.pillars[1] = static_cast<int16_t>(CycleNumber(month));
    s.pillars[2] = static_cast<int16_t>(CycleNumber(day));
    s.pillars[3] = static_cast<int16_t>(RatCycle(StemOf(s.pillars[2]), BranchNumber(hour)));
    s.general = static_cast<uint8_t>(BranchNumber(general));
    s.positions = CastPositions(s.pillars[2], s.pillars[3], s.general, BranchNumber(earth), kNobleByHour, 0);
    s.prosperous = static_cast<uint8_t>(ProsperousPhase(s.positions, s.pillars[1], 0, false));
    s.usePosition = static_cast<uint8_t>(UsePosition(s.positions));
    s.rederived = RederiveStems(s.positions);
    return s;
}

}  // namespace qd::testing_support
