// SPDX-License-Identifier: GPL-3.0-or-later
// The chart text of a cast: header with the person, the question, the place
// and the moment in both calendars, the pillar line, the month general with
// the voids, the title and the four position lines, each with its colour and
// weight; and the emphasis of the four position labels once the judgement
// section is written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/richtext.h"
#include "calendar/datetime.h"
#include "engine/cast_state.h"

namespace qd {

// Label parts of the position lines are padded to this many GBK bytes.
constexpr size_t kPositionLabelWidth = 20;
// The label search skips the header, where name and question stand.
constexpr int kEmphasisStart = 40;

// "起课公历：%d年%d月%d日%d时%d分(<basis>)。\r\n"
std::string GregorianLine(const TDateTime& r, std::string_view basis);
// "起课农历：二○○四年 五月 初十日 子时（大月）", without a line break.
std::string LunarLine(const TDateTime& lunar, bool leap, int monthLength);
// The header block: name, question and place; for an ordinary cast also the
// coordinates (when a solar time is used), the Gregorian lines and the lunar
// line. No final line break (the view adds one).
std::string HeaderText(const TCastState& s);
// "干支:甲申年  庚午月  甲辰日  壬申时"; a direct cast has no year and month.
std::string PillarLine(const TCastState& s);
// "月将:子  日空(寅-卯、甲午旬)  四大空亡(水)\r\n"
std::string GeneralVoidLine(const TCastState& s);
// "贵神：丙寅(青龙) 用" and the like, unpadded.
std::string PositionLabel(const TCastState& s, int position);
// Appends blanks until the text is `width` GBK bytes long; never cuts.
std::string PadToGbkBytes(std::string text, size_t width);
// The four position lines, each followed by an empty line.
std::string PositionLines(const TCastState& s);

// Clears the view and writes the chart up to the position lines.
void WriteChart(const TCastState& s, IRichTextSink& view);
// Colours the first "人元", "贵神", "将神", "地分" found from kEmphasisStart
// on (each search continuing from the previous find), then puts the caret
// at the top.
void EmphasiseLabels(IRichTextSink& view);

}  // namespace qd
