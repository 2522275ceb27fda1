// SPDX-License-Identifier: GPL-3.0-or-later
// The RTF reader: one pass over the bytes, no recursion, so that any input
// ends in time linear in its length and with bounded stack use.
#include "base/rtf.h"

#include <cstring>
#include <map>
#include <unordered_set>

#include "base/encoding.h"
#include "base/rtf_internal.h"

namespace qd {

namespace {

// Groups deeper than this share the state of the deepest kept one; real
// documents nest a dozen levels at most.
constexpr size_t kMaxGroupDepth = 256;
// A control word has at most 32 letters; longer runs of letters are read
// but never match a known word.
constexpr size_t kMaxWordLength = 32;
// \ucN: a writer asking to skip more than this is broken.
constexpr int kMaxUnicodeSkip = 16;
// Font names are copied into every run; Windows allows 31 characters.
constexpr size_t kMaxFontNameBytes = 128;
// Entries of a font table beyond this are dropped.
constexpr size_t kMaxFonts = 4096;

enum class TDest : uint8_t { Text, Skip, FontTable, ColorTable };

// Code page markers for decoding text bytes.
constexpr int kCpSymbol = 2;  // symbol fonts: bytes are taken as Latin-1

struct TCharState {
    int font = -1;       // -1: the document's default font
    int halfPoints = 0;  // 0: default size
    int color = 0;       // colour table index, 0 = automatic
    bool bold = false, italic = false, underline = false, hidden = false;
};

struct TParaState {
    int align = 0, firstIndent = 0, leftIndent = 0;
};

struct TGroupState {
    TCharState chr;
    TParaState para;
    int uc = 1;
    TDest dest = TDest::Text;
};

struct TFont {
    std::string name;  // UTF-8
    int charset = -1;  // -1: not given
};

struct TColorEntry {
    uint32_t value = 0;  // 0x00BBGGRR
    bool set = false;    // false: the "automatic" entry
};

// Destinations whose content is never text.
bool IsSkippedDestination(std::string_view w) {
    // clang-format off
    static const std::unordered_set<std::string_view> kNames = {
        "stylesheet", "info", "pict", "object", "objdata", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation",
        "atnid", "atnauthor", "atntime", "atnref", "atrfstart", "atrfend", "xe", "tc",
        "txe", "rxe", "fldinst", "themedata", "colorschememapping", "latentstyles",
        "listtable", "listoverridetable", "rsidtbl", "revtbl", "filetbl", "generator",
        "datastore", "xmlnstbl", "mmathPr", "userprops", "docvar", "template", "pgdsctbl",
        "nonshppict", "shp", "shpinst", "shppict", "sp", "sn", "sv", "bkmkstart",
        "bkmkend", "pn", "pntxta", "pntxtb", "fontemb", "fontfile", "falt", "panose",
        "passwordhash", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "blipuid", "do",
        "picprop", "private", "wgrffmtfilter", "listpicture", "background", "protusertbl",
        "author", "operator", "title", "subject", "keywords", "comment", "doccomm",
        "company", "category", "manager", "hlinkbase", "leveltext", "levelnumbers",
        "htmltag", "mhtmltag", "factoidname", "oldcprops", "oldpprops", "oldsprops",
        "oldtprops", "xform", "ud",
    };
    // clang-format on
    return kNames.count(w) != 0;
}

bool IsUnderlineOn(std::string_view w) {
    static const std::unordered_set<std::string_view> kNames = {
        "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
        "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
        "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
    };
    return w.size() >= 2 && w[0] == 'u' && w[1] == 'l' && kNames.count(w) != 0;
}

int HexValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

class CRtfReader {
public:
    explicit CRtfReader(std::string_view data) : data_(data) {}

    TRtfDocument Read() {
        // Nothing before the document's opening brace belongs to it.
        pos_ = data_.find('{');
        if (pos_ == std::string_view::npos) return std::move(doc_);
        const size_t n = data_.size();
        while (pos_ < n && !done_) {
            const unsigned char c = static_cast<unsigned char>(data_[pos_]);
            switch (c) {
                case '{':
                    ++pos_;
                    PushGroup();
                    break;
                case '}':
                    ++pos_;
                    PopGroup();
                    break;
                case '\\': ReadControl(); break;
                case '\r':
                case '\n':
                case '\0': ++pos_; break;
                default:
                    ++pos_;
                    TextByte(c, false);
                    break;
            }
        }
        FlushBytes();
        if (!para_.runs.empty()) doc_.paragraphs.push_back(std::move(para_));
        return std::move(doc_);
    }

private:
    // ---- groups ----
    void PushGroup() {
        FlushBytes();
        skipChars_ = 0;
        star_ = false;
        if (stack_.size() < kMaxGroupDepth)
            stack_.push_back(cur_);
        else
            ++extraDepth_;
    }

