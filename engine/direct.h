// SPDX-License-Identifier: GPL-3.0-or-later
// The direct cast by day and hour (日时起课): the item lists of its dialog,
// the day, hour, general and earth that the chosen items stand for, and what
// the engine takes from the direct fields of a request.
#pragma once

#include <string>

#include "engine/cast_state.h"
#include "engine/request.h"

namespace qd {

// The day list: ten stem groups of six days, each followed by a separator.
constexpr int kDirectDayItemCount = 70;
constexpr int kDirectGeneralItemCount = 12;
constexpr const char* kDirectSeparator = "----------";
constexpr const char* kDirectNeedsDay = "请选择一个干支！";

bool IsDirectSeparator(int dayItem);
// Day cycle of a day-list item (甲子 for item 0, 癸亥 for item 68). A
// separator item is not a day; the rule still answers a number for it.
int DirectDayCycle(int dayItem);
// The item that shows a day cycle.
int DirectDayItem(int dayCycle);
// General item k stands for general (12 − k) mod 12: item 0 亥, item 11 子.
int DirectGeneral(int generalItem);
int DirectGeneralItem(int general);
// The hour pillar of a day: the five-rat rule from the day stem.
int DirectHourCycle(int dayCycle, int hourBranch);

// Item texts of the dialog's four lists.
std::string DirectGeneralItemText(int item);  // "亥 正月将登明"
std::string DirectDayItemText(int item);      // "甲子日" or the separator
std::string DirectHourItemText(int item);     // "子时" for item 0
std::string DirectEarthItemText(int item);    // "子、鼠" for item 0
// Items of the hour and earth lists stand for branch (item + 1) mod 12.
int DirectBranchOfItem(int item);
int DirectItemOfBranch(int branch);

// The dialog's confirmation: false with kDirectNeedsDay in `message` when a
// separator is chosen, else the direct fields are written and the flag set.
bool FillDirectFields(TCastRequest& request, int generalItem, int dayItem, int hourItem, int earthItem,
                      std::string& message);

// Day and hour pillars, month general and earth of a direct cast, taken
// from the request's direct fields. A direct cast has no year or month, so
// those pillars are 0.
void ApplyDirectFields(TCastState& state);

}  // namespace qd
