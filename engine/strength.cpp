// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/strength.h"

#include "engine/engine_tables.h"
#include "engine/ganzhi.h"
#include "engine/spirits.h"

namespace qd {

namespace {

int StoredNumber(const TPositions& p, int position) {
    switch (position) {
        case kPosRenYuan: return p.renYuan;
        case kPosGuiShen: return p.guiShen;
        case kPosJiangShen: return p.jiangShen;
        default: return p.diFen;
    }
}

// The rule "多寡、生克": the phase no other present phase overcomes; of two
// such neighbours the more numerous, or at equal counts the generating one.
int PhaseByCount(const TPositions& p) {
    int cnt[kPhaseCount] = {};
    for (int i = 0; i < 4; ++i) ++cnt[PositionPhase(p, i)];
    int found[2] = {-1, -1};
    int n = 0;
    for (int ph = 0; ph < kPhaseCount; ++ph) {
        const bool opposed = cnt[(ph + 3) % kPhaseCount] > 0;
        if (cnt[ph] > 0 && !opposed && n < 2) found[n++] = ph;
    }
    if (n == 1) return found[0];
    const int a = found[0], b = found[1];
    if (cnt[a] == cnt[b]) return PhaseRelation(a, b) == kGenerates ? a : b;
    return cnt[a] > cnt[b] ? a : b;
}

}  // namespace

int PositionPhase(const TPositions& p, int position) {
    if (position == kPosRenYuan) return StemPhase(p.renYuan);
    return BranchPhase(BranchOf(StoredNumber(p, position)));
}

bool PositionIsYang(const TPositions& p, int position) { return IsYang(StoredNumber(p, position)); }

int ProsperousPhase(const TPositions& p, int monthCycle, int iWang, bool direct) {
    const int byCount = PhaseByCount(p);
    if (iWang == 1 && !direct) return BranchPhase(BranchOf(monthCycle));
    return byCount;
}

int StrengthOf(int phase, int prosperous) {
    return tables::kStrengthByRelation[PhaseRelation(phase, prosperous)];
}

int UsePosition(const TPositions& p) {
    int yang = 0;
    for (int i = 0; i < 4; ++i) yang += PositionIsYang(p, i) ? 1 : 0;
    if (yang == 1 || yang == 3) {
        // The odd one out: the single yang among yin, or the single yin.
        const bool wanted = yang == 1;
        for (int i = 0; i < 4; ++i) {
            if (PositionIsYang(p, i) == wanted) return i;
        }
    }
    return yang == 4 ? kPosGuiShen : kPosJiangShen;
}

TPhaseRelation PositionRelation(const TPositions& p, int x, int y) {
    return PhaseRelation(PositionPhase(p, x), PositionPhase(p, y));
}

TPositionRecords PositionRecords(const TPositions& p, int prosperous, int dayCycle) {
    TPositionRecords r{};
    for (int i = 0; i < 4; ++i) {
        const int phase = PositionPhase(p, i);
        r[i].phase = static_cast<uint8_t>(phase);
        r[i].strength = static_cast<uint8_t>(StrengthOf(phase, prosperous));
        r[i].yang = PositionIsYang(p, i) ? 1 : 0;
        r[i].isVoid = i != kPosRenYuan && IsVoid(BranchOf(StoredNumber(p, i)), dayCycle) ? 1 : 0;
    }
    return r;
}

}  // namespace qd
