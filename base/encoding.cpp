// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/encoding.h"

#include <iconv.h>

#include <cstring>

#include "base/gbk_map.h"

namespace qd {
namespace {

using gbk::CGbkMap;
using gbk::TWrite;

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Length of the UTF-8 sequence that starts with `lead`; 1 for a byte that
// cannot start one, so that a broken sequence is skipped a byte at a time.
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The byte length of the UTF-8 character at the start of `s` (at most s.size()):
// a broken sequence counts its lead and the continuation bytes that follow.
size_t CharLengthAt(std::string_view s) {
    size_t n = Utf8SequenceLength(static_cast<unsigned char>(s[0]));
    if (n > s.size()) n = s.size();
    for (size_t i = 1; i < n; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(s[i]))) return i;
    }
    return n;
}

// The valid UTF-8 sequence at `i`: its length, with the code point in `cp`;
// 0 for a broken, overlong or surrogate sequence.
inline size_t DecodeUtf8(std::string_view s, size_t i, uint32_t& cp) {
    const auto* u = reinterpret_cast<const unsigned char*>(s.data() + i);
    if (u[0] < 0x80) {
        cp = u[0];
        return 1;
    }
    if ((u[0] & 0xF0) == 0xE0 && i + 2 < s.size() && IsContinuation(u[1]) && IsContinuation(u[2])) {
        // Chinese characters: three bytes. Overlong forms fall below 0x800.
        cp = (u[0] & 0x0Fu) << 12 | (u[1] & 0x3Fu) << 6 | (u[2] & 0x3Fu);
        return cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : 3;
    }
    const size_t len = Utf8SequenceLength(u[0]);
    if (len == 1 || i + len > s.size()) return 0;
    cp = len == 2 ? u[0] & 0x1Fu : len == 3 ? u[0] & 0x0Fu : u[0] & 0x07u;
    for (size_t k = 1; k < len; ++k) {
        if (!IsContinuation(u[k])) return 0;
        cp = (cp << 6) | (u[k] & 0x3Fu);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// Writes the GBK bytes of the character at `i` of a UTF-8 text to `out` (0
// to 2) and answers their number, advancing `i`: '?' for what GBK lacks and
// for a broken sequence, which is skipped as one character.
inline size_t PutGbk(const CGbkMap& map, std::string_view s, size_t& i, char* out) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        out[0] = static_cast<char>(b);
        ++i;
        return 1;
    }
    uint32_t cp;
    const size_t len = DecodeUtf8(s, i, cp);
    if (len == 0) {
        i += CharLengthAt(s.substr(i));
        out[0] = '?';
        return 1;
    }
    i += len;
    uint16_t code = 0;
    switch (map.Write(cp, code)) {
        case TWrite::kDropped: return 0;
        case TWrite::kOneByte: out[0] = static_cast<char>(code); return 1;
        case TWrite::kTwoBytes:
            out[0] = static_cast<char>(code >> 8);
            out[1] = static_cast<char>(code & 0xFF);
            return 2;
        case TWrite::kMissing: break;
    }
    out[0] = '?';
    return 1;
}

// Writes a code point as UTF-8 at `p`, advancing it (at most 4 bytes).
inline void PutUtf8(char*& p, uint32_t cp) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (cp >> 18));
        *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Four-byte GB18030 sequences are rare in these texts (they hold what GBK
// lacks): read them with the system converter, one per thread.
class CFourByteReader {
public:
    CFourByteReader() : cd_(iconv_open("UTF-8", "GB18030")) {}
    ~CFourByteReader() {
        if (Ok()) iconv_close(cd_);
    }
    CFourByteReader(const CFourByteReader&) = delete;
    CFourByteReader& operator=(const CFourByteReader&) = delete;

    // Writes the character of the four bytes at the start of `seq` at `p`
    // (at most 4 bytes), advancing it; false when they are none.
    bool Read(std::string_view seq, char*& p) {
        if (!Ok() || seq.size() < 4) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[4];
        std::memcpy(in, seq.data(), 4);
        char buf[8];
        char* inPtr = in;
        char* outPtr = buf;
        size_t inLeft = 4, outLeft = sizeof buf;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
            sizeof buf - outLeft > 4)
            return false;
        std::memcpy(p, buf, sizeof buf - outLeft);
        p += sizeof buf - outLeft;
        return true;
    }

private:
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd_;
};