    void PopGroup() {
        FlushBytes();
        skipChars_ = 0;
        star_ = false;
        if (extraDepth_ > 0) {
            --extraDepth_;
            return;
        }
        if (stack_.empty()) return;  // unbalanced: ignore
        if (cur_.dest == TDest::FontTable) CommitFont();
        cur_ = stack_.back();
        stack_.pop_back();
        if (stack_.empty()) done_ = true;  // the document's group is closed
    }

    // ---- control words and symbols ----
    void ReadControl() {
        const size_t n = data_.size();
        if (pos_ + 1 >= n) {
            pos_ = n;
            return;
        }
        const unsigned char c = static_cast<unsigned char>(data_[pos_ + 1]);
        if (IsLetter(c)) {
            size_t start = pos_ + 1, end = start;
            while (end < n && IsLetter(static_cast<unsigned char>(data_[end]))) ++end;
            std::string_view word = data_.substr(start, end - start);
            if (word.size() > kMaxWordLength) word = std::string_view();
            pos_ = end;
            bool hasParam = false;
            bool negative = false;
            long long value = 0;
            if (pos_ < n && data_[pos_] == '-' && pos_ + 1 < n &&
                IsDigit(static_cast<unsigned char>(data_[pos_ + 1]))) {
                negative = true;
                ++pos_;
            }
            while (pos_ < n && IsDigit(static_cast<unsigned char>(data_[pos_]))) {
                hasParam = true;
                if (value < 100000000000LL) value = value * 10 + (data_[pos_] - '0');
                ++pos_;
            }
            if (value > 2147483647LL) value = 2147483647LL;
            if (negative) value = -value;
            if (pos_ < n && data_[pos_] == ' ') ++pos_;
            Word(word, hasParam, static_cast<int>(value));
            return;
        }
        pos_ += 2;
        switch (c) {
            case '\'': {
                int hi = pos_ < n ? HexValue(static_cast<unsigned char>(data_[pos_])) : -1;
                int lo = pos_ + 1 < n ? HexValue(static_cast<unsigned char>(data_[pos_ + 1])) : -1;
                if (hi < 0 || lo < 0) return;  // a broken escape is dropped
                pos_ += 2;
                TextByte(static_cast<unsigned char>(hi * 16 + lo), true);
                return;
            }
            case '*': star_ = true; return;
            case '\\':
            case '{':
            case '}': TextByte(c, true); return;
            default: break;
        }
        if (SkipOne()) return;
        switch (c) {
            case '~': Text("\xC2\xA0"); break;
            case '_': Text("-"); break;
            case '\r':
            case '\n':
                if (cur_.dest == TDest::Text) EndParagraph();
                break;
            case '\t': Text("\t"); break;
            default: break;  // \- \: \| and unknown symbols
        }
    }

    // A control counts as one character of the fallback after \uN.
    bool SkipOne() {
        if (skipChars_ <= 0) return false;
        --skipChars_;
        return true;
    }

