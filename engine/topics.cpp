// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/topics.h"

#include "engine/ganzhi.h"
#include "engine/topic_texts.h"

namespace qd {

namespace {

using namespace topic_tables;

// 0 strong (旺相), 1 resting (休囚), 2 dead (死).
int StrengthGroup(int strength) { return strength <= 1 ? 0 : strength <= 3 ? 1 : 2; }

const TPositionRecord& Use(const TCastState& s) { return s.records[s.usePosition % 4]; }

TPhaseRelation Relation(const TCastState& s, int x, int y) {
    return PhaseRelation(s.records[x].phase, s.records[y].phase);
}

// One of the two overcomes the other.
bool AtOdds(TPhaseRelation relation) { return relation == kOvercomeBy || relation == kOvercomes; }

void AddDigits(bool (&set)[10], const uint8_t* digits) {
    for (; *digits != 0xFF; ++digits) set[*digits] = true;
}

}  // namespace

std::string WealthReading(const TCastState& s) {
    const TPositionRecord& cai = s.records[kPosJiangShen];
    std::string t = kWealthHead;
    t += kWealthStrength[StrengthGroup(cai.strength)];
    if (cai.isVoid) t += kWealthVoid;
    t += kWealthYang[cai.yang ? 1 : 0];
    t += kWealthPhase[cai.phase % kPhaseCount];
    if (Relation(s, kPosJiangShen, kPosGuiShen) == kOvercomes ||
        Relation(s, kPosRenYuan, kPosJiangShen) == kGenerates) {
        t += kWealthAbroad;
    }
    t += kWealthWithRenYuan[AtOdds(Relation(s, kPosJiangShen, kPosRenYuan)) ? 0 : 1];
    t += kWealthWithDiFen[AtOdds(Relation(s, kPosJiangShen, kPosDiFen)) ? 0 : 1];
    return t;
}

std::string MarriageReading(const TCastState& s) {
    std::string t = kMarriageHead;
    t += kMarriageStrength[StrengthGroup(Use(s).strength)];
    if (Use(s).isVoid) t += kMarriageVoid;
    t += kMarriageCouple[AtOdds(Relation(s, kPosJiangShen, kPosGuiShen)) ? 0 : 1];
    return t;
}

std::string IllnessReading(const TCastState& s) {
    std::string t = kIllnessHead;
    t += kIllnessStrength[StrengthGroup(Use(s).strength)];
    if (Use(s).isVoid) t += kIllnessVoid;
    t += kIllnessPhase[Use(s).phase % kPhaseCount];
    t += kIllnessPhaseTail;
    // 干 overcoming or generating 方 spends its own strength.
    const TPhaseRelation d = Relation(s, kPosRenYuan, kPosDiFen);
    t += kIllnessCure[d == kOvercomes || d == kGenerates ? 0 : 1];
    return t;
}

std::string JobReading(const TCastState& s) {
    std::string t = kJobHead;
    t += kJobStrength[StrengthGroup(Use(s).strength)];
    if (Use(s).isVoid) t += kJobVoid;
    t += kJobPhase[Use(s).phase % kPhaseCount];
    return t;
}

std::string LotteryReading(const TCastState& s) {
    const TPositions& p = s.positions;
    // Stem and branch each position offers: -1 where it has none.
    const int stems[4] = {StemOf(p.renYuan), StemOf(p.guiShen), StemOf(p.jiangShen), -1};
    const int branches[4] = {-1, BranchOf(p.guiShen), BranchOf(p.jiangShen), BranchOf(p.diFen)};

    int count[10] = {};
    for (int i = 0; i < 4; ++i) {
        bool set[10] = {};
        if (stems[i] >= 0) set[kStemDigit[stems[i]]] = true;
        if (branches[i] >= 0) set[kBranchDigit[branches[i]]] = true;
        const int phase = s.records[i].phase % kPhaseCount;
        AddDigits(set, kPhaseDigitsFirst[phase]);
        AddDigits(set, kPhaseDigitsSecond[phase]);
        for (int d = 0; d < 10; ++d) count[d] += set[d] ? 1 : 0;
    }

    const bool odd = Use(s).yang != 0;
    const bool big = Use(s).strength <= 1;
    std::string t = kLotteryHead;
    t += odd ? "为单数，" : "为双数，";
    t += big ? "为大数" : "为小数";
    t += "。\r\n\r\n2：尾数：";

    // Three passes, each taking the most frequent digit of the asked
    // parity; 0 only starts each scan as the candidate to beat.
    bool printed = false;
    for (int pass = 0; pass < 3; ++pass) {
        int best = 0;
        for (int d = 1; d <= 9; ++d) {
            if (count[d] != 0 && IsYang(d) == odd && count[d] > count[best]) best = d;
        }
        if (count[best] > 0 && IsYang(best) == odd) {
            t += std::to_string(best) + "、";
            count[best] = 0;
            printed = true;
        }
    }
    if (printed) {
        t.resize(t.size() - std::string_view("、").size());
        t += "。(按可能性大小排列)";
    }
    return t;
}

std::string TopicReading(const TCastState& s, int topic) {
    switch (topic) {
        case kTopicWealth: return WealthReading(s);
        case kTopicMarriage: return MarriageReading(s);
        case kTopicIllness: return IllnessReading(s);
        case kTopicJob: return JobReading(s);
        case kTopicLottery: return LotteryReading(s);
        default: return {};
    }
}

const char* TopicTitle(int topic) { return topic >= 0 && topic < 5 ? kTopicTitles[topic] : ""; }

}  // namespace qd
