// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where text changes encoding. Texts are UTF-8 in memory;
// files and fixed-width record fields hold GBK, the case database UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qd {

// Characters that GBK lacks become '?'; never fails.
std::string Utf8ToGbk(std::string_view utf8);
// Invalid GBK sequences become U+FFFD; never fails.
std::string GbkToUtf8(std::string_view gbk);

// Windows-1252 and Latin-1 single-byte texts (RTF runs in western fonts).
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view bytes);

// Appends a code point as UTF-8 (U+FFFD for surrogates and values past
// U+10FFFF).
void AppendUtf8(std::string& out, uint32_t cp);
// The code point at `i` of a UTF-8 text, advancing `i`; a byte that starts no
// valid sequence gives U+FFFD and is skipped alone.
uint32_t NextCodePoint(std::string_view s, size_t& i);

// Length of a UTF-8 text in GBK bytes (a Chinese character counts 2).
size_t GbkLength(std::string_view utf8);
// Number of characters (code points) of a UTF-8 text.
size_t CharCount(std::string_view utf8);
// The longest prefix of a UTF-8 text whose GBK form fits in maxBytes bytes;
// never splits a character.
std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes);
// The first maxChars characters of a UTF-8 text.
std::string CutToChars(std::string_view utf8, size_t maxChars);

// A fixed-width zero-terminated GBK field: read as UTF-8, write from UTF-8
// (cut at a character boundary so that the terminator always fits).
std::string ReadGbkField(const char* field, size_t width);
void WriteGbkField(char* field, size_t width, std::string_view utf8);

// What a `width`-byte field gives back (ReadGbkField) after
// WriteGbkField(utf8): the text cut to fit, with '?' for what GBK lacks.
// Answers `utf8` itself when it comes back unchanged, as most texts do;
// otherwise `scratch` receives the text and the answer views it.
std::string_view GbkFieldText(std::string_view utf8, size_t width, std::string& scratch);

template <size_t N>
std::string ReadGbkField(const char (&field)[N]) {
    return ReadGbkField(field, N);
}
template <size_t N>
void WriteGbkField(char (&field)[N], std::string_view utf8) {
    WriteGbkField(field, N, utf8);
}

}  // namespace qd
