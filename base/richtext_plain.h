// SPDX-License-Identifier: GPL-3.0-or-later
// A rich-text sink that keeps the text with its colour and weight per
// position: for qdl's text output, the HTML sink and the tests.
//
// Position model (the same as a QTextEdit's after the same calls):
// - one position per character (code point; all our text lies in the BMP,
//   where Qt's UTF-16 count agrees) and one per line break;
// - "\r\n", "\n" and a lone "\r" inside a block are each one line break,
//   kept as "\n";
// - AddBlock starts a new paragraph: the first block after construction or
//   Clear() has no leading break, every later block is preceded by one
//   paragraph separator (a "\n"). The text therefore never ends with the
//   break of its last block, and TextLength() counts no final separator,
//   as QTextEdit::toPlainText() does. (QTextEdit::append leaves out the
//   separator while the document is still empty, which differs only when
//   an empty block comes first; a Qt sink should count blocks instead.)
// - a separator takes the attributes current when its block is added.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/richtext.h"

namespace qd {

struct TCharFormat {
    TColor color = kBlack;
    bool bold = false;
    bool operator==(const TCharFormat&) const = default;
};

// A maximal stretch of positions with the same attributes.
struct TTextRun {
    int start = 0;
    int length = 0;
    TColor color = kBlack;
    bool bold = false;
    bool operator==(const TTextRun&) const = default;
};

class CPlainTextSink : public IRichTextSink {
public:
    // Clear() empties text, attributes, selection and the block count; the
    // current attributes and the paragraph format are kept (the writer sets
    // them right after clearing).
    void Clear() override;
    void SetDefaultAttributes() override;
    void SetParagraph(TAlign align, int firstLineIndent) override;
    void SetColor(TColor color) override;
    void SetBold(bool bold) override;
    void AddBlock(std::string_view text) override;
    int TextLength() const override;
    // The match must lie wholly in [from, to); from is clamped to 0, a `to`
    // that is negative or beyond the end means the end. An empty needle
    // finds nothing. Line breaks in the needle match line breaks.
    int Find(std::string_view text, int from, int to) const override;
    // Start and length are clamped to the text.
    void Select(int start, int length) override;
    // Recolours the selected positions; an empty selection changes nothing.
    void SetSelectionColor(TColor color) override;
    void FocusAndScrollToTop() override;

    // The whole text as UTF-8 with "\n" line breaks.
    std::string Text() const;
    // `length` positions from `start` (clamped) as UTF-8.
    std::string TextRange(int start, int length) const;
    // Attributes at a position; outside the text black and not bold.
    TCharFormat FormatAt(int pos) const;
    TColor ColorAt(int pos) const { return FormatAt(pos).color; }
    bool BoldAt(int pos) const { return FormatAt(pos).bold; }
    // The runs covering every position in order.
    std::vector<TTextRun> Runs() const;

    TCharFormat CurrentFormat() const { return current_; }
    int SelectionStart() const { return selStart_; }
    int SelectionLength() const { return selLength_; }
    TAlign Alignment() const { return align_; }
    int FirstLineIndent() const { return indent_; }
    int BlockCount() const { return blocks_; }
    // How many times the writer asked to focus and show the top.
    int FocusRequests() const { return focusRequests_; }

private:
    std::u32string chars_;
    std::vector<TCharFormat> formats_;  // one per position
    TCharFormat current_;
    TAlign align_ = TAlign::Left;
    int indent_ = 0;
    int selStart_ = 0;
    int selLength_ = 0;
    int blocks_ = 0;
    int focusRequests_ = 0;
};

}  // namespace qd
