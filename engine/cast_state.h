// SPDX-License-Identifier: GPL-3.0-or-later
// Everything one cast decides, kept by the engine until the next cast. The
// chart, the judgement section and the topic readings read it.
#pragma once

#include <cstdint>

#include "calendar/datetime.h"
#include "engine/cast.h"
#include "engine/request.h"
#include "engine/strength.h"

namespace qd {

// The cast settings of dat/set.ini, section "set".
struct TCastSettings {
    uint8_t idate = 0;      // 0 北京时间, 1 真太阳时, 2 地方时
    int32_t leftpos = 0;    // first-line indent of the chart paragraphs
    uint8_t iYueJiang = 1;  // 0 按中气起, otherwise 按节入起
    uint8_t iGui = 0;       // 0 甲戊庚牛羊, 1 甲羊戊庚牛
    uint8_t iWang = 0;      // 1 四时节气, otherwise 多寡、生克
};

struct TCastState {
    TCastRequest request{};   // copy of the last request
    TPositions positions;     // 人元 stem, 贵神 cycle, 将神 cycle, 地分 branch
    uint8_t usePosition = 0;  // 0 人元, 1 贵神, 2 将神, 3 地分
    uint8_t prosperous = 0;   // phase number that is 旺
    uint8_t general = 0;      // month general, branch number
    TRederived rederived;     // 人元再遁, 神干再遁, 将干再遁
    TDateTime castMoment;     // civil moment after the time-basis correction
    TDateTime lunar;          // lunar year, month, day; hour and minute copied
    int16_t pillars[4] = {};  // year, month, day, hour cycle numbers
    TDateTime clockMoment;    // civil moment before the correction (Beijing time)
    double clockJd = 0;
    double zhongQiJd = 0;  // 中气 of the clock moment's solar month
    double jieJd = 0;      // the 节 that opened it
    double nextJieJd = 0;  // the next 节
    int16_t lunarMonthLength = 0;
    TPositionRecords records{};  // filled by the judgement section
    TCastSettings settings;
};

}  // namespace qd
