#include "base/encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace qd {
namespace {

// Files are written in GBK so that every GBK reader understands them; they are
// read with GB18030, a superset whose two-byte part maps exactly as GBK does,
// so files saved by tools that chose GB18030 read back as well.
constexpr const char* kWriteCodec = "GBK";
constexpr const char* kReadCodec = "GB18030";

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// One converter per direction and thread: opening one costs far more than a
// short conversion, and iconv descriptors must not be shared across threads.
class CConverter {
public:
    CConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CConverter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return cd_; }

private:
    iconv_t cd_;
};

CConverter& ToGbk() {
    thread_local CConverter c(kWriteCodec, "UTF-8");
    return c;
}
CConverter& FromGbk() {
    thread_local CConverter c("UTF-8", kReadCodec);
    return c;
}

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

// The byte length of the UTF-8 character at the start of `s` (at most s.size()).
size_t CharLengthAt(std::string_view s) {
    size_t n = Utf8SequenceLength(static_cast<unsigned char>(s[0]));
    if (n > s.size()) n = s.size();
    for (size_t i = 1; i < n; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(s[i]))) return i;
    }
    return n;
}

// Runs iconv over the whole input. On a sequence it cannot convert it appends
// `replacement` and skips `skip(rest)` bytes of input.
template <class Skip>
std::string Convert(CConverter& conv, std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    if (in.empty()) return out;
    if (!conv.Ok()) return std::string(in);  // no converter: better raw than nothing
    iconv(conv.Handle(), nullptr, nullptr, nullptr, nullptr);

    out.resize(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        size_t r = iconv(conv.Handle(), &inPtr, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ (unconvertible or invalid) or EINVAL (cut off at the end).
        if (out.size() - used < replacement.size()) out.resize(out.size() * 2);
        std::memcpy(out.data() + used, replacement.data(), replacement.size());
        used += replacement.size();
        size_t n = skip(std::string_view(inPtr, inLeft));
        inPtr += n;
        inLeft -= n;
        iconv(conv.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
}

// GBK bytes of one UTF-8 character: 1 for ASCII and for what GBK lacks ('?').
size_t GbkWidthOf(std::string_view ch) {
    if (static_cast<unsigned char>(ch[0]) < 0x80) return 1;
    return Utf8ToGbk(ch).size();
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
    // Fast path: pure ASCII is the same in both.
    bool ascii = true;
    for (unsigned char c : utf8) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return std::string(utf8);
    return Convert(ToGbk(), utf8, "?", [](std::string_view rest) { return CharLengthAt(rest); });
}

namespace {
std::string FromGbkCodec(std::string_view gbk) {
    // A bad byte is skipped alone: if it was a lead byte, what follows may
    // well be a character of its own (often ASCII).
    return Convert(FromGbk(), gbk, kReplacement, [](std::string_view) { return size_t{1}; });
}
}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    bool ascii = true;
    for (unsigned char c : gbk) {
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return std::string(gbk);
    // GBK (code page 936) has the euro as the single byte 0x80, which
    // GB18030 reads as invalid: split the text at every such byte that
    // stands where a character starts.
    std::string out;
    size_t start = 0, i = 0;
    while (i < gbk.size()) {
        const unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80) {
            out += FromGbkCodec(gbk.substr(start, i - start));
            out += "€";
            start = ++i;
        } else {
            const bool four = i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9';
            i += four ? 4 : 2;
        }
    }
    if (start == 0) return FromGbkCodec(gbk);
    if (start < gbk.size()) out += FromGbkCodec(gbk.substr(start));
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
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point at `i` (advancing `i`); a byte that starts no valid UTF-8
// sequence gives U+FFFD and is skipped alone.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    size_t len = 0;
    uint32_t cp = 0;
    if (b < 0x80) {
        ++i;
        return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + len > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (size_t k = 1; k < len; ++k) {
        const unsigned char c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}


size_t GbkLength(std::string_view utf8) { return Utf8ToGbk(utf8).size(); }

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
    size_t bytes = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = CharLengthAt(utf8.substr(i));
        size_t w = GbkWidthOf(utf8.substr(i, len));
        if (bytes + w > maxBytes) break;
        bytes += w;
        i += len;
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
    std::string gbk = Utf8ToGbk(CutToGbkBytes(utf8, width - 1));
    std::memcpy(field, gbk.data(), gbk.size());
    std::memset(field + gbk.size(), 0, width - gbk.size());
}

}  // namespace qd
