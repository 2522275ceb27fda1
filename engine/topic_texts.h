// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed sentences of the topic readings. Internal to engine/: callers use
// the functions of topics.h. Tables "by strength group" hold strong (旺相),
// resting (休囚), dead (死); tables "by phase" follow 水 木 火 土 金.
#pragma once

#include <cstdint>

namespace qd::topic_tables {

extern const char* const kTopicTitles[5];

// Wealth (财爻 = 将神).
extern const char* const kWealthHead;
extern const char* const kWealthStrength[3];
extern const char* const kWealthVoid;
extern const char* const kWealthYang[2];  // yin, yang
extern const char* const kWealthPhase[5];
extern const char* const kWealthAbroad;
extern const char* const kWealthWithRenYuan[2];  // at odds, in harmony
extern const char* const kWealthWithDiFen[2];    // at odds, in harmony

// Marriage.
extern const char* const kMarriageHead;
extern const char* const kMarriageStrength[3];
extern const char* const kMarriageVoid;
extern const char* const kMarriageCouple[2];  // at odds, in harmony

// Illness.
extern const char* const kIllnessHead;
extern const char* const kIllnessStrength[3];
extern const char* const kIllnessVoid;
extern const char* const kIllnessPhase[5];  // followed by kIllnessPhaseTail
extern const char* const kIllnessPhaseTail;
extern const char* const kIllnessCure[2];  // 方泄干, 干得方

// Seeking a job.
extern const char* const kJobHead;
extern const char* const kJobStrength[3];
extern const char* const kJobVoid;
extern const char* const kJobPhase[5];

// Lottery digits.
extern const uint8_t kStemDigit[10];    // by stem number
extern const uint8_t kBranchDigit[12];  // by branch number
// Phase digit sets by phase, 0xFF-terminated.
extern const uint8_t kPhaseDigitsFirst[5][4];
extern const uint8_t kPhaseDigitsSecond[5][3];
extern const char* const kLotteryHead;

}  // namespace qd::topic_tables
