// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/cast.h"

#include "engine/engine_tables.h"
#include "engine/ganzhi.h"

namespace qd {

int ChooseMonthGeneral(int choice, int monthCycle, double clockJd, double zhongQiJd, int iYueJiang) {
    if (choice != 0) return BranchOf(choice);
    const int m = BranchOf(monthCycle);
    int k = m;
    // Before its 中气 a moment still takes the previous month's general.
    if (iYueJiang == 0 && clockJd < zhongQiJd) k = (m + 11) % 12;
    return Mod(15 - k, 12);  // 寅 month 亥, 卯 month 戌, … 丑 month 子
}

bool IsDaytime(int nobleMode, int hourBranch) {
    if (nobleMode == kNobleByHour) {
        const int h = BranchOf(hourBranch);
        return h >= 4 && h <= 9;
    }
    return nobleMode == kNobleDay;
}

int NobleBranch(int dayStem, bool daytime, int iGui) {
    return tables::kNobleBranch[iGui != 0 ? 1 : 0][daytime ? 0 : 1][StemOf(dayStem)];
}

int GodDirection(int dayStem, bool daytime) {
    const int s = StemOf(dayStem);
    const bool jiaToGeng = s >= 1 && s <= 7;
    return jiaToGeng == daytime ? 1 : -1;
}

int GodOnEarth(int dayStem, int hourBranch, int earth, int nobleMode, int iGui) {
    const bool day = IsDaytime(nobleMode, hourBranch);
    const int n = NobleBranch(dayStem, day, iGui);
    const int diff = Mod(BranchOf(earth) - n, 12);
    return Mod(diff * GodDirection(dayStem, day) + 24, 12);
}

int GeneralOnEarth(int hourBranch, int general, int earth) {
    return (Mod(BranchOf(earth) - BranchOf(hourBranch), 12) + BranchOf(general)) % 12;
}

TPositions CastPositions(int dayCycle, int hourCycle, int general, int earth, int nobleMode, int iGui) {
    const int s = StemOf(dayCycle);
    const int h = BranchOf(hourCycle);
    const int e = BranchOf(earth);
    const int g = GodOnEarth(s, h, e, nobleMode, iGui);
    TPositions p;
    p.renYuan = static_cast<uint8_t>(StemOf(RatCycle(s, e)));
    p.guiShen = static_cast<uint8_t>(RatCycle(s, GodHomeBranch(g)));
    p.jiangShen = static_cast<uint8_t>(RatCycle(s, GeneralOnEarth(h, general, e)));
    p.diFen = static_cast<uint8_t>(e);
    return p;
}

TRederived RederiveStems(const TPositions& p) {
    TRederived r;
    r.renYuan = static_cast<uint8_t>(StemOf(RatCycle(p.renYuan, p.diFen)));
    r.shenGan = static_cast<uint8_t>(RatCycle(StemOf(p.guiShen), BranchOf(p.guiShen)));
    r.jiangGan = static_cast<uint8_t>(RatCycle(StemOf(p.jiangShen), BranchOf(p.jiangShen)));
    return r;
}

}  // namespace qd
