// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/direct.h"

#include "engine/ganzhi.h"

namespace qd {

bool IsDirectSeparator(int dayItem) { return Mod(dayItem, 7) == 6; }

int DirectDayCycle(int dayItem) {
    const int g = dayItem / 7;          // stem group
    const int j = Mod(dayItem, 7) % 6;  // day within the group
    const int c = 2 * (g / 2);
    int stem, branch;
    if (g % 2 != 0) {
        stem = (c + 2) % 10;
        branch = (2 * j + 2) % 12;
    } else {
        stem = c + 1;
        branch = 2 * j + 1;
    }
    return Mod(CycleFromStemBranch(static_cast<int16_t>(stem), static_cast<int16_t>(branch)), 60);
}

int DirectDayItem(int dayCycle) {
    const int cycle = Mod(dayCycle, 60);
    for (int k = 0; k < kDirectDayItemCount; ++k) {
        if (!IsDirectSeparator(k) && DirectDayCycle(k) == cycle) return k;
    }
    return 0;  // not reached: every cycle has an item
}

int DirectGeneral(int generalItem) { return Mod(12 - generalItem, 12); }
int DirectGeneralItem(int general) { return Mod(12 - general, 12); }

int DirectHourCycle(int dayCycle, int hourBranch) { return RatCycle(StemOf(dayCycle), BranchOf(hourBranch)); }

std::string DirectGeneralItemText(int item) {
    const int g = DirectGeneral(item);
    return std::string(BranchName(g)) + " " + LunarMonthName(Mod(item, 12) + 1) + "将" + GeneralName(g);
}

std::string DirectDayItemText(int item) {
    if (IsDirectSeparator(item)) return kDirectSeparator;
    return CycleName(DirectDayCycle(item)) + "日";
}

int DirectBranchOfItem(int item) { return Mod(item + 1, 12); }
int DirectItemOfBranch(int branch) { return Mod(branch + 11, 12); }

std::string DirectHourItemText(int item) { return std::string(BranchName(DirectBranchOfItem(item))) + "时"; }

std::string DirectEarthItemText(int item) {
    const int b = DirectBranchOfItem(item);
    return std::string(BranchName(b)) + "、" + AnimalName(b);
}

bool FillDirectFields(TCastRequest& request, int generalItem, int dayItem, int hourItem, int earthItem,
                      std::string& message) {
    if (IsDirectSeparator(dayItem)) {
        message = kDirectNeedsDay;
        return false;
    }
    request.direct = 1;
    request.directGeneral = static_cast<uint8_t>(generalItem);
    request.directDay = static_cast<uint8_t>(dayItem);
    request.directHour = static_cast<uint8_t>(DirectBranchOfItem(hourItem));
    request.directEarth = static_cast<uint8_t>(DirectBranchOfItem(earthItem));
    return true;
}

void ApplyDirectFields(TCastState& state) {
    const TCastRequest& q = state.request;
    const int day = DirectDayCycle(q.directDay);
    state.pillars[0] = 0;
    state.pillars[1] = 0;
    state.pillars[2] = static_cast<int16_t>(day);
    state.pillars[3] = static_cast<int16_t>(DirectHourCycle(day, q.directHour));
    state.general = static_cast<uint8_t>(DirectGeneral(q.directGeneral));
    state.request.earth = static_cast<uint8_t>(BranchOf(q.directEarth));
    state.zhongQiJd = state.jieJd = state.nextJieJd = 0;
}

}  // namespace qd
