// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF writer. Output follows the Windows rich-text control's habits
// (ANSI code page 936, GBK escapes, \uN only for what GBK lacks) so that the
// files read back in the earlier edition of the program as well as here.
#include <cmath>
#include <cstdio>

#include "base/encoding.h"
#include "base/rtf.h"
#include "base/rtf_internal.h"

namespace qd {

namespace {

constexpr const char* kDefaultFont = "宋体";

void AppendHexByte(std::string& out, unsigned char b) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

void AppendUnicodeUnit(std::string& out, uint32_t unit) {
    const int v = unit < 0x8000 ? static_cast<int>(unit) : static_cast<int>(unit) - 65536;
    out += "\\u";
    out += std::to_string(v);
    out += '?';  // the one-byte fallback that \uc1 skips
}

void AppendEscaped(std::string& out, std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        const size_t start = i;
        const uint32_t cp = NextCodePoint(utf8, i);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp == '\n') {
            out += "\\line ";
        } else if (cp < 0x20) {
            // other control characters have no place in a text
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            std::string gbk;
            if (cp != 0xFFFD) gbk = Utf8ToGbk(utf8.substr(start, i - start));
            // Only true double-byte characters: a single byte such as the
            // euro's 0x80 is not read back the same by every GBK reader.
            if (gbk.size() == 2 && gbk.find('?') == std::string::npos) {
                for (char c : gbk) AppendHexByte(out, static_cast<unsigned char>(c));
            } else if (cp >= 0x10000) {
                const uint32_t v = cp - 0x10000;
                AppendUnicodeUnit(out, 0xD800 + (v >> 10));
                AppendUnicodeUnit(out, 0xDC00 + (v & 0x3FF));
            } else {
                AppendUnicodeUnit(out, cp);
            }
        }
    }
}

// The character formatting last written, to write only what changes.
struct TWritten {
    int font = -1;  // -1: none written yet
    int halfPoints = 0;
    int color = 0;
    bool bold = false, italic = false, underline = false;
};

int IndexOf(std::vector<std::string>& list, const std::string& s) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == s) return static_cast<int>(i);
    list.push_back(s);
    return static_cast<int>(list.size() - 1);
}

int IndexOf(std::vector<uint32_t>& list, uint32_t c) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == c) return static_cast<int>(i);
    list.push_back(c);
    return static_cast<int>(list.size() - 1);
}

int HalfPoints(double size) {
    if (!(size > 0)) return 0;
    long v = std::lround(size * 2);
    return v < 1 ? 1 : (v > 3276 ? 3276 : static_cast<int>(v));
}

}  // namespace

std::string WriteRtf(const TRtfDocument& doc) {
    std::vector<std::string> fonts{kDefaultFont};
    std::vector<uint32_t> colors;
    for (const TRtfParagraph& p : doc.paragraphs) {
        for (const TRtfRun& r : p.runs) {
            if (!r.font.empty()) IndexOf(fonts, r.font);
            if (r.hasColor) IndexOf(colors, r.color & 0xFFFFFF);
        }
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052{\\fonttbl";
    for (size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset134 ";
        std::string name;
        AppendEscaped(name, fonts[i]);
        for (char c : name) {
            if (c == ';')
                out += "\\'3b";  // a bare semicolon would end the name
            else
                out += c;
        }
        out += ";}";
    }
    out += "}\r\n";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (uint32_t c : colors) {
            out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
                   "\\blue" + std::to_string((c >> 16) & 0xFF) + ";";
        }
        out += "}\r\n";
    }
    out += "\\viewkind4\\uc1";

    TWritten w;
    bool firstParagraph = true;
    const TRtfParagraph* previous = nullptr;
    for (const TRtfParagraph& p : doc.paragraphs) {
        bool wrote = false;
        if (firstParagraph || p.align != previous->align ||
            p.firstIndentTwips != previous->firstIndentTwips ||
            p.leftIndentTwips != previous->leftIndentTwips) {
            out += "\\pard";
            if (p.align == 1)
                out += "\\qc";
            else if (p.align == 2)
                out += "\\qr";
            else if (p.align == 3)
                out += "\\qj";
            if (p.firstIndentTwips != 0) out += "\\fi" + std::to_string(p.firstIndentTwips);
            if (p.leftIndentTwips != 0) out += "\\li" + std::to_string(p.leftIndentTwips);
            if (firstParagraph) out += "\\lang2052";
            wrote = true;
        }
        firstParagraph = false;
        previous = &p;
        for (const TRtfRun& r : p.runs) {
            if (r.text.empty()) continue;
            const int font = r.font.empty() ? 0 : IndexOf(fonts, r.font);
            const int hp = HalfPoints(r.size);
            const int color = r.hasColor ? IndexOf(colors, r.color & 0xFFFFFF) + 1 : 0;
            if (w.halfPoints != 0 && hp == 0) {
                // Only \plain returns to the default size.
                out += "\\plain";
                w = TWritten{};
                w.font = 0;
                wrote = true;
            }
            auto word = [&](const std::string& s) {
                out += s;
                wrote = true;
            };
            if (font != w.font) word("\\f" + std::to_string(font));
            if (hp != w.halfPoints) word("\\fs" + std::to_string(hp));
            if (color != w.color) word("\\cf" + std::to_string(color));
            if (r.bold != w.bold) word(r.bold ? "\\b" : "\\b0");
            if (r.italic != w.italic) word(r.italic ? "\\i" : "\\i0");
            if (r.underline != w.underline) word(r.underline ? "\\ul" : "\\ulnone");
            w.font = font;
            w.halfPoints = hp;
            w.color = color;
            w.bold = r.bold;
            w.italic = r.italic;
            w.underline = r.underline;
            if (wrote) out += ' ';
            wrote = false;
            AppendEscaped(out, r.text);
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

std::string PlainTextToRtf(std::string_view utf8, const std::string& font, int sizePoints) {
    TRtfDocument doc;
    TRtfRun format;
    format.font = font.empty() ? std::string(kDefaultFont) : font;
    format.size = sizePoints > 0 ? sizePoints : 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t end = utf8.find_first_of("\r\n", i);
        if (end == std::string_view::npos) end = utf8.size();
        TRtfParagraph p;
        if (end > i) {
            TRtfRun r = format;
            r.text = utf8.substr(i, end - i);
            p.runs.push_back(std::move(r));
        }
        doc.paragraphs.push_back(std::move(p));
        if (end == utf8.size()) break;
        i = end + (utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n' ? 2 : 1);
        if (i == utf8.size()) doc.paragraphs.emplace_back();  // text ended with a line break
    }
    return WriteRtf(doc);
}

}  // namespace qd