    void Word(std::string_view w, bool hasParam, int param) {
        const bool star = star_;
        star_ = false;
        if (w == "bin") {
            // Binary data: its bytes are not RTF and may hold anything.
            size_t len = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            size_t left = data_.size() - pos_;
            pos_ += len < left ? len : left;
            return;
        }
        if (cur_.dest == TDest::Skip) return;
        if (star) {
            // Optional destinations we know nothing of, and those we know to
            // hold no text.
            FlushBytes();
            cur_.dest = TDest::Skip;
            return;
        }
        if (cur_.dest == TDest::FontTable) {
            FontTableWord(w, hasParam, param);
            return;
        }
        if (cur_.dest == TDest::ColorTable) {
            if (w == "red")
                red_ = Channel(param), colorSet_ = true;
            else if (w == "green")
                green_ = Channel(param), colorSet_ = true;
            else if (w == "blue")
                blue_ = Channel(param), colorSet_ = true;
            return;
        }
        if (IsSkippedDestination(w)) {
            FlushBytes();
            cur_.dest = TDest::Skip;
            return;
        }
        if (w == "fonttbl") {
            FlushBytes();
            cur_.dest = TDest::FontTable;
            font_ = TPendingFont{};
            return;
        }
        if (w == "colortbl") {
            FlushBytes();
            cur_.dest = TDest::ColorTable;
            colors_.clear();
            red_ = green_ = blue_ = 0;
            colorSet_ = false;
            return;
        }
        if (w == "u") {
            if (SkipOne()) return;
            int v = param;
            if (v < 0) v += 65536;
            Unicode(static_cast<uint32_t>(v) & 0xFFFF);
            skipChars_ = cur_.uc;
            return;
        }
        if (SkipOne()) return;
        if (w == "ansicpg") {
            if (hasParam) codePage_ = param;
        } else if (w == "deff") {
            if (hasParam) defaultFont_ = param;
        } else if (w == "uc") {
            cur_.uc = param < 0 ? 0 : (param > kMaxUnicodeSkip ? kMaxUnicodeSkip : param);
        } else if (w == "par" || w == "sect" || w == "page" || w == "row") {
            EndParagraph();
        } else if (w == "line") {
            Text("\n");
        } else if (w == "tab" || w == "cell" || w == "nestcell") {
            Text("\t");
        } else if (w == "pard") {
            FlushBytes();
            cur_.para = TParaState{};
        } else if (w == "plain") {
            FlushBytes();
            cur_.chr = TCharState{};
        } else if (w == "b") {
            SetFlag(cur_.chr.bold, hasParam, param);
        } else if (w == "i") {
            SetFlag(cur_.chr.italic, hasParam, param);
        } else if (w == "ulnone") {
            FlushBytes();
            cur_.chr.underline = false;
        } else if (IsUnderlineOn(w)) {
            SetFlag(cur_.chr.underline, hasParam, param);
        } else if (w == "v") {
            SetFlag(cur_.chr.hidden, hasParam, param);
        } else if (w == "fs") {
            FlushBytes();
            cur_.chr.halfPoints = param > 0 ? (param > 3276 ? 3276 : param) : 0;
        } else if (w == "cf") {
            FlushBytes();
            cur_.chr.color = param > 0 ? param : 0;
        } else if (w == "f") {
            FlushBytes();
            cur_.chr.font = hasParam ? param : -1;
        } else if (w == "ql") {
            cur_.para.align = 0;
        } else if (w == "qc") {
            cur_.para.align = 1;
        } else if (w == "qr") {
            cur_.para.align = 2;
        } else if (w == "qj" || w == "qd") {
            cur_.para.align = 3;
        } else if (w == "fi") {
            cur_.para.firstIndent = param;
        } else if (w == "li") {
            cur_.para.leftIndent = param;
        } else if (w == "emdash") {
            Text("\xE2\x80\x94");
        } else if (w == "endash") {
            Text("\xE2\x80\x93");
        } else if (w == "bullet") {
            Text("\xE2\x80\xA2");
        } else if (w == "lquote") {
            Text("\xE2\x80\x98");
        } else if (w == "rquote") {
            Text("\xE2\x80\x99");
        } else if (w == "ldblquote") {
            Text("\xE2\x80\x9C");
        } else if (w == "rdblquote") {
            Text("\xE2\x80\x9D");
        } else if (w == "emspace") {
            Text("\xE2\x80\x83");
        } else if (w == "enspace") {
            Text("\xE2\x80\x82");
        }
        // Every other word is formatting this reader does not keep.
    }

    void SetFlag(bool& flag, bool hasParam, int param) {
        FlushBytes();
        flag = !hasParam || param != 0;
    }

    static uint32_t Channel(int v) { return v < 0 ? 0u : (v > 255 ? 255u : uint32_t(v)); }

    // ---- font table ----
    struct TPendingFont {
        bool active = false;
        int index = 0;
        int charset = -1;
        std::string utf8;   // decoded part of the name
        std::string bytes;  // bytes not yet decoded
    };

