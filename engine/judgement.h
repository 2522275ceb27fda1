// SPDX-License-Identifier: GPL-3.0-or-later
// The judgement section written after the four position lines, and the
// position records it fills for the topic readings.
#pragma once

#include <string>
#include <string_view>

#include "base/richtext.h"
#include "engine/cast_state.h"

namespace qd {

// Adds the judgement section to the view and fills state.records.
void WriteJudgement(TCastState& state, IRichTextSink& view);

// The body of the section after the re-derived stems (everything added as
// the last block). Reads state.records, so fill them first.
std::string JudgementBody(const TCastState& state);

// Text of the sentence table: keys 1..64 and the lessons 101..164 (raw,
// "title#example#meaning"); "" for a key without a text.
const char* JudgementText(int key);

// Row 1..64 of the first lesson whose keys match, or 0.
int LessonRow(int general, int dayCycle, int hourBranch, int earth);
// The lesson as the section prints it, "title。meaning（example）", or "".
std::string LessonText(int general, int dayCycle, int hourBranch, int earth);
// Rearranges a raw lesson text into title + "。" + meaning + "（example）";
// without a usable "#" the whole text is the title, without a second one
// the bracketed example is left out.
std::string FormatLesson(std::string_view raw);

// Relations of position 1..3 with the pillar branches: two-branch relations
// pillar by pillar, then three-branch figures by pairs of pillars; a final
// "," becomes "。". A direct cast knows only its day and hour pillars.
std::string PillarRelations(const TCastState& state, int position);

// The combination texts whose condition holds, in table order.
std::string CombinationTexts(const TPositions& p);

// The phase-composition text ("※" … "\r\n"), or "" when the composition has
// none.
std::string CompositionText(const TPositions& p);

}  // namespace qd
