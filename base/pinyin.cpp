// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/pinyin.h"

#include "base/encoding.h"
#include "base/pinyin_data.h"

namespace qd {

namespace {

// Latin transcriptions of the Greek alphabet in GBK row 0xA6, capitals from
// trail 0xA1 and small letters from 0xC1, both in alphabetical order.
constexpr const char* kGreek[24] = {"A", "B", "G", "D", "E", "Z", "E", "TH", "I",  "K",  "L",  "M",
                                    "N", "X", "O", "P", "R", "S", "T", "U",  "PH", "KH", "PS", "O"};

// The enclosed and parenthesised numbers of row 0xA2: first trail, count.
struct TNumberRange {
    int first, count;
};
constexpr TNumberRange kNumberRanges[] = {{0xA1, 10}, {0xB1, 20}, {0xC5, 20},
                                          {0xD9, 10}, {0xE5, 10}, {0xF1, 12}};

void AppendNumberedSign(std::string& out, int trail) {
    for (const TNumberRange& r : kNumberRanges) {
        if (trail >= r.first && trail < r.first + r.count) {
            out += std::to_string(trail - r.first + 1);
            return;
        }
    }
}

}  // namespace

ImCode::ImCode() {
    for (int c = 0; c < 256; ++c) {
        class_[c] = kOther;
        if (c >= 'A' && c <= 'Z') class_[c] = kUpper;
        if (c >= 'a' && c <= 'z') class_[c] = kLower;
        if (c >= '0' && c <= '9') class_[c] = kDigit;
    }
}

std::string ImCode::Convert(std::string_view gbk, int options) const {
    std::string out;
    if (options < 0) return out;
    const bool full = options & kFullSyllable;
    const bool markUnknown = options & kMarkUnknown;
    const bool keepOther = options & kKeepOther;

    const size_t n = gbk.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(gbk[i]);
        // A byte of 0x80 or below, the last byte, or a byte before one below
        // 0x40 cannot start a double-byte character.
        if (lead <= 0x80 || i + 1 >= n || static_cast<unsigned char>(gbk[i + 1]) < 0x40) {
            if (IsLetterOrDigit(lead) || keepOther) out += static_cast<char>(lead);
            out += ' ';
            ++i;
            continue;
        }
        const unsigned char trail = static_cast<unsigned char>(gbk[i + 1]);
        i += 2;
        if (lead == 0xA2) {
            if (trail < 0xA1) {
                if (markUnknown) out += '?';
            } else {
                AppendNumberedSign(out, trail);
            }
        } else if (lead == 0xA3) {
            const unsigned char c = static_cast<unsigned char>(trail - 128);
            if (keepOther || IsLetterOrDigit(c)) out += static_cast<char>(c);
        } else if (lead == 0xA6) {
            if (trail >= 0xA1 && trail <= 0xB8)
                out += kGreek[trail - 0xA1];
            else if (trail >= 0xC1 && trail <= 0xD8)
                out += kGreek[trail - 0xC1];
        } else {
            unsigned index = 0;
            if (trail >= kPinyinTrailFirst && trail <= kPinyinTrailLast)
                index = kPinyinTable[size_t(lead - kPinyinLeadFirst) * kPinyinColumns +
                                     (trail - kPinyinTrailFirst)];
            if (index != 0 && index <= unsigned(kPinyinSyllableCount) && kPinyinSyllables[index][0] != '\0') {
                const char* s = kPinyinSyllables[index];
                out += static_cast<char>(s[0] - 'a' + 'A');
                if (full) out += s + 1;
            } else if (markUnknown) {
                out += '?';
            }
        }
        out += ' ';
    }
    return out;
}

std::string ImCode::ConvertUtf8(std::string_view utf8, int options) const {
    return GbkToUtf8(Convert(Utf8ToGbk(utf8), options));
}

}  // namespace qd