    void FontTableWord(std::string_view w, bool hasParam, int param) {
        if (w == "f") {
            if (font_.active && (!font_.utf8.empty() || !font_.bytes.empty())) CommitFont();
            font_ = TPendingFont{};
            font_.active = true;
            font_.index = hasParam ? param : 0;
        } else if (w == "fcharset") {
            font_.charset = param;
        } else if (w == "u") {
            if (SkipOne()) return;
            DecodeFontBytes();
            int v = param < 0 ? param + 65536 : param;
            if (font_.utf8.size() < kMaxFontNameBytes)
                AppendUtf8(font_.utf8, static_cast<uint32_t>(v) & 0xFFFF);
            skipChars_ = cur_.uc;
        } else if (w == "uc") {
            cur_.uc = param < 0 ? 0 : (param > kMaxUnicodeSkip ? kMaxUnicodeSkip : param);
        } else if (IsSkippedDestination(w)) {
            cur_.dest = TDest::Skip;
        }
    }

    void DecodeFontBytes() {
        if (font_.bytes.empty()) return;
        // Font names are written in the font's own code page; a name in a
        // charset-0 font of a Chinese document is still most likely GBK.
        int cp = font_.charset == 0 && !IsGbkCodePage(codePage_) ? 1252 : CodePageOfCharset(font_.charset);
        font_.utf8 += DecodeRtfBytes(font_.bytes, cp);
        font_.bytes.clear();
    }

    void CommitFont() {
        if (!font_.active) return;
        DecodeFontBytes();
        std::string name = CutToChars(font_.utf8, 31);
        while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
        size_t first = name.find_first_not_of(' ');
        name = first == std::string::npos ? std::string() : name.substr(first);
        if (fonts_.size() >= kMaxFonts && fonts_.find(font_.index) == fonts_.end()) {
            font_ = TPendingFont{};
            return;
        }
        TFont& f = fonts_[font_.index];
        f.name = name;
        f.charset = font_.charset;
        font_ = TPendingFont{};
    }

    int CodePageOfCharset(int charset) const {
        switch (charset) {
            case 0: return 1252;
            case 2: return kCpSymbol;
            case 134: return 936;
            default: return codePage_;  // 1 (default charset), not given, or unknown
        }
    }

    static bool IsGbkCodePage(int cp) { return cp == 936 || cp == 54936 || cp == 20936; }

    const TFont* FontAt(int index) const {
        auto it = fonts_.find(index < 0 ? defaultFont_ : index);
        return it == fonts_.end() ? nullptr : &it->second;
    }

    int TextCodePage() const {
        const TFont* f = FontAt(cur_.chr.font);
        return CodePageOfCharset(f ? f->charset : -1);
    }

    // ---- text ----
    void TextByte(unsigned char b, bool escaped) {
        if (SkipOne()) return;
        switch (cur_.dest) {
            case TDest::Skip: return;
            case TDest::FontTable:
                if (b == ';' && !escaped) {
                    CommitFont();
                } else {
                    if (!font_.active) {
                        font_ = TPendingFont{};
                        font_.active = true;
                    }
                    if (font_.bytes.size() + font_.utf8.size() < kMaxFontNameBytes)
                        font_.bytes += static_cast<char>(b);
                }
                return;
            case TDest::ColorTable:
                if (b == ';') {
                    TColorEntry e;
                    e.set = colorSet_;
                    e.value = red_ | (green_ << 8) | (blue_ << 16);
                    colors_.push_back(e);
                    red_ = green_ = blue_ = 0;
                    colorSet_ = false;
                }
                return;
            case TDest::Text: break;
        }
        if (cur_.chr.hidden) return;
        if (b == '\t') {
            Text("\t");
            return;
        }
        if (b < 0x20) return;
        int cp = TextCodePage();
        if (!bytes_.empty() && cp != bytesCp_) FlushBytes();
        if (bytes_.empty()) TakeFormat();
        bytesCp_ = cp;
        bytes_ += static_cast<char>(b);
    }

    void Unicode(uint32_t v) {
        if (cur_.dest != TDest::Text || cur_.chr.hidden) return;
        FlushBytes();
        if (v >= 0xD800 && v <= 0xDBFF) {
            highSurrogate_ = v;
            return;
        }
        std::string s;
        if (v >= 0xDC00 && v <= 0xDFFF) {
            if (highSurrogate_ == 0) {
                AppendUtf8(s, 0xFFFD);
            } else {
                AppendUtf8(s, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (v - 0xDC00));
            }
            highSurrogate_ = 0;
        } else {
            if (highSurrogate_ != 0) AppendUtf8(s, 0xFFFD);
            highSurrogate_ = 0;
            if (v == '\t')
                AppendUtf8(s, v);
            else if (v >= 0x20)
                AppendUtf8(s, v);  // other control characters are no text
        }
        Text(s);
    }

