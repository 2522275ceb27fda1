// SPDX-License-Identifier: GPL-3.0-or-later
// Stems, branches, sexagenary cycles, phases, noble gods and month generals:
// their numbering, names and relations. Pure functions, no state.
//
// Every cycle is numbered from 1 with its last element as 0:
//   stems    1 甲 … 9 壬, 0 癸
//   branches 1 子 … 11 戌, 0 亥
//   cycles   1 甲子 … 59 壬戌, 0 癸亥 (stem n mod 10, branch n mod 12)
//   phases   0 水, 1 木, 2 火, 3 土, 4 金 (generating order)
// Odd numbers are yang. Every function reduces its arguments, so a cycle
// number of 60 reads as 0 and a branch of 12 as 0 (亥).
#pragma once

#include <string>
#include <string_view>

#include "calendar/julian.h"  // CycleFromStemBranch, shared with the calendar

namespace qd {

constexpr int kStemCount = 10;
constexpr int kBranchCount = 12;
constexpr int kCycleCount = 60;
constexpr int kPhaseCount = 5;

constexpr int kPhaseWater = 0;
constexpr int kPhaseWood = 1;
constexpr int kPhaseFire = 2;
constexpr int kPhaseEarth = 3;
constexpr int kPhaseMetal = 4;

// Position numbers of the chart.
constexpr int kPosRenYuan = 0;
constexpr int kPosGuiShen = 1;
constexpr int kPosJiangShen = 2;
constexpr int kPosDiFen = 3;

// Name tables (UTF-8), indexed by the numbers above.
extern const char* const kStemNames[kStemCount];       // "癸" "甲" … "壬"
extern const char* const kBranchNames[kBranchCount];   // "亥" "子" … "戌"
extern const char* const kAnimalNames[kBranchCount];   // by branch: "猪" "鼠" …
extern const char* const kPhaseNames[kPhaseCount];     // "水" "木" "火" "土" "金"
extern const char* const kStrengthNames[5];            // "旺" "相" "休" "囚" "死"
extern const char* const kGodNames[12];                // by god number: "贵人" …
extern const char* const kGeneralNames[kBranchCount];  // by branch: "登明" "神后" …
extern const char* const kPositionNames[4];            // "人元" "贵神" "将神" "地分"
extern const char* const kPillarBranchNames[4];        // "年支" "月支" "日支" "时支"
extern const char* const kLunarMonthNames[12];         // month 1..12 at 0..11: "正月" …
extern const char* const kTriadFigureNames[6];         // by TriadFigure result

// Non-negative remainder; every number here is read modulo its cycle.
constexpr int Mod(int a, int n) {
    const int r = a % n;
    return r < 0 ? r + n : r;
}

constexpr int StemOf(int cycle) { return Mod(cycle, kStemCount); }
constexpr int BranchOf(int cycle) { return Mod(cycle, kBranchCount); }
constexpr bool IsYang(int n) { return Mod(n, 2) == 1; }

// Name lookups; arguments are reduced, so any integer is safe.
const char* StemName(int stem);
const char* BranchName(int branch);
const char* AnimalName(int branch);
const char* PhaseName(int phase);
const char* StrengthName(int strength);
const char* GodName(int god);
const char* GeneralName(int branch);
const char* PositionName(int position);
// pillar 1 = year … 4 = hour.
const char* PillarBranchName(int pillar);
// month 1 = "正月" … 12 = "腊月".
const char* LunarMonthName(int month);
// Stem name followed by branch name, e.g. "甲子" for 1 and 60.
std::string CycleName(int cycle);

// Reverse lookups by name (the exact UTF-8 text); -1 when unknown.
int StemNumber(std::string_view name);
int BranchNumber(std::string_view name);
// "甲子" → 1, "癸亥" → 0; -1 when unknown or of mixed parity.
int CycleNumber(std::string_view name);

int StemPhase(int stem);
int BranchPhase(int branch);

// How phase x stands to phase y: (x − y) mod 5 in the generating order
// 水 木 火 土 金, so a phase generates the next and overcomes the one after.
enum TPhaseRelation {
    kSamePhase = 0,    // 比和
    kGeneratedBy = 1,  // y generates x
    kOvercomeBy = 2,   // y overcomes x
    kOvercomes = 3,    // x overcomes y
    kGenerates = 4,    // x generates y
};
TPhaseRelation PhaseRelation(int x, int y);

// Five-rat rule (五鼠遁): the cycle number branch b carries in the series
// whose 子 takes the stem the rule gives for stem s.
int RatCycle(int stem, int branch);

// Noble god number 0..11 ↔ its home branch.
int GodHomeBranch(int god);
int GodOfBranch(int branch);

// --- Branch relations --------------------------------------------------

int ClashBranch(int branch);
bool IsClash(int a, int b);
// Partner of a branch in the six harmonies / the harms; every branch has one.
int SixHarmonyPartner(int branch);
int HarmPartner(int branch);
bool IsSixHarmony(int a, int b);
bool IsHarm(int a, int b);
// Combined phase of a six-harmony pair (unordered), -1 when not a pair.
int SixHarmonyPhase(int a, int b);
// 自刑: a branch with itself, only 亥, 辰, 午, 酉.
bool IsSelfPunishment(int a, int b);
// 无礼之刑: 子 with 卯, either order.
bool IsRudePunishment(int a, int b);

// Three-branch figures, recognised regardless of order.
constexpr int kTriadNone = -1;
constexpr int kTriadFire = 0;              // 寅午戌 三合火局
constexpr int kTriadWood = 1;              // 亥卯未 三合木局
constexpr int kTriadMetal = 2;             // 巳酉丑 三合金局
constexpr int kTriadWater = 3;             // 申子辰 三合水局
constexpr int kTriadPowerPunish = 4;       // 丑戌未 恃势之刑
constexpr int kTriadUngratefulPunish = 5;  // 寅巳申 无恩之刑
int TriadFigure(int a, int b, int c);

// Stem five-combination (五合): the smaller stem number of the pair, or -1.
int StemCombination(int a, int b);

}  // namespace qd