// Reads a GB18030 text as the codec does, writing UTF-8 at `out` (at most
// three bytes per byte read) and answering the end of what it wrote: a byte
// that starts no character becomes U+FFFD and is skipped alone, for what
// follows may well be a character of its own (often ASCII).
char* PutGb18030(const CGbkMap& map, std::string_view in, char* out) {
    char* p = out;  // a local, which the writes through it cannot alias
    size_t j = 0;
    while (j < in.size()) {
        const unsigned char b = static_cast<unsigned char>(in[j]);
        if (b < 0x80) {
            *p++ = static_cast<char>(b);
            ++j;
            continue;
        }
        if (b >= 0x81 && b <= 0xFE && j + 1 < in.size()) {
            const unsigned char t = static_cast<unsigned char>(in[j + 1]);
            if (t >= '0' && t <= '9') {
                thread_local CFourByteReader four;
                if (four.Read(in.substr(j), p)) {
                    j += 4;
                    continue;
                }
            } else if (const uint32_t cp = map.Read(b, t)) {
                PutUtf8(p, cp);
                j += 2;
                continue;
            }
        }
        std::memcpy(p, kReplacement, 3);
        p += 3;
        ++j;
    }
    return p;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of a trailing lead byte that lost its second byte, 0 if none.
size_t DanglingGbkLead(std::string_view gbk) {
    size_t i = 0;
    while (i < gbk.size()) {
        unsigned char c = static_cast<unsigned char>(gbk[i]);
        if (c >= 0x81 && c <= 0xFE) {
            if (i + 1 == gbk.size()) return 1;
            i += 2;
        } else {
            i += 1;
        }
    }
    return 0;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    const CGbkMap& map = CGbkMap::Get();
    std::string out(utf8.size(), '\0');  // GBK never takes more bytes than UTF-8
    char* p = out.data();
    for (size_t i = 0; i < utf8.size();) p += PutGbk(map, utf8, i, p);
    out.resize(static_cast<size_t>(p - out.data()));
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    const CGbkMap& map = CGbkMap::Get();
    std::string out(gbk.size() * 3, '\0');
    char* p = out.data();
    // GBK (code page 936) has the euro as the single byte 0x80, which
    // GB18030 reads as invalid: split the text at every such byte that
    // stands where a character starts.
    size_t start = 0;
    size_t i = std::memchr(gbk.data(), 0x80, gbk.size()) ? 0 : gbk.size();
    while (i < gbk.size()) {
        const unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80) {
            p = PutGb18030(map, gbk.substr(start, i - start), p);
            PutUtf8(p, 0x20AC);
            start = ++i;
        } else {
            const bool four = i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9';
            i += four ? 4 : 2;
        }
    }
    p = PutGb18030(map, gbk.substr(start), p);
    out.resize(static_cast<size_t>(p - out.data()));
    return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) AppendUtf8(out, static_cast<unsigned char>(ch));
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    // 0x80..0x9F of Windows-1252; the rest of the upper half is Latin-1.
    static constexpr uint16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
    };
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    char buf[4];
    char* p = buf;
    PutUtf8(p, cp);
    out.append(buf, static_cast<size_t>(p - buf));
}

uint32_t NextCodePoint(std::string_view s, size_t& i) {
    uint32_t cp;
    const size_t len = DecodeUtf8(s, i, cp);
    if (len == 0) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

size_t GbkLength(std::string_view utf8) {
    const CGbkMap& map = CGbkMap::Get();
    size_t n = 0;
    char bytes[2];
    for (size_t i = 0; i < utf8.size();) n += PutGbk(map, utf8, i, bytes);
    return n;
}

size_t CharCount(std::string_view utf8) {
    size_t n = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        i += CharLengthAt(utf8.substr(i));
        ++n;
    }
    return n;
}

std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes) {
    const CGbkMap& map = CGbkMap::Get();
    size_t bytes = 0;
    size_t i = 0;
    char gbk[2];
    while (i < utf8.size()) {
        size_t next = i;
        const size_t w = PutGbk(map, utf8, next, gbk);
        if (bytes + w > maxBytes) break;
        bytes += w;
        i = next;
    }
    return std::string(utf8.substr(0, i));
}

std::string CutToChars(std::string_view utf8, size_t maxChars) {
    size_t i = 0;
    for (size_t n = 0; n < maxChars && i < utf8.size(); ++n) i += CharLengthAt(utf8.substr(i));
    return std::string(utf8.substr(0, i));
}

std::string ReadGbkField(const char* field, size_t width) {
    if (field == nullptr || width == 0) return {};
    size_t len = 0;
    while (len < width && field[len] != '\0') ++len;
    std::string_view raw(field, len);
    // Fields cut byte-wise by older writers may end in half a character.
    raw.remove_suffix(DanglingGbkLead(raw));
    return GbkToUtf8(raw);
}

void WriteGbkField(char* field, size_t width, std::string_view utf8) {
    if (field == nullptr || width == 0) return;
    const CGbkMap& map = CGbkMap::Get();
    size_t used = 0;
    char gbk[2];
    for (size_t i = 0; i < utf8.size();) {
        const size_t w = PutGbk(map, utf8, i, gbk);
        if (used + w > width - 1) break;
        std::memcpy(field + used, gbk, w);
        used += w;
    }
    std::memset(field + used, 0, width - used);
}

std::string_view GbkFieldText(std::string_view utf8, size_t width, std::string& scratch) {
    if (width == 0) return {};
    // Most texts come back as they are: check that without converting.
    const CGbkMap& map = CGbkMap::Get();
    size_t bytes = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp;
        const size_t len = DecodeUtf8(utf8, i, cp);
        const int w = len == 0 ? 0 : map.RoundTripWidth(cp);
        bytes += static_cast<size_t>(w);
        if (w == 0 || bytes >= width) break;
        i += len;
    }
    if (i == utf8.size()) return utf8;
    std::string field(width, '\0');
    WriteGbkField(field.data(), width, utf8);
    scratch = ReadGbkField(field.data(), width);
    return scratch;
}

}  // namespace qd
