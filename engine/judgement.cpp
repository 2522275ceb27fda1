// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/judgement.h"

#include <initializer_list>

#include "engine/ganzhi.h"
#include "engine/judgement_texts.h"
#include "engine/strength.h"

namespace qd {

namespace {

using namespace judgement_tables;

// Fills the "%s" of a fixed format in order; the formats are ours, so a
// plain substitution is all they need.
std::string Fill(std::string_view format, std::initializer_list<std::string_view> args) {
    std::string out;
    auto arg = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

// 0 strong (旺相), 1 resting (休囚), 2 dead (死).
int StrengthGroup(int strength) { return strength <= 1 ? 0 : strength <= 3 ? 1 : 2; }

int PositionBranch(const TPositions& p, int position) {
    switch (position) {
        case kPosGuiShen: return BranchOf(p.guiShen);
        case kPosJiangShen: return BranchOf(p.jiangShen);
        default: return BranchOf(p.diFen);
    }
}

// Month code as the key rows store it: 13 − G, brought back into 1..12.
int MonthCode(int general) {
    const int code = 13 - BranchOf(general);
    return code > 12 ? code - 12 : code;
}

int YinYangKey(const TPositionRecords& r) {
    int yang = 0;
    for (const TPositionRecord& x : r) yang += x.yang ? 1 : 0;
    switch (yang) {
        case 0: return 1;
        case 4: return 2;
        case 2: return 3;
        case 1: return 4;
        default: return 5;
    }
}

TPhaseRelation Relation(const TPositionRecords& r, int x, int y) {
    return PhaseRelation(r[x].phase, r[y].phase);
}

std::string PositionAnalysis(const TCastState& s, int i) {
    std::string p = "\r\n△";
    p += PositionName(i);
    p += "解:";
    if (i >= 1) p += PillarRelations(s, i);
    p += "\r\n";
    for (int j = 0; j < 4; ++j) {
        const int k = kAnalysisPartners[i][j / 2];
        const TPhaseRelation rel = Relation(s.records, i, k);
        // Even j speaks of generating the partner, odd j of overcoming it.
        if ((j % 2 == 0 && rel == kGenerates) || (j % 2 == 1 && rel == kOvercomes)) {
            p += "    ";
            p += JudgementText(31 + 10 * i + j);
            p += "\r\n";
        }
    }
    return p;
}

}  // namespace

const char* JudgementText(int key) {
    if (key >= 101 && key < 101 + kLessonCount) return kLessonTexts[key - 101];
    for (size_t i = 0; i < kKeyedTextCount; ++i) {
        if (kKeyedTexts[i].key == key) return kKeyedTexts[i].text;
    }
    return "";
}

int LessonRow(int general, int dayCycle, int hourBranch, int earth) {
    const int code = MonthCode(general);
    const int day = Mod(dayCycle, kCycleCount);
    const int hour = BranchOf(hourBranch);
    const int e = BranchOf(earth);
    for (int row = 0; row < kLessonCount; ++row) {
        const TLessonKey& k = kLessonKeys[row];
        if (k.monthCode == code && k.day == day && k.hour == hour && k.earth == e) return row + 1;
    }
    return 0;
}

std::string FormatLesson(std::string_view raw) {
    std::string_view title = raw, meaning, example;
    bool hasExample = false;
    const size_t first = raw.find('#');
    if (first != std::string_view::npos && first > 0) {
        title = raw.substr(0, first);
        meaning = raw.substr(first + 1);
        const size_t second = meaning.find('#');
        if (second != std::string_view::npos && second > 0) {
            example = meaning.substr(0, second);
            meaning = meaning.substr(second + 1);
            hasExample = true;
        }
    }
    std::string t(title);
    t += "。";
    t += meaning;
    if (hasExample) {
        t += "（";
        t += example;
        t += "）";
    }
    return t;
}

std::string LessonText(int general, int dayCycle, int hourBranch, int earth) {
    const int row = LessonRow(general, dayCycle, hourBranch, earth);
    if (row == 0) return {};
    return FormatLesson(kLessonTexts[row - 1]);
}

std::string PillarRelations(const TCastState& state, int position) {
    if (position < kPosGuiShen || position > kPosDiFen) return {};
    const int b = PositionBranch(state.positions, position);
    const char* name = PositionName(position);
    // A direct cast has no year or month pillar: only the day and the hour.
    const int firstPillar = state.request.direct == 1 ? 2 : 0;

    std::string r;
    for (int p = firstPillar; p < 4; ++p) {
        const int c = BranchOf(state.pillars[p]);
        int rel = -1;
        if (IsSelfPunishment(b, c))
            rel = kRelSelf;
        else if (IsClash(b, c))
            rel = kRelClash;
        else if (IsSixHarmony(b, c))
            rel = kRelHarmony;
        else if (IsHarm(b, c))
            rel = kRelHarm;
        else if (IsRudePunishment(b, c))
            rel = kRelRude;
        if (rel >= 0) {
            r += Fill(kPillarRelationFormats[rel],
                      {BranchName(b), BranchName(c), name, PillarBranchName(p + 1)});
        }
    }
    for (int j = firstPillar; j < 4; ++j) {
        for (int k = j + 1; k < 4; ++k) {
            const int cj = BranchOf(state.pillars[j]);
            const int ck = BranchOf(state.pillars[k]);
            const int figure = TriadFigure(cj, ck, b);
            if (figure == kTriadNone) continue;
            r += Fill(kTriadFormats[figure], {BranchName(cj), BranchName(ck), BranchName(b),
                                              PillarBranchName(j + 1), PillarBranchName(k + 1), name});
        }
    }
    if (!r.empty() && r.back() == ',') r.replace(r.size() - 1, 1, "。");
    return r;
}

std::string CombinationTexts(const TPositions& p) {
    const int gui = p.guiShen, jiang = p.jiangShen;
    const bool cond[4] = {
        StemCombination(StemOf(gui), p.renYuan) >= 0,
        StemCombination(StemOf(jiang), StemOf(gui)) >= 0 || IsSixHarmony(BranchOf(jiang), BranchOf(gui)),
        StemCombination(StemOf(jiang), p.renYuan) >= 0,
        IsSixHarmony(BranchOf(jiang), p.diFen),
    };
    std::string t;
    for (int i = 0; i < 4; ++i) {
        if (cond[i]) t += kCombinationTexts[i];
    }
    return t;
}

std::string CompositionText(const TPositions& p) {
    uint8_t count[kPhaseCount] = {};
    for (int i = 0; i < 4; ++i) ++count[PositionPhase(p, i)];
    for (const TComposition& c : kCompositions) {
        bool same = true;
        for (int ph = 0; ph < kPhaseCount; ++ph) same = same && c.count[ph] == count[ph];
        if (!same) continue;
        if (!c.bare) return c.text;
        return std::string("※") + c.text + "\r\n";
    }
    return {};
}

std::string JudgementBody(const TCastState& s) {
    const TPositionRecords& r = s.records;
    std::string t = "※";
    t += JudgementText(YinYangKey(r));
    t += "\r\n\r\n";

    const std::string lesson = LessonText(s.general, s.pillars[2], BranchOf(s.pillars[3]), s.positions.diFen);
    if (!lesson.empty()) t += "※" + lesson + "\r\n\r\n";

    t += kUseStrengthTexts[StrengthGroup(r[s.usePosition % 4].strength)];

    struct TPair {
        int x, y, key;
    };
    static constexpr TPair kOvercoming[] = {
        {kPosRenYuan, kPosDiFen, 11},     {kPosGuiShen, kPosJiangShen, 12}, {kPosDiFen, kPosRenYuan, 13},
        {kPosJiangShen, kPosGuiShen, 14}, {kPosGuiShen, kPosRenYuan, 15},
    };
    for (const TPair& pr : kOvercoming) {
        if (Relation(r, pr.x, pr.y) == kOvercomes) t += std::string("★") + JudgementText(pr.key) + "\r\n\r\n";
    }

    // 地分 generating 人元, 人元 generating 地分, or the same phase.
    const TPhaseRelation rel = Relation(r, kPosDiFen, kPosRenYuan);
    const int key = rel == kGenerates ? 21 : rel == kGeneratedBy ? 22 : rel == kSamePhase ? 23 : 0;
    if (key != 0) t += std::string("☆") + JudgementText(key) + "\r\n\r\n";

    t += CombinationTexts(s.positions);

    const std::string composition = CompositionText(s.positions);
    if (!composition.empty()) t += composition + "\r\n";

    for (int i = 0; i < 4; ++i) t += PositionAnalysis(s, i) + "\r\n";
    return t;
}

void WriteJudgement(TCastState& state, IRichTextSink& view) {
    view.SetColor(kBlue);
    view.SetBold(true);
    view.AddBlock("课盘解析:\r\n");

    view.SetColor(kGreen);
    const TRederived& d = state.rederived;
    std::string stems = "人元再遁:";
    stems += StemName(d.renYuan);
    stems += "，神干再遁:";
    stems += StemName(StemOf(d.shenGan));
    stems += "，将干再遁:";
    stems += StemName(StemOf(d.jiangGan));
    stems += "\r\n";
    view.AddBlock(stems);

    state.records = PositionRecords(state.positions, state.prosperous, state.pillars[2]);
    view.AddBlock(JudgementBody(state));
}

}  // namespace qd
