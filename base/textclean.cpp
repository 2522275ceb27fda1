// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/textclean.h"

#include <string_view>

namespace qd {

namespace {

// In removal order. All are ASCII, and no byte of a multi-byte UTF-8
// character is ASCII, so a byte search never hits half a character.
constexpr std::string_view kForbidden = "\"*<>?\\/|:' ";

bool IsLeadByte(unsigned char c) { return (c & 0xC0) != 0x80; }

size_t CountChars(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += IsLeadByte(c) ? 1 : 0;
    return n;
}

// Removes the last character, whatever its byte length.
void DropLastChar(std::string& s) {
    size_t i = s.size();
    while (i > 0) {
        --i;
        if (IsLeadByte(static_cast<unsigned char>(s[i]))) break;
    }
    s.erase(i);
}

}  // namespace

bool CleanText(std::string& text, size_t maxChars) {
    if (text.empty()) {
        text = "甲";
        return true;
    }
    bool changed = false;
    // Passes delete the first occurrence of each piece until one deletes
    // nothing; the outcome is that every occurrence is gone.
    for (bool deleted = true; deleted;) {
        deleted = false;
        for (char piece : kForbidden) {
            const size_t at = text.find(piece);
            if (at != std::string::npos) {
                text.erase(at, 1);
                deleted = true;
            }
        }
        changed = changed || deleted;
    }
    if (maxChars != 0) {
        for (size_t n = CountChars(text); n > maxChars; --n) {
            DropLastChar(text);
            changed = true;
        }
    }
    return changed;
}

}  // namespace qd
