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
    std::string text;  // UTF-8
    std::string font;  // font family name, UTF-8; empty = default
    double size = 0;   // points; 0 = default
    uint32_t color = 0;  // Windows colour 0x00BBGGRR
    bool hasColor = false;
    bool bold = false, italic = false, underline = false;
};

struct TRtfParagraph {
    std::vector<TRtfRun> runs;
    int align = 0;            // 0 left, 1 centre, 2 right, 3 justified
    int firstIndentTwips = 0;
    int leftIndentTwips = 0;
};

struct TRtfDocument {
    std::vector<TRtfParagraph> paragraphs;
};

// Never fails: whatever cannot be understood is skipped.
TRtfDocument ReadRtf(std::string_view data);
// The document's text, paragraphs separated by "\n".
std::string RtfPlainText(const TRtfDocument& doc);
std::string RtfToPlainText(std::string_view data);

// A plain UTF-8 text as an RTF document (GBK escapes, one paragraph a line).
std::string PlainTextToRtf(std::string_view utf8, const std::string& font = "宋体", int sizePoints = 10);
// A formatted document written back as RTF.
std::string WriteRtf(const TRtfDocument& doc);

}  // namespace qd
