// SPDX-License-Identifier: GPL-3.0-or-later
// The five topic readings of the last cast: texts assembled from fixed
// sentences by the position records, the use position and the relations.
#pragma once

#include <string>

#include "engine/cast_state.h"

namespace qd {

enum TTopic { kTopicWealth = 0, kTopicMarriage, kTopicIllness, kTopicJob, kTopicLottery };

std::string WealthReading(const TCastState& s);
std::string MarriageReading(const TCastState& s);
std::string IllnessReading(const TCastState& s);
std::string JobReading(const TCastState& s);
std::string LotteryReading(const TCastState& s);

// The reading of a topic 0..4 and its window title ("财运预测" ...).
std::string TopicReading(const TCastState& s, int topic);
const char* TopicTitle(int topic);

}  // namespace qd
