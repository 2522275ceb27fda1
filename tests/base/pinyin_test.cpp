// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/pinyin.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/encoding.h"
#include "base/pinyin_data.h"

namespace qd {
namespace {

TEST(ImCode, SurnamesReadTheirCommonReading) {
    const ImCode im;
    struct {
        const char* name;
        const char* full;
    } rows[] = {
        {"赵", "Zhao "}, {"张", "Zhang "}, {"李", "Li "},  {"刘", "Liu "}, {"陈", "Chen "}, {"单", "Dan "},
        {"曾", "Ceng "}, {"仇", "Chou "},  {"查", "Cha "}, {"解", "Jie "}, {"区", "Qu "},   {"朴", "Pu "},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(im.Convert(Utf8ToGbk(r.name), ImCode::kFullSyllable), r.full) << r.name;
        EXPECT_EQ(im.ConvertUtf8(r.name, 0), std::string(1, r.full[0]) + " ") << r.name;
    }
    EXPECT_EQ(im.ConvertUtf8("张三", 0), "Z S ");
    EXPECT_EQ(im.ConvertUtf8("张三丰", ImCode::kFullSyllable), "Zhang San Feng ");
}

TEST(ImCode, TableCoverage) {
    size_t nonZero = 0, gb2312 = 0;
    for (size_t i = 0; i < kPinyinTableSize; ++i) {
        ASSERT_LE(kPinyinTable[i], kPinyinSyllableCount);
        if (kPinyinTable[i] == 0) continue;
        ++nonZero;
        const int lead = int(i / kPinyinColumns) + kPinyinLeadFirst;
        const int trail = int(i % kPinyinColumns) + kPinyinTrailFirst;
        if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1) ++gb2312;
        // Nothing refers to the empty slot or the three unused syllables.
        EXPECT_TRUE(kPinyinTable[i] != 394 && (kPinyinTable[i] < 401 || kPinyinTable[i] > 403)) << i;
    }
    EXPECT_GE(nonZero, 20745u);
    EXPECT_GE(gb2312, 6760u);
    EXPECT_STREQ(kPinyinSyllables[1], "a");
    EXPECT_STREQ(kPinyinSyllables[92], "ji");
    EXPECT_STREQ(kPinyinSyllables[394], "");
    EXPECT_STREQ(kPinyinSyllables[405], "nv");
}

TEST(ImCode, SingleByteAndSpecialRows) {
    const ImCode im;
    const int keep = ImCode::kKeepOther, mark = ImCode::kMarkUnknown;
    struct {
        const char* gbk;
        int options;
        const char* out;
    } cases[] = {
        {"", 0, ""},
        {"abc", -1, ""},
        {"aZ9", 0, "a Z 9 "},  // letters kept as written
        {",", 0, " "},
        {",", keep, ", "},
        {"\xA3\xC1", 0, "A "},  // full-width A
        {"\xA3\xBF", 0, " "},   // full-width ?
        {"\xA3\xBF", keep, "? "},
        {"\xA2\xA1", 0, "1 "},  // numbered signs
        {"\xA2\xAA", 0, "10 "},
        {"\xA2\xAB", 0, " "},
        {"\xA2\xC4", 0, "20 "},
        {"\xA2\xC5", 0, "1 "},
        {"\xA2\xE2", 0, "10 "},
        {"\xA2\xE5", 0, "1 "},
        {"\xA2\xFC", 0, "12 "},
        {"\xA2\x80", 0, " "},
        {"\xA2\x80", mark, "? "},
        {"\xA6\xA1", 0, "A "},  // Greek capitals and small letters
        {"\xA6\xA8", 0, "TH "},
        {"\xA6\xB8", 0, "O "},
        {"\xA6\xC1", 0, "A "},
        {"\xA6\xD7", 0, "PS "},
        {"\xA6\xB9", mark, " "},
        {"\xAA\xA1", 0, " "},  // user-defined area: no reading
        {"\xAA\xA1", mark, "? "},
        {"\xAA\xA1", mark | ImCode::kFullSyllable, "? "},
        {"\xB0\x31", 0, " 1 "},  // a byte before one below 0x40 stands alone
        {"\xD5", 0, " "},        // a lone last byte
        {"\x80", keep, "\x80 "},
        {"\xD5\xC5\xA3\xAC\xC8\xFD", keep, "Z , S "},  // 张，三
    };
    for (const auto& c : cases) EXPECT_EQ(im.Convert(c.gbk, c.options), c.out) << c.gbk << " / " << c.options;
}

}  // namespace
}  // namespace qd
