// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/encoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "gbk_oracle.h"

namespace qd {
namespace {

TEST(Encoding, RoundTripsChineseAndAscii) {
    const std::string text = "人元：庚 abc 求测人";
    std::string gbk = Utf8ToGbk(text);
    EXPECT_EQ(gbk.substr(0, 8), "\xC8\xCB\xD4\xAA\xA3\xBA\xB8\xFD");
    EXPECT_EQ(gbk.size(), 19u);
    EXPECT_EQ(GbkToUtf8(gbk), text);
    EXPECT_EQ(Utf8ToGbk(""), "");
    EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(Encoding, CharactersGbkLacksBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToGbk("中한"), "\xD6\xD0?");
    // A broken UTF-8 sequence becomes one mark and the rest still converts.
    EXPECT_EQ(Utf8ToGbk("\xE4\xB8"
                        "中"),
              "?\xD6\xD0");
    EXPECT_EQ(GbkLength("a😀b"), 3u);
}

TEST(Encoding, InvalidGbkBecomesReplacementCharacter) {
    EXPECT_EQ(GbkToUtf8("\xD6"), "\xEF\xBF\xBD");
    // A lead byte with a bad second byte: the second byte stands on its own.
    EXPECT_EQ(GbkToUtf8("\x81\x20"
                        "a"),
              "\xEF\xBF\xBD a");
    EXPECT_EQ(GbkToUtf8("\xFF\xD6\xD0"), "\xEF\xBF\xBD中");
}

TEST(Encoding, ReadingAcceptsFourByteGb18030) { EXPECT_EQ(GbkToUtf8("\x94\x39\xFC\x36"), "😀"); }

TEST(Encoding, LengthsCountGbkBytesAndCharacters) {
    EXPECT_EQ(GbkLength("人元：庚"), 8u);
    EXPECT_EQ(GbkLength("贵神：丙寅(青龙) 用"), 19u);
    EXPECT_EQ(CharCount("贵神：丙寅(青龙) 用"), 11u);
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("a😀"), 2u);
}

TEST(Encoding, CutsNeverSplitACharacter) {
    struct Case {
        const char* text;
        size_t max;
        const char* want;
    };
    const Case cases[] = {
        {"一二三", 5, "一二"}, {"一二三", 6, "一二三"}, {"一二三", 1, ""}, {"a一b", 2, "a"},
        {"a一b", 3, "a一"},    {"abc", 0, ""},          {"a😀b", 2, "a😀"},  // '?' in GBK: one byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutToGbkBytes(c.text, c.max), c.want) << c.text << " " << c.max;
    }
    EXPECT_EQ(CutToChars("甲乙丙丁", 2), "甲乙");
    EXPECT_EQ(CutToChars("甲a", 5), "甲a");
    EXPECT_EQ(CutToChars("甲a", 0), "");
}

TEST(Encoding, WriteFieldCutsAtCharacterBoundaryAndZeroFills) {
    char field[21];
    std::memset(field, 'x', sizeof field);
    // Ten Chinese characters fill 20 bytes, leaving the terminator's byte.
    WriteGbkField(field, "一二三四五六七八九十A");
    EXPECT_EQ(std::string(field, 20), Utf8ToGbk("一二三四五六七八九十"));
    EXPECT_EQ(field[20], '\0');
    EXPECT_EQ(ReadGbkField(field), "一二三四五六七八九十");

    // One ASCII first: the tenth character would need bytes 19 and 20.
    std::memset(field, 'x', sizeof field);
    WriteGbkField(field, "A一二三四五六七八九十");
    EXPECT_EQ(ReadGbkField(field), "A一二三四五六七八九");
    EXPECT_EQ(field[19], '\0');
    EXPECT_EQ(field[20], '\0');

    std::memset(field, 'x', sizeof field);
    WriteGbkField(field, "ab");
    for (size_t i = 2; i < sizeof field; ++i) EXPECT_EQ(field[i], '\0') << i;
}

TEST(Encoding, ReadFieldStopsAtWidthAndDropsHalfCharacter) {
    const char full[4] = {'a', 'b', 'c', 'd'};  // no terminator
    EXPECT_EQ(ReadGbkField(full), "abcd");
    // Written byte-wise by an older program: the last lead byte lost its pair.
    const char cut[5] = {'\xD6', '\xD0', 'a', '\xD6', '\0'};
    EXPECT_EQ(ReadGbkField(cut), "中a");
    const char empty[3] = {'\0', 'z', 'z'};
    EXPECT_EQ(ReadGbkField(empty), "");
}

}  // namespace
}  // namespace qd

