// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/richtext_plain.h"

#include <algorithm>

namespace qd {
namespace {

constexpr char32_t kReplacementChar = 0xFFFD;

// UTF-8 to code points with every line break as one '\n'; broken sequences
// become U+FFFD one byte at a time.
std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\r') {
            out.push_back(U'\n');
            i += (i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        size_t n = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            n = 2, cp = c & 0x1F, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 3, cp = c & 0x0F, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 4, cp = c & 0x07, min = 0x10000;
        }
        bool ok = n > 0 && i + n <= s.size();
        for (size_t k = 1; ok && k < n; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
        if (ok) {
            out.push_back(cp);
            i += n;
        } else {
            out.push_back(kReplacementChar);
            ++i;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

void CPlainTextSink::Clear() {
    chars_.clear();
    formats_.clear();
    selStart_ = 0;
    selLength_ = 0;
    blocks_ = 0;
}

void CPlainTextSink::SetDefaultAttributes() { current_ = TCharFormat{}; }

void CPlainTextSink::SetParagraph(TAlign align, int firstLineIndent) {
    align_ = align;
    indent_ = firstLineIndent;
}

void CPlainTextSink::SetColor(TColor color) { current_.color = color; }

void CPlainTextSink::SetBold(bool bold) { current_.bold = bold; }

void CPlainTextSink::AddBlock(std::string_view text) {
    std::u32string add = Decode(text);
    if (blocks_ > 0) add.insert(add.begin(), U'\n');
    chars_ += add;
    formats_.insert(formats_.end(), add.size(), current_);
    ++blocks_;
}

int CPlainTextSink::TextLength() const { return static_cast<int>(chars_.size()); }

int CPlainTextSink::Find(std::string_view text, int from, int to) const {
    std::u32string needle = Decode(text);
    int len = TextLength();
    if (needle.empty()) return -1;
    if (from < 0) from = 0;
    if (to < 0 || to > len) to = len;
    if (from >= to || static_cast<int>(needle.size()) > to - from) return -1;
    std::u32string_view hay(chars_.data() + from, static_cast<size_t>(to - from));
    size_t at = hay.find(needle);
    return at == std::u32string_view::npos ? -1 : from + static_cast<int>(at);
}

void CPlainTextSink::Select(int start, int length) {
    int len = TextLength();
    selStart_ = std::clamp(start, 0, len);
    selLength_ = std::clamp(length, 0, len - selStart_);
}

void CPlainTextSink::SetSelectionColor(TColor color) {
    for (int i = selStart_; i < selStart_ + selLength_; ++i) formats_[static_cast<size_t>(i)].color = color;
}

void CPlainTextSink::FocusAndScrollToTop() { ++focusRequests_; }

std::string CPlainTextSink::Text() const { return TextRange(0, TextLength()); }

std::string CPlainTextSink::TextRange(int start, int length) const {
    int len = TextLength();
    start = std::clamp(start, 0, len);
    length = std::clamp(length, 0, len - start);
    std::string out;
    out.reserve(static_cast<size_t>(length) * 3);
    for (int i = start; i < start + length; ++i) AppendUtf8(out, chars_[static_cast<size_t>(i)]);
    return out;
}

TCharFormat CPlainTextSink::FormatAt(int pos) const {
    if (pos < 0 || pos >= TextLength()) return TCharFormat{};
    return formats_[static_cast<size_t>(pos)];
}

std::vector<TTextRun> CPlainTextSink::Runs() const {
    std::vector<TTextRun> runs;
    for (size_t i = 0; i < formats_.size(); ++i) {
        const TCharFormat& f = formats_[i];
        if (!runs.empty() && runs.back().color == f.color && runs.back().bold == f.bold) {
            ++runs.back().length;
        } else {
            runs.push_back(TTextRun{static_cast<int>(i), 1, f.color, f.bold});
        }
    }
    return runs;
}

}  // namespace qd
