// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/chart.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "base/encoding.h"
#include "engine/ganzhi.h"
#include "engine/spirits.h"

namespace qd {

namespace {

constexpr const char* kChartTitle = "霁岚术课式：\r\n";
constexpr const char* kLabels[4] = {"人元", "贵神", "将神", "地分"};

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buf[256];
    const int n = std::snprintf(buf, sizeof buf, format, args...);
    if (n < 0) return {};
    return std::string(buf, std::min(static_cast<size_t>(n), sizeof buf - 1));
}

std::string CycleNames(int cycle) {
    return std::string(StemName(StemOf(cycle))) + BranchName(BranchOf(cycle));
}

// Branch of a clock hour: odd hours belong to the next double-hour, so 23
// and 0 are both 子.
int HourBranch(int hour) {
    int h = hour;
    if (h % 2 != 0) h = (h + 1) % 24;
    return (h / 2 + 1) % 12;
}

}  // namespace

std::string GregorianLine(const TDateTime& r, std::string_view basis) {
    std::string line = Format("起课公历：%d年%d月%d日%d时%d分(", r.year, r.month, r.day, r.hour, r.minute);
    line += basis;
    line += ")。\r\n";
    return line;
}

std::string LunarLine(const TDateTime& lunar, bool leap, int monthLength) {
    std::string line = "起课农历：";
    line += NumeralText(lunar.year) + "年";
    std::string month = lunar.month == 1 ? "正月 " : NumeralText(lunar.month) + "月 ";
    line += (leap ? " 闰" : " ") + month;
    if (lunar.day >= 1 && lunar.day <= 10) line += "初";
    line += NumeralText(lunar.day) + "日";
    line += " ";
    line += BranchName(HourBranch(lunar.hour));
    line += "时";
    line += monthLength >= 30 ? "（大月）" : "（小月）";
    return line;
}

std::string HeaderText(const TCastState& s) {
    const TCastRequest& q = s.request;
    std::string h = "求测人:" + ReadGbkField(q.name) + "。事宜:" + ReadGbkField(q.question) + "\r\n";
    h += "预测地:" + ReadGbkField(q.place);
    if (q.direct != 0) return h;
    if (s.settings.idate == 0) {
        h += "\r\n" + GregorianLine(s.castMoment, "北京时间");
    } else {
        h += Format("(经度:%0.1f,纬度:%0.1f)\r\n", static_cast<double>(q.longitude),
                    static_cast<double>(q.latitude));
        h += GregorianLine(s.clockMoment, "北京时间");
        h += GregorianLine(s.castMoment, s.settings.idate == 1 ? "真太阳时" : "地方时");
    }
    h += LunarLine(s.lunar, q.leap != 0, s.lunarMonthLength);
    return h;
}

std::string PillarLine(const TCastState& s) {
    std::string line = "干支:";
    if (s.request.direct != 0) {
        line += "　";
    } else {
        line += CycleNames(s.pillars[0]) + "年";
        line += "  " + CycleNames(s.pillars[1]) + "月";
    }
    line += "  " + CycleNames(s.pillars[2]) + "日";
    line += "  " + CycleNames(s.pillars[3]) + "时";
    return line;
}

std::string GeneralVoidLine(const TCastState& s) {
    const TDayVoids v = DayVoids(s.pillars[2]);
    std::string line = "月将:";
    line += BranchName(s.general);
    line += "  日空(";
    line += BranchName(v.first);
    line += "-";
    line += BranchName(v.second);
    line += "、" + CycleNames(v.head) + "旬)  四大空亡";
    line += v.label;
    line += "\r\n";
    return line;
}

std::string PositionLabel(const TCastState& s, int position) {
    const TPositions& p = s.positions;
    std::string label = std::string(PositionName(position)) + "：";
    switch (position) {
        case kPosRenYuan: label += StemName(p.renYuan); break;
        case kPosGuiShen:
            label += CycleNames(p.guiShen) + "(" + GodName(GodOfBranch(BranchOf(p.guiShen))) + ")";
            break;
        case kPosJiangShen:
            label += CycleNames(p.jiangShen) + "(" + GeneralName(BranchOf(p.jiangShen)) + ")";
            break;
        default: label += BranchName(p.diFen); break;
    }
    if (s.usePosition == position) label += " 用";
    return label;
}

std::string PadToGbkBytes(std::string text, size_t width) {
    const size_t length = GbkLength(text);
    if (length < width) text.append(width - length, ' ');
    return text;
}

std::string PositionLines(const TCastState& s) {
    const bool direct = s.request.direct != 0;
    std::string lines;
    for (int i = 0; i < 4; ++i) {
        lines += PadToGbkBytes(PositionLabel(s, i), kPositionLabelWidth);
        lines += direct ? DirectPositionText(i, s.positions, s.prosperous)
                        : PositionText(i, s.positions, s.prosperous, TPillarSpan(s.pillars));
        lines += "\r\n";
    }
    return lines;
}

void WriteChart(const TCastState& s, IRichTextSink& view) {
    view.Clear();
    view.SetDefaultAttributes();
    view.SetParagraph(TAlign::Left, s.settings.leftpos);
    view.AddBlock(HeaderText(s));

    view.SetColor(kRed);
    view.SetBold(true);
    view.AddBlock(PillarLine(s));
    view.AddBlock(GeneralVoidLine(s));

    // Still bold from here on.
    view.SetColor(kBlue);
    view.AddBlock(kChartTitle);
    view.AddBlock(PositionLines(s));
}

void EmphasiseLabels(IRichTextSink& view) {
    const int length = view.TextLength();
    int start = kEmphasisStart;
    for (const char* label : kLabels) {
        const int p = view.Find(label, start, length);
        if (p < 0) break;
        start = p;
        // The label and its full-width colon.
        view.Select(p, static_cast<int>(CharCount(label)) + 1);
        view.SetSelectionColor(kRed);
    }
    view.Select(0, 0);
    view.FocusAndScrollToTop();
}

}  // namespace qd
