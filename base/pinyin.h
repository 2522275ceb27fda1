// SPDX-License-Identifier: GPL-3.0-or-later
// Pinyin transcription of names, for the case tree's surname sort orders.
#pragma once

#include <string>
#include <string_view>

namespace qd {

class ImCode {
public:
    // Option bits of Convert.
    static constexpr int kFullSyllable = 1;  // "Zhang" instead of "Z"
    static constexpr int kMarkUnknown = 2;   // "?" for a character without a reading
    static constexpr int kKeepOther = 4;     // keep characters that are neither letters nor digits

    ImCode();

    // One unit per character of a GBK text, each followed by a space.
    // Negative options give an empty text. Units are ASCII except characters
    // kept by kKeepOther, which stay as they were.
    std::string Convert(std::string_view gbk, int options) const;
    // The same for a UTF-8 text (converted to GBK first); the result is UTF-8.
    std::string ConvertUtf8(std::string_view utf8, int options) const;

private:
    enum : unsigned char { kOther, kUpper, kLower, kDigit };
    unsigned char class_[256];

    bool IsLetterOrDigit(unsigned char c) const { return class_[c] != kOther; }
};

}  // namespace qd
