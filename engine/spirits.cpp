// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/spirits.h"

#include "engine/engine_tables.h"
#include "engine/ganzhi.h"
#include "engine/strength.h"

namespace qd {

namespace {

enum TSpirit {
    kTianDe,
    kYueDe,
    kTianDeHe,
    kYueDeHe,
    kTianShe,
    kTianXi,
    kTianYi,
    kTianMa,
    kYiMa,
    kSangMen,
    kDiaoKe,
    kBingFu,
    kSangChe,
    kJieLu,
    kLiuDing,
    kLiuJia,
    kFeiLian,
    kJieSha,
    kShengQi,
    kYuePo,
    kYueYan,
    kSiQiu,
    kSiMu,
};

// What a position offers to the tests; -1 for what it lacks.
struct TOffer {
    int stem = -1;
    int branch = -1;
    int cycle = -1;
};

TOffer OfferOf(int position, const TPositions& p) {
    TOffer o;
    switch (position) {
        case kPosRenYuan: o.stem = StemOf(p.renYuan); break;
        case kPosGuiShen:
        case kPosJiangShen: {
            const int c = position == kPosGuiShen ? p.guiShen : p.jiangShen;
            o.stem = StemOf(c);
            o.branch = BranchOf(c);
            o.cycle = Mod(c, kCycleCount);
            break;
        }
        default: o.branch = BranchOf(p.diFen); break;
    }
    return o;
}

// A "1s" code matches stem s, a "2b" code branch b.
bool CodeMatches(const char* code, const TOffer& o) {
    const int digit = code[1] - '0';
    if (code[0] == '1') return o.stem == digit;
    return o.branch == digit;
}

std::string Sign(const TPositions& p, int position) { return PositionIsYang(p, position) ? " + " : " - "; }

std::string TextHead(int position, const TPositions& p, int prosperous) {
    const int phase = PositionPhase(p, position);
    std::string t = PhaseName(phase);
    t += Sign(p, position);
    t += StrengthName(StrengthOf(phase, prosperous));
    t += "  ";
    return t;
}

}  // namespace

std::string SpiritsOf(int position, const TPositions& p, TPillarSpan pillars) {
    using namespace tables;
    const TOffer o = OfferOf(position, p);
    const int b = BranchOf(pillars[1]);
    const int m = b > 2 ? b - 2 : b + 10;  // 寅 month 1 … 丑 month 12
    const int mi = m - 1;
    const int season = mi / 3;
    const int yearBranch = BranchOf(pillars[0]);
    const int dayStem = StemOf(pillars[2]);
    const int group = kDayBranchGroup[BranchOf(pillars[2])];

    bool hit[23] = {};
    hit[kTianDe] = CodeMatches(kTianDeCode[mi], o);
    hit[kYueDe] = o.stem == kYueDeStem[mi];
    hit[kTianDeHe] = CodeMatches(kTianDeHeCode[mi], o);
    hit[kYueDeHe] = o.stem == kYueDeHeStem[mi];
    hit[kTianShe] = o.cycle == kTianSheCycle[season];
    hit[kTianXi] = o.branch == (m + 10) % 12;
    hit[kTianYi] = o.branch == (m + 1) % 12;
    const int t = m >= 7 ? m - 6 : m;
    hit[kTianMa] = o.branch == (2 * t + 5) % 12;
    hit[kYiMa] = o.branch == kYiMaBranch[group];
    // Only the first of the three mourning spirits counts.
    if (o.branch == (yearBranch + 2) % 12)
        hit[kSangMen] = true;
    else if (o.branch == (yearBranch + 10) % 12)
        hit[kDiaoKe] = true;
    else if (o.branch == (yearBranch + 11) % 12)
        hit[kBingFu] = true;
    hit[kSangChe] = o.branch == (3 * season + 10) % 12;
    hit[kJieLu] = o.branch == kJieLuBranch[dayStem];
    hit[kLiuDing] = o.stem == 4;
    hit[kLiuJia] = o.stem == 1;
    hit[kFeiLian] = o.branch == kFeiLianBranch[mi];
    hit[kJieSha] = o.branch == kJieShaBranch[group];
    hit[kShengQi] = o.branch == m % 12;
    hit[kYuePo] = o.branch == (m + 8) % 12;
    hit[kYueYan] = o.branch == (12 - m) % 12;
    hit[kSiQiu] = o.branch == kSiQiuBranch[season];
    hit[kSiMu] = o.branch == kSiMuBranch[season];

    std::string s;
    for (int i = 0; i < 23; ++i) {
        if (hit[i]) s += kSpiritNames[i];
    }
    return s;
}

std::string PositionText(int position, const TPositions& p, int prosperous, TPillarSpan pillars) {
    std::string t = TextHead(position, p, prosperous);
    t += SpiritsOf(position, p, pillars);
    if (t.back() == ',') t.back() = ' ';
    t += "\r\n";
    return t;
}

std::string DirectPositionText(int position, const TPositions& p, int prosperous) {
    return TextHead(position, p, prosperous) + "\r\n";
}

TDayVoids DayVoids(int dayCycle) {
    const int e = Mod(dayCycle - 1, kCycleCount);  // 癸亥 is the 60th day
    const int x = e / 10;
    TDayVoids v;
    v.first = static_cast<uint8_t>(Mod(11 - 2 * x, 12));
    v.second = static_cast<uint8_t>(Mod(12 - 2 * x, 12));
    v.head = static_cast<uint8_t>(10 * x + 1);
    v.label = tables::kFourVoidLabels[x];
    return v;
}

bool IsVoid(int branch, int dayCycle) {
    const TDayVoids v = DayVoids(dayCycle);
    const int b = BranchOf(branch);
    return b == v.first || b == v.second;
}

}  // namespace qd
