// SPDX-License-Identifier: GPL-3.0-or-later
// Name tables and relation lists of the stem-branch vocabulary.
#include "engine/engine_tables.h"
#include "engine/ganzhi.h"

namespace qd {

const char* const kStemNames[kStemCount] = {"癸", "甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬"};

const char* const kBranchNames[kBranchCount] = {"亥", "子", "丑", "寅", "卯", "辰",
                                                "巳", "午", "未", "申", "酉", "戌"};

const char* const kAnimalNames[kBranchCount] = {"猪", "鼠", "牛", "虎", "兔", "龙",
                                                "蛇", "马", "羊", "猴", "鸡", "狗"};

const char* const kPhaseNames[kPhaseCount] = {"水", "木", "火", "土", "金"};

const char* const kStrengthNames[5] = {"旺", "相", "休", "囚", "死"};

const char* const kGodNames[12] = {"贵人", "腾蛇", "朱雀", "六合", "勾陈", "青龙",
                                   "天空", "白虎", "太常", "玄武", "太阴", "天后"};

const char* const kGeneralNames[kBranchCount] = {"登明", "神后", "大吉", "功曹", "太冲", "天罡",
                                                 "太乙", "胜光", "小吉", "传送", "从魁", "河魁"};

const char* const kPositionNames[4] = {"人元", "贵神", "将神", "地分"};

const char* const kPillarBranchNames[4] = {"年支", "月支", "日支", "时支"};

const char* const kLunarMonthNames[12] = {"正月", "二月", "三月", "四月", "五月", "六月",
                                          "七月", "八月", "九月", "十月", "冬月", "腊月"};

const char* const kTriadFigureNames[6] = {"三合火局", "三合木局", "三合金局",
                                          "三合水局", "恃势之刑", "无恩之刑"};

namespace tables {

//                          贵人 腾蛇 朱雀 六合 勾陈 青龙 天空 白虎 太常 玄武 太阴 天后
const uint8_t kGodHome[12] = {2, 6, 7, 4, 5, 3, 11, 9, 8, 1, 10, 0};

//                              亥 子 丑 寅 卯 辰 巳 午 未 申 酉 戌
const uint8_t kBranchPhase[12] = {0, 0, 3, 1, 1, 3, 2, 2, 3, 4, 4, 3};

// same 旺, generated 相, overcome 死, overcomes 囚, generates 休
const uint8_t kStrengthByRelation[5] = {0, 1, 4, 3, 2};

// 子丑 寅亥 卯戌 辰酉 巳申 午未
const uint8_t kSixHarmonyPairs[12] = {1, 2, 3, 0, 4, 11, 5, 10, 6, 9, 7, 8};
const uint8_t kSixHarmonyPhase[6] = {3, 1, 2, 4, 0, 3};

// 子未 丑午 寅巳 卯辰 申亥 酉戌
const uint8_t kHarmPairs[12] = {1, 8, 2, 7, 3, 6, 4, 5, 9, 0, 10, 11};

// 亥 辰 午 酉
const uint8_t kSelfPunish[4] = {0, 5, 7, 10};

// In the order of the kTriad* numbers.
const TTriadKey kTriadKeys[6] = {
    {231, 21},  // 寅午戌
    {384, 24},  // 亥卯未
    {120, 18},  // 巳酉丑
    {45, 15},   // 申子辰
    {176, 21},  // 丑戌未
    {162, 18},  // 寅巳申
};

}  // namespace tables
}  // namespace qd
