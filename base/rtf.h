// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing RTF documents: comment files, imported cases and the
// views' "save as". The reader yields formatted text that the GUI turns into
// a QTextDocument and the store into plain text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qd {

struct TRtfRun {
    // UTF-8; "\n" is a line break inside the paragraph (\line), "\t" a tab.
    std::string text;
    std::string font;    // font family name, UTF-8; empty = default
    double size = 0;     // points; 0 = default
    uint32_t color = 0;  // Windows colour 0x00BBGGRR
    bool hasColor = false;
    bool bold = false, italic = false, underline = false;
};

struct TRtfParagraph {
    std::vector<TRtfRun> runs;
    int align = 0;  // 0 left, 1 centre, 2 right, 3 justified
    int firstIndentTwips = 0;
    int leftIndentTwips = 0;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> paragraphs;
};

// Never fails: whatever cannot be understood is skipped. Text bytes are GBK
// unless the font's charset or \ansicpg says otherwise; a final \par closes
// the last paragraph (as the Windows rich-text control writes it) rather
// than opening an empty one.
TRtfDocument ReadRtf(std::string_view data);
// Whether the data starts (after a BOM or blanks) as an RTF document does.
bool LooksLikeRtf(std::string_view data);
// The document's text, paragraphs separated by "\n".
std::string RtfPlainText(const TRtfDocument& doc);
std::string RtfToPlainText(std::string_view data);

// A plain UTF-8 text as an RTF document (GBK escapes, \uN for what GBK
// lacks, one paragraph a line: "\n", "\r\n" and "\r" end a line).
std::string PlainTextToRtf(std::string_view utf8, const std::string& font = "宋体", int sizePoints = 10);
// A formatted document written back as RTF: font 0 is 宋体 (also for runs
// without a font), every font is declared GBK; a size of 0 writes no \fs.
std::string WriteRtf(const TRtfDocument& doc);

}  // namespace qd
