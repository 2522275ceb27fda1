// SPDX-License-Identifier: GPL-3.0-or-later
// The reference for the table-driven conversions: the system converter run
// over each whole text, as base/encoding converted before it had tables.
#pragma once

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace qd::oracle {

class CConverter {
public:
    CConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CConverter() { iconv_close(cd_); }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // On a sequence it cannot convert, appends `replacement` and skips
    // skip(rest) bytes.
    template <class Skip>
    std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        while (inLeft > 0) {
            char buf[256];
            char* outPtr = buf;
            size_t outLeft = sizeof buf;
            const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buf, sizeof buf - outLeft);
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            out += replacement;
            const size_t n = skip(std::string_view(inPtr, inLeft));
            inPtr += n;
            inLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

// A broken UTF-8 sequence: its lead and the continuation bytes it expects.
inline size_t CharLengthAt(std::string_view s) {
    const unsigned char lead = static_cast<unsigned char>(s[0]);
    size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 1;
    if (n > s.size()) n = s.size();
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
    return n;
}

inline std::string Utf8ToGbk(std::string_view utf8) {
    static CConverter c("GBK", "UTF-8");
    return c.Run(utf8, "?", [](std::string_view rest) { return CharLengthAt(rest); });
}

inline std::string ReadGb18030(std::string_view gbk) {
    static CConverter c("UTF-8", "GB18030");
    return c.Run(gbk, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

// The euro is the single byte 0x80 where a character starts.
inline std::string GbkToUtf8(std::string_view gbk) {
    std::string out;
    size_t start = 0, i = 0;
    while (i < gbk.size()) {
        const unsigned char b = static_cast<unsigned char>(gbk[i]);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x80) {
            out += ReadGb18030(gbk.substr(start, i - start));
            out += "€";
            start = ++i;
        } else {
            i += i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9' ? 4 : 2;
        }
    }
    if (start < gbk.size()) out += ReadGb18030(gbk.substr(start));
    return out;
}

inline std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes) {
    size_t bytes = 0, i = 0;
    while (i < utf8.size()) {
        const size_t len = CharLengthAt(utf8.substr(i));
        const size_t w =
            static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : Utf8ToGbk(utf8.substr(i, len)).size();
        if (bytes + w > maxBytes) break;
        bytes += w;
        i += len;
    }
    return std::string(utf8.substr(0, i));
}

// WriteGbkField followed by ReadGbkField: cut, written, read up to the first
// NUL; a trailing lead byte without its pair is dropped.
inline std::string FieldText(std::string_view utf8, size_t width) {
    std::string gbk = Utf8ToGbk(CutToGbkBytes(utf8, width - 1));
    gbk = gbk.substr(0, std::strlen(gbk.c_str()));
    size_t i = 0;
    bool dangling = false;
    while (i < gbk.size()) {
        const unsigned char c = static_cast<unsigned char>(gbk[i]);
        dangling = c >= 0x81 && c <= 0xFE && i + 1 == gbk.size();
        i += c >= 0x81 && c <= 0xFE ? 2 : 1;
    }
    if (dangling) gbk.pop_back();
    return GbkToUtf8(gbk);
}

}  // namespace qd::oracle
