// SPDX-License-Identifier: GPL-3.0-or-later
// The four-position cast: month general, day or night, the noble god on the
// earth position, the four positions and their re-derived stems.
#pragma once

#include <cstdint>

namespace qd {

// Noble modes of the cast request.
constexpr int kNobleByHour = 0;  // "按卯酉时分"
constexpr int kNobleDay = 1;     // "起白天贵神"
constexpr int kNobleNight = 2;   // "起夜晚贵神"

// The four positions as the engine keeps them.
struct TPositions {
    uint8_t renYuan = 0;    // stem number
    uint8_t guiShen = 0;    // cycle number; its branch is the god's home branch
    uint8_t jiangShen = 0;  // cycle number; its branch is the general's branch
    uint8_t diFen = 0;      // branch number (the earth position)

    friend bool operator==(const TPositions&, const TPositions&) = default;
};

// The re-derived stems (再遁).
struct TRederived {
    uint8_t renYuan = 0;   // 人元再遁, stem number
    uint8_t shenGan = 0;   // 神干再遁, cycle number
    uint8_t jiangGan = 0;  // 将干再遁, cycle number

    friend bool operator==(const TRederived&, const TRederived&) = default;
};

// Month general as a branch number. choice 1..12 picks a general directly
// (12 is 亥); choice 0 derives it from the month pillar: by the month itself
// when iYueJiang ≠ 0, else by the previous month until the 中气 is reached.
int ChooseMonthGeneral(int choice, int monthCycle, double clockJd, double zhongQiJd, int iYueJiang);

// Mode 1 is day, mode 0 decides by the hour (卯 to 申 is day), anything
// else is night.
bool IsDaytime(int nobleMode, int hourBranch);

// Branch where 贵人 stands for a day stem; iGui 1 moves 甲 to 未 by day.
int NobleBranch(int dayStem, bool daytime, int iGui);

// +1 or −1: the sense in which the twelve gods follow 贵人.
int GodDirection(int dayStem, bool daytime);

// Number of the god standing on the earth branch.
int GodOnEarth(int dayStem, int hourBranch, int earth, int nobleMode, int iGui);

// Branch of the general that stands on the earth branch when the month
// general is laid on the hour branch (月将加时).
int GeneralOnEarth(int hourBranch, int general, int earth);

TPositions CastPositions(int dayCycle, int hourCycle, int general, int earth, int nobleMode, int iGui);

// The god's and the general's branches are those their positions carry, so
// the positions alone determine the re-derived stems.
TRederived RederiveStems(const TPositions& p);

}  // namespace qd
