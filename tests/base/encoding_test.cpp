#include "base/encoding.h"

#include <gtest/gtest.h>

#include <cstring>

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
    EXPECT_EQ(Utf8ToGbk("\xE4\xB8" "中"), "?\xD6\xD0");
    EXPECT_EQ(GbkLength("a😀b"), 3u);
}

TEST(Encoding, InvalidGbkBecomesReplacementCharacter) {
    EXPECT_EQ(GbkToUtf8("\xD6"), "\xEF\xBF\xBD");
    // A lead byte with a bad second byte: the second byte stands on its own.
    EXPECT_EQ(GbkToUtf8("\x81\x20" "a"), "\xEF\xBF\xBD a");
    EXPECT_EQ(GbkToUtf8("\xFF\xD6\xD0"), "\xEF\xBF\xBD中");
}

TEST(Encoding, ReadingAcceptsFourByteGb18030) {
    EXPECT_EQ(GbkToUtf8("\x94\x39\xFC\x36"), "😀");
}

TEST(Encoding, LengthsCountGbkBytesAndCharacters) {
    EXPECT_EQ(GbkLength("人元：庚"), 8u);
    EXPECT_EQ(GbkLength("贵神：丙寅(青龙) 用"), 19u);
    EXPECT_EQ(CharCount("贵神：丙寅(青龙) 用"), 11u);
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("a😀"), 2u);
}

TEST(Encoding, CutsNeverSplitACharacter) {
    struct Case { const char* text; size_t max; const char* want; };
    const Case cases[] = {
        {"一二三", 5, "一二"},
        {"一二三", 6, "一二三"},
        {"一二三", 1, ""},
        {"a一b", 2, "a"},
        {"a一b", 3, "a一"},
        {"abc", 0, ""},
        {"a😀b", 2, "a😀"},  // '?' in GBK: one byte
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