    // Decodes the pending bytes into the run they were taken for.
    void FlushBytes() {
        if (bytes_.empty()) return;
        std::string s = DecodeRtfBytes(bytes_, bytesCp_);
        bytes_.clear();
        AppendToRun(bytesFormat_, s);
    }

    TRtfRun CurrentFormat() const {
        TRtfRun r;
        if (const TFont* f = FontAt(cur_.chr.font)) r.font = f->name;
        r.size = cur_.chr.halfPoints / 2.0;
        int c = cur_.chr.color;
        if (c > 0 && static_cast<size_t>(c) < colors_.size() && colors_[c].set) {
            r.hasColor = true;
            r.color = colors_[c].value;
        }
        r.bold = cur_.chr.bold;
        r.italic = cur_.chr.italic;
        r.underline = cur_.chr.underline;
        return r;
    }

    void TakeFormat() {
        bytesFormat_ = CurrentFormat();
        TakeParagraph();
    }

    void TakeParagraph() {
        para_.align = cur_.para.align;
        para_.firstIndentTwips = cur_.para.firstIndent;
        para_.leftIndentTwips = cur_.para.leftIndent;
    }

    void Text(std::string_view utf8) {
        if (cur_.dest != TDest::Text || cur_.chr.hidden) return;
        FlushBytes();
        TakeParagraph();
        AppendToRun(CurrentFormat(), utf8);
    }

    void AppendToRun(const TRtfRun& format, std::string_view utf8) {
        if (utf8.empty()) return;
        if (!para_.runs.empty() && SameRtfFormat(para_.runs.back(), format)) {
            para_.runs.back().text += utf8;
            return;
        }
        TRtfRun r = format;
        r.text = utf8;
        para_.runs.push_back(std::move(r));
    }

    void EndParagraph() {
        FlushBytes();
        TakeParagraph();
        doc_.paragraphs.push_back(std::move(para_));
        para_ = TRtfParagraph{};
    }

    std::string_view data_;
    size_t pos_ = 0;
    bool done_ = false;
    bool star_ = false;

    std::vector<TGroupState> stack_;
    size_t extraDepth_ = 0;
    TGroupState cur_;

    int codePage_ = 936;  // files of this program are GBK unless they say otherwise
    int defaultFont_ = 0;
    std::map<int, TFont> fonts_;
    TPendingFont font_;

    std::vector<TColorEntry> colors_;
    uint32_t red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    int skipChars_ = 0;
    uint32_t highSurrogate_ = 0;

    std::string bytes_;
    int bytesCp_ = 0;
    TRtfRun bytesFormat_;

    TRtfParagraph para_;
    TRtfDocument doc_;
};

}  // namespace

std::string DecodeRtfBytes(std::string_view bytes, int codePage) {
    if (codePage == 936 || codePage == 54936 || codePage == 20936) return GbkToUtf8(bytes);
    return codePage == kCpSymbol ? Latin1ToUtf8(bytes) : Cp1252ToUtf8(bytes);
}

bool SameRtfFormat(const TRtfRun& a, const TRtfRun& b) {
    return a.font == b.font && a.size == b.size && a.hasColor == b.hasColor &&
           (!a.hasColor || a.color == b.color) && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline;
}

TRtfDocument ReadRtf(std::string_view data) { return CRtfReader(data).Read(); }

bool LooksLikeRtf(std::string_view data) {
    if (data.size() >= 3 && data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
    size_t i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return data.substr(i, 5) == "{\\rtf";
}

std::string RtfPlainText(const TRtfDocument& doc) {
    std::string out;
    for (size_t p = 0; p < doc.paragraphs.size(); ++p) {
        if (p > 0) out += '\n';
        for (const TRtfRun& r : doc.paragraphs[p].runs) out += r.text;
    }
    return out;
}

std::string RtfToPlainText(std::string_view data) { return RtfPlainText(ReadRtf(data)); }

}  // namespace qd
