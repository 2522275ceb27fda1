// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed texts of the judgement section: the keyed sentence table, the
// sixty-four lessons with their key rows, the phase-composition texts, the
// combination and use-strength texts and the pillar relation formats.
// Internal to engine/: callers use the functions of judgement.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qd::judgement_tables {

struct TKeyedText {
    int key;
    const char* text;
};
// Keys 1..64 of the sentence table (the lessons 101..164 are kLessonTexts).
extern const TKeyedText kKeyedTexts[];
extern const size_t kKeyedTextCount;

// One lesson key row: month code (general (13 − code) mod 12), day cycle,
// hour branch, earth branch.
struct TLessonKey {
    uint8_t monthCode;
    uint8_t day;
    uint8_t hour;
    uint8_t earth;
};
constexpr int kLessonCount = 64;
extern const TLessonKey kLessonKeys[kLessonCount];
// "title#example#meaning", row 1 first.
extern const char* const kLessonTexts[kLessonCount];

// Positions per phase, indexed by phase number (水 木 火 土 金).
struct TComposition {
    uint8_t count[5];
    const char* text;
    // Three-and-one texts are stored without "※" and the line break.
    bool bare;
};
// Four of one, two and two, two-one-one, three-and-one, in test order.
// Compositions not listed (三木一金, 三土一火, 三金一土, the other
// two-one-one mixes, four different phases) say nothing.
constexpr int kCompositionCount = 32;
extern const TComposition kCompositions[kCompositionCount];

// The two partners of each position in its analysis (position numbers): the
// first is read for the texts 31 + 10·i + j with j = 0, 1, the second for
// j = 2, 3. Text 30 of the sentence table spells the same digits.
extern const uint8_t kAnalysisPartners[4][2];

// 神干合, 将神合, 将干合, 将方合, each with its "\r\n\r\n".
extern const char* const kCombinationTexts[4];
// By strength group: strong, resting, dead.
extern const char* const kUseStrengthTexts[3];

// Two-branch relations of a position with one pillar (branch, pillar
// branch, position name, pillar name).
enum TPillarRelation { kRelSelf, kRelClash, kRelHarmony, kRelHarm, kRelRude };
extern const char* const kPillarRelationFormats[5];
// Three-branch figures by TriadFigure result (two pillar branches, the
// position branch, two pillar names, the position name).
extern const char* const kTriadFormats[6];

}  // namespace qd::judgement_tables
