// SPDX-License-Identifier: GPL-3.0-or-later
// Prosperous phase, strength of the positions, use position and the
// relations between positions.
#pragma once

#include <array>
#include <cstdint>

#include "engine/cast.h"
#include "engine/ganzhi.h"

namespace qd {

// Strength numbers: 0 旺, 1 相 (strong), 2 休, 3 囚 (resting), 4 死.
constexpr int kStrengthWang = 0;
constexpr int kStrengthXiang = 1;
constexpr int kStrengthXiu = 2;
constexpr int kStrengthQiu = 3;
constexpr int kStrengthSi = 4;

// What the judgement and the topic readings know of each position.
struct TPositionRecord {
    uint8_t strength = 0;  // strength number
    uint8_t phase = 0;     // phase number
    uint8_t yang = 0;      // 1 = yang
    uint8_t isVoid = 0;    // 1 = its branch is void this day

    friend bool operator==(const TPositionRecord&, const TPositionRecord&) = default;
};
static_assert(sizeof(TPositionRecord) == 4, "four bytes per position");

using TPositionRecords = std::array<TPositionRecord, 4>;

// Phase of position 0..3: 人元 by its stem, the others by their branch.
int PositionPhase(const TPositions& p, int position);
// Yang flag of the stored number of position 0..3.
bool PositionIsYang(const TPositions& p, int position);

// iWang 1 ("四时节气") takes the phase of the month branch, except in a
// direct cast, which has no month; every other case weighs the positions
// ("多寡、生克").
int ProsperousPhase(const TPositions& p, int monthCycle, int iWang, bool direct);

// Strength number of a phase against the prosperous phase.
int StrengthOf(int phase, int prosperous);

// 0 人元, 1 贵神, 2 将神, 3 地分, by the yin-yang pattern.
int UsePosition(const TPositions& p);

// PhaseRelation of the phases of positions x and y.
TPhaseRelation PositionRelation(const TPositions& p, int x, int y);

// Records in position order; 人元 is never void.
TPositionRecords PositionRecords(const TPositions& p, int prosperous, int dayCycle);

}  // namespace qd
