// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text sink: the operations of a rich-text view that the engine
// writes its chart through. The GUI implements it over a QTextEdit, qdl and
// the tests over plain text (richtext_plain.h) or HTML (richtext_html.h).
//
// Positions count as the Qt text control counts them: one per character and
// one per line break ("\r\n" is one line break).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qd {

// Windows colour values (0x00BBGGRR).
using TColor = uint32_t;
constexpr TColor kBlack = 0;
constexpr TColor kRed = 255;
constexpr TColor kBlue = 16711680;
constexpr TColor kGreen = 32768;

enum class TAlign { Left, Center, Right };

class IRichTextSink {
public:
    virtual ~IRichTextSink() = default;

    virtual void Clear() = 0;
    // The view's font size, black, no style, for the text added next.
    virtual void SetDefaultAttributes() = 0;
    virtual void SetParagraph(TAlign align, int firstLineIndent) = 0;
    // Current attributes of the text added next.
    virtual void SetColor(TColor color) = 0;
    virtual void SetBold(bool bold) = 0;
    // Adds a block of UTF-8 text at the end, ending with a line break of its
    // own; "\r\n" (or "\n") inside makes further lines.
    virtual void AddBlock(std::string_view text) = 0;
    virtual int TextLength() const = 0;
    // Position of `text` in [from, to), case-sensitive, or -1.
    virtual int Find(std::string_view text, int from, int to) const = 0;
    virtual void Select(int start, int length) = 0;
    virtual void SetSelectionColor(TColor color) = 0;
    virtual void FocusAndScrollToTop() = 0;
};

}  // namespace qd
