// The judgement section written after the four position lines, and the
// position records it fills for the topic readings.
#pragma once

#include "base/richtext.h"
#include "engine/cast_state.h"

namespace qd {

// Adds the judgement section to the view and fills state.records.
void WriteJudgement(TCastState& state, IRichTextSink& view);

}  // namespace qd
