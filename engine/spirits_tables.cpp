// SPDX-License-Identifier: GPL-3.0-or-later
// Spirit tables. Month tables start with the 寅 month; seasons are
// spring, summer, autumn, winter.
#include "engine/engine_tables.h"

namespace qd::tables {

// "1s": stem s, "2b": branch b.
// 丁 申 壬 辛 亥 甲 癸 寅 丙 乙 巳 庚
const char* const kTianDeCode[12] = {"14", "29", "19", "18", "20", "11", "10", "23", "13", "12", "26", "17"};
// 壬 巳 丁 丙 寅 己 戊 亥 辛 庚 申 乙
const char* const kTianDeHeCode[12] = {"19", "26", "14", "13", "23", "16",
                                       "15", "20", "18", "17", "29", "12"};

// 丙 甲 壬 庚, repeating
const uint8_t kYueDeStem[12] = {3, 1, 9, 7, 3, 1, 9, 7, 3, 1, 9, 7};
// 辛 己 丁 乙, repeating
const uint8_t kYueDeHeStem[12] = {8, 6, 4, 2, 8, 6, 4, 2, 8, 6, 4, 2};

// 戊寅 甲午 戊申 甲子
const uint8_t kTianSheCycle[4] = {15, 31, 45, 1};

// by day stem 癸 甲 乙 丙 丁 戊 己 庚 辛 壬: 丑 申 未 辰 卯 子 酉 午 巳 寅
const uint8_t kJieLuBranch[10] = {2, 9, 8, 5, 4, 1, 10, 7, 6, 3};

// 戌 巳 午 未 申 酉 辰 亥 子 丑 寅 卯
const uint8_t kFeiLianBranch[12] = {11, 6, 7, 8, 9, 10, 5, 0, 1, 2, 3, 4};

// 丑 辰 未 戌
const uint8_t kSiQiuBranch[4] = {2, 5, 8, 11};
// 未 戌 丑 辰
const uint8_t kSiMuBranch[4] = {8, 11, 2, 5};

//                                 亥 子 丑 寅 卯 辰 巳 午 未 申 酉 戌
const uint8_t kDayBranchGroup[12] = {0, 3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1};
// groups 亥卯未 寅午戌 巳酉丑 申子辰
const uint8_t kYiMaBranch[4] = {6, 9, 0, 3};    // 巳 申 亥 寅
const uint8_t kJieShaBranch[4] = {9, 0, 3, 6};  // 申 亥 寅 巳

const char* const kSpiritNames[23] = {"天德,", "月德,", "天德合,", "月德合,", "天赦,", "天喜,",
                                      "天医,", "天马,", "驿马,",   "丧门,",   "吊客,", "病符,",
                                      "丧车,", "截路,", "六丁,",   "六甲,",   "飞廉,", "劫煞,",
                                      "生气,", "月破,", "月厌,",   "四丘,",   "四墓,"};

// decades 甲子 甲戌 甲申 甲午 甲辰 甲寅
const char* const kFourVoidLabels[6] = {"(水)", "(无)", "(金)", "(水)", "(无)", "(金)"};

}  // namespace qd::tables