namespace qd {
namespace {

TEST(EncodingSingleBytes, EuroAndWesternCodePages) {
    // The euro is the single GBK byte 0x80 both ways.
    EXPECT_EQ(Utf8ToGbk("€"), "\x80");
    EXPECT_EQ(GbkToUtf8("\x80"), "€");
    EXPECT_EQ(GbkToUtf8("a\x80\xd6\xd0\x80"), "a€中€");
    EXPECT_EQ(Cp1252ToUtf8("caf\xe9 \x93q\x94"), "café “q”");
    EXPECT_EQ(Latin1ToUtf8("\xe9\x93"), "é\xc2\x93");
    std::string s;
    AppendUtf8(s, 0x1F600);
    AppendUtf8(s, 0xD800);
    EXPECT_EQ(s, "\xF0\x9F\x98\x80\xEF\xBF\xBD");
    size_t i = 0;
    EXPECT_EQ(NextCodePoint(s, i), 0x1F600u);
    EXPECT_EQ(i, 4u);
}

}  // namespace
}  // namespace qd

// The table-driven conversions against the system converter run over each
// whole text, on every input class where the two could part: every code
// point, every GBK double-byte code, every pair of bytes, and random byte
// strings rich in lead bytes, digits, 0x80 and broken sequences.
namespace qd {
namespace {

std::string Utf8Of(uint32_t cp) {
    std::string s;
    AppendUtf8(s, cp);
    return s;
}

TEST(EncodingTables, EveryCodePointIsWrittenAsTheConverterWritesIt) {
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string text = Utf8Of(cp) + "a";
        const std::string want = oracle::Utf8ToGbk(text);
        ASSERT_EQ(Utf8ToGbk(text), want) << std::hex << cp;
        ASSERT_EQ(GbkLength(text), want.size()) << std::hex << cp;
    }
}

TEST(EncodingTables, EveryDoubleByteCodeReadsAndRoundTripsAsBefore) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string gbk = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string read = oracle::GbkToUtf8(gbk);
            ASSERT_EQ(GbkToUtf8(gbk), read) << std::hex << lead << trail;
            ASSERT_EQ(Utf8ToGbk(read), oracle::Utf8ToGbk(read)) << std::hex << lead << trail;
            if (trail != 0x7F && read != "\xEF\xBF\xBD") ++characters;
        }
    }
    EXPECT_GT(characters, 21000);  // the map was built: GBK has 21886 characters
}

TEST(EncodingTables, EveryPairOfBytesConvertsAsBefore) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string s = {static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(GbkToUtf8(s), oracle::GbkToUtf8(s)) << a << " " << b;
            ASSERT_EQ(Utf8ToGbk(s), oracle::Utf8ToGbk(s)) << a << " " << b;
        }
    }
}

TEST(EncodingTables, RandomBytesConvertCutAndFitAsBefore) {
    // Bytes where the codecs decide: ASCII and digits, the euro byte, lead and
    // trail bytes of both encodings, continuation bytes, NUL.
    const unsigned char alphabet[] = {0x00, 'a',  '0',  '5',  '9',  0x7F, 0x80, 0x81, 0x84, 0x90, 0x94,
                                      0xA1, 0xA4, 0xB0, 0xBF, 0xC0, 0xC2, 0xD6, 0xD0, 0xE0, 0xE3, 0xE4,
                                      0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFE, 0xFF, 0x40, 0x30, 0x39};
    std::mt19937 rng(20240501);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 1), length(1, 10), any(0, 255);
    for (int n = 0; n < 200000; ++n) {
        std::string s(length(rng), '\0');
        for (char& c : s) c = static_cast<char>(n % 4 == 0 ? any(rng) : alphabet[pick(rng)]);
        ASSERT_EQ(GbkToUtf8(s), oracle::GbkToUtf8(s)) << testing::PrintToString(s);
        ASSERT_EQ(Utf8ToGbk(s), oracle::Utf8ToGbk(s)) << testing::PrintToString(s);
        const size_t width = 1 + n % 9;
        ASSERT_EQ(CutToGbkBytes(s, width), oracle::CutToGbkBytes(s, width)) << testing::PrintToString(s);
        std::string scratch;
        ASSERT_EQ(GbkFieldText(s, width, scratch), oracle::FieldText(s, width)) << testing::PrintToString(s);
    }
}

TEST(EncodingTables, FieldTextKeepsWhatFitsAndConvertsTheRest) {
    struct Case {
        const char* text;
        size_t width;
        const char* want;
        bool same;  // answered without a copy
    };
    const Case cases[] = {
        {"张三", 21, "张三", true},
        {"一二三四五六七八九十A", 21, "一二三四五六七八九十", false},
        {"一二三四五六七八九十", 21, "一二三四五六七八九十", true},
        {"a😀b", 21, "a?b", false},
        {"€5", 3, "€5", true},
        {"a\0b", 21, "a", false},
        {"\xE4\xB8", 21, "?", false},
        {"", 21, "", true},
    };
    for (const Case& c : cases) {
        const std::string_view text(c.text, c.text == std::string("a\0b") ? 3 : std::strlen(c.text));
        std::string scratch = "old";
        const std::string_view got = GbkFieldText(text, c.width, scratch);
        EXPECT_EQ(got, c.want) << c.text;
        EXPECT_EQ(got.data() == text.data(), c.same) << c.text;
        EXPECT_EQ(got, oracle::FieldText(text, c.width)) << c.text;
    }
}

}  // namespace
}  // namespace qd
