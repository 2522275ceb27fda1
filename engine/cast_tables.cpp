// SPDX-License-Identifier: GPL-3.0-or-later
// Where 贵人 stands, by the day stem.
#include "engine/engine_tables.h"

namespace qd::tables {

// [iGui][night][day stem number]; stems in number order 癸 甲 乙 丙 丁 戊 己 庚 辛 壬.
// clang-format off
const uint8_t kNobleBranch[2][2][10] = {
    // 甲戊庚牛羊
    {{6, 2, 1, 0, 0, 2, 1, 2, 7, 6},     // day:   巳 丑 子 亥 亥 丑 子 丑 午 巳
     {4, 8, 9, 10, 10, 8, 9, 8, 3, 4}},  // night: 卯 未 申 酉 酉 未 申 未 寅 卯
    // 甲羊戊庚牛: only 甲 changes
    {{6, 8, 1, 0, 0, 2, 1, 2, 7, 6},
     {4, 2, 9, 10, 10, 8, 9, 8, 3, 4}},
};
// clang-format on

}  // namespace qd::tables
