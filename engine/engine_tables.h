// SPDX-License-Identifier: GPL-3.0-or-later
// Data tables behind the engine's vocabulary, cast and spirit functions.
// Internal to engine/: callers use the functions of ganzhi.h, cast.h and
// spirits.h, not these arrays.
#pragma once

#include <cstdint>

namespace qd::tables {

// Home branch by god number.
extern const uint8_t kGodHome[12];
// Phase by branch number.
extern const uint8_t kBranchPhase[12];
// Strength number by PhaseRelation(phase, prosperous phase).
extern const uint8_t kStrengthByRelation[5];
// Pair lists: the partner of an even entry is the next one, of an odd entry
// the previous one.
extern const uint8_t kSixHarmonyPairs[12];
// Combined phase by pair (index in kSixHarmonyPairs / 2).
extern const uint8_t kSixHarmonyPhase[6];
extern const uint8_t kHarmPairs[12];
// Branches that punish themselves.
extern const uint8_t kSelfPunish[4];
// Three-branch figures by product and sum, 亥 counted as 12.
struct TTriadKey {
    int product;
    int sum;
};
extern const TTriadKey kTriadKeys[6];

// Noble branch by day stem number, [iGui][night].
extern const uint8_t kNobleBranch[2][2][10];

// Spirits. Tables by month are indexed by month number − 1 (寅 month first).
extern const char* const kTianDeCode[12];  // "1s" stem / "2b" branch codes
extern const char* const kTianDeHeCode[12];
extern const uint8_t kYueDeStem[12];
extern const uint8_t kYueDeHeStem[12];
extern const uint8_t kTianSheCycle[4];  // by season
extern const uint8_t kJieLuBranch[10];  // by day stem
extern const uint8_t kFeiLianBranch[12];
extern const uint8_t kSiQiuBranch[4];  // by season
extern const uint8_t kSiMuBranch[4];   // by season
// Day-branch group: 0 亥卯未, 1 寅午戌, 2 巳酉丑, 3 申子辰.
extern const uint8_t kDayBranchGroup[12];
extern const uint8_t kYiMaBranch[4];    // by group
extern const uint8_t kJieShaBranch[4];  // by group
// Spirit names in test order, each with its trailing comma.
extern const char* const kSpiritNames[23];
// Labels of 四大空亡 by decade 0..5.
extern const char* const kFourVoidLabels[6];

}  // namespace qd::tables
