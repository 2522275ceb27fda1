// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/ganzhi.h"

#include "engine/engine_tables.h"

namespace qd {

namespace {

int FindName(const char* const* table, int count, std::string_view name) {
    for (int i = 0; i < count; ++i) {
        if (name == table[i]) return i;
    }
    return -1;
}

// Partner in a list where entries 2k and 2k+1 form a pair; -1 if absent.
int PairIndex(const uint8_t* pairs, int branch) {
    for (int i = 0; i < 12; ++i) {
        if (pairs[i] == branch) return i;
    }
    return -1;
}

int PartnerIn(const uint8_t* pairs, int branch) {
    const int i = PairIndex(pairs, BranchOf(branch));
    if (i < 0) return -1;
    return pairs[(i % 2 == 0) ? i + 1 : i - 1];
}

}  // namespace

const char* StemName(int stem) { return kStemNames[StemOf(stem)]; }
const char* BranchName(int branch) { return kBranchNames[BranchOf(branch)]; }
const char* AnimalName(int branch) { return kAnimalNames[BranchOf(branch)]; }
const char* PhaseName(int phase) { return kPhaseNames[Mod(phase, kPhaseCount)]; }
const char* StrengthName(int strength) { return kStrengthNames[Mod(strength, 5)]; }
const char* GodName(int god) { return kGodNames[Mod(god, 12)]; }
const char* GeneralName(int branch) { return kGeneralNames[BranchOf(branch)]; }
const char* PositionName(int position) { return kPositionNames[Mod(position, 4)]; }
const char* PillarBranchName(int pillar) { return kPillarBranchNames[Mod(pillar - 1, 4)]; }
const char* LunarMonthName(int month) { return kLunarMonthNames[Mod(month - 1, 12)]; }

std::string CycleName(int cycle) {
    std::string s = StemName(StemOf(cycle));
    s += BranchName(BranchOf(cycle));
    return s;
}

int StemNumber(std::string_view name) { return FindName(kStemNames, kStemCount, name); }
int BranchNumber(std::string_view name) { return FindName(kBranchNames, kBranchCount, name); }

int CycleNumber(std::string_view name) {
    // Both names are single characters of the same byte length.
    const size_t half = name.size() / 2;
    if (half == 0 || name.size() % 2 != 0) return -1;
    const int s = StemNumber(name.substr(0, half));
    const int b = BranchNumber(name.substr(half));
    if (s < 0 || b < 0 || IsYang(s) != IsYang(b)) return -1;
    return Mod(CycleFromStemBranch(static_cast<int16_t>(s), static_cast<int16_t>(b)), kCycleCount);
}

int StemPhase(int stem) {
    int s = StemOf(stem);
    if (IsYang(s)) s = (s + 1) % kStemCount;
    return s / 2;
}

int BranchPhase(int branch) { return tables::kBranchPhase[BranchOf(branch)]; }

TPhaseRelation PhaseRelation(int x, int y) { return static_cast<TPhaseRelation>(Mod(x - y, kPhaseCount)); }

int RatCycle(int stem, int branch) {
    int t = StemOf(stem);
    if (t == 0) t = 10;
    if (t > 5) t -= 5;
    const int start = 12 * t - 11;  // 甲子, 丙子, 戊子, 庚子, 壬子
    return (start + Mod(BranchOf(branch) - 1, kBranchCount)) % kCycleCount;
}

int GodHomeBranch(int god) { return tables::kGodHome[Mod(god, 12)]; }

int GodOfBranch(int branch) {
    const int b = BranchOf(branch);
    for (int g = 0; g < 12; ++g) {
        if (tables::kGodHome[g] == b) return g;
    }
    return -1;
}

int ClashBranch(int branch) { return BranchOf(branch + 6); }
bool IsClash(int a, int b) { return ClashBranch(a) == BranchOf(b); }

int SixHarmonyPartner(int branch) { return PartnerIn(tables::kSixHarmonyPairs, branch); }
int HarmPartner(int branch) { return PartnerIn(tables::kHarmPairs, branch); }
bool IsSixHarmony(int a, int b) { return SixHarmonyPartner(a) == BranchOf(b); }
bool IsHarm(int a, int b) { return HarmPartner(a) == BranchOf(b); }

int SixHarmonyPhase(int a, int b) {
    if (!IsSixHarmony(a, b)) return -1;
    return tables::kSixHarmonyPhase[PairIndex(tables::kSixHarmonyPairs, BranchOf(a)) / 2];
}

bool IsSelfPunishment(int a, int b) {
    if (BranchOf(a) != BranchOf(b)) return false;
    for (uint8_t s : tables::kSelfPunish) {
        if (s == BranchOf(a)) return true;
    }
    return false;
}

bool IsRudePunishment(int a, int b) {
    const int x = BranchOf(a), y = BranchOf(b);
    return (x == 1 && y == 4) || (x == 4 && y == 1);
}

int TriadFigure(int a, int b, int c) {
    // 亥 must count as 12, or it would zero the product.
    auto v = [](int n) {
        const int r = BranchOf(n);
        return r == 0 ? 12 : r;
    };
    const int p = v(a) * v(b) * v(c);
    const int s = v(a) + v(b) + v(c);
    for (int i = 0; i < 6; ++i) {
        if (tables::kTriadKeys[i].product == p && tables::kTriadKeys[i].sum == s) return i;
    }
    return kTriadNone;
}

int StemCombination(int a, int b) {
    const int x = StemOf(a), y = StemOf(b);
    if (Mod(x - y, kStemCount) != 5) return -1;
    return x < y ? x : y;
}

}  // namespace qd
