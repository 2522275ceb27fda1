// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/rtf.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

namespace qd {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A comment file as the Windows rich-text control writes it: GBK font table,
// colour table, bold, italic, underline, sizes, centring, indents, a tab, a
// \line, \u with its fallback, CRLF line ends and a trailing NUL.
TEST(RtfReader, ReadsWindowsRichEditFileWithFormatting) {
    const std::string data = ReadFile(std::string(QD_FIXTURES) + "/rtf/richedit_comment.rtf");
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(LooksLikeRtf(data));
    const TRtfDocument doc = ReadRtf(data);
    ASSERT_EQ(doc.paragraphs.size(), 4u);

    const TRtfParagraph& p0 = doc.paragraphs[0];
    ASSERT_EQ(p0.runs.size(), 1u);
    EXPECT_EQ(p0.runs[0].text, "输入自己的评语：");
    EXPECT_EQ(p0.runs[0].font, "宋体");
    EXPECT_EQ(p0.runs[0].size, 10);
    EXPECT_FALSE(p0.runs[0].hasColor);
    EXPECT_FALSE(p0.runs[0].bold);
    EXPECT_EQ(p0.align, 0);

    const TRtfParagraph& p1 = doc.paragraphs[1];
    ASSERT_EQ(p1.runs.size(), 4u);
    EXPECT_EQ(p1.runs[0].text, "财运");
    EXPECT_TRUE(p1.runs[0].bold);
    EXPECT_TRUE(p1.runs[0].hasColor);
    EXPECT_EQ(p1.runs[0].color, 0x0000FFu);  // red as 0x00BBGGRR
    EXPECT_EQ(p1.runs[1].text, "旺盛");
    EXPECT_FALSE(p1.runs[1].bold);
    EXPECT_FALSE(p1.runs[1].hasColor);
    EXPECT_EQ(p1.runs[2].text, " ok\n");  // only the first blank delimits \fs24
    EXPECT_EQ(p1.runs[2].font, "Arial");
    EXPECT_EQ(p1.runs[2].size, 12);
    EXPECT_EQ(p1.runs[3].text, "next");
    EXPECT_TRUE(p1.runs[3].underline);

    const TRtfParagraph& p2 = doc.paragraphs[2];
    EXPECT_EQ(p2.align, 1);
    ASSERT_EQ(p2.runs.size(), 1u);
    EXPECT_EQ(p2.runs[0].text, "中");
    EXPECT_EQ(p2.runs[0].font, "黑体");
    EXPECT_EQ(p2.runs[0].size, 14);
    EXPECT_TRUE(p2.runs[0].italic);
    EXPECT_EQ(p2.runs[0].color, 0xFF0000u);  // blue

    const TRtfParagraph& p3 = doc.paragraphs[3];
    EXPECT_EQ(p3.align, 0);  // \pard resets the centring
    EXPECT_EQ(p3.firstIndentTwips, 420);
    EXPECT_EQ(p3.leftIndentTwips, 210);
    ASSERT_EQ(p3.runs.size(), 1u);
    EXPECT_EQ(p3.runs[0].text, "\t你！");
    EXPECT_FALSE(p3.runs[0].italic);

    EXPECT_EQ(RtfPlainText(doc), "输入自己的评语：\n财运旺盛 ok\nnext\n中\n\t你！");
}

TEST(RtfReader, UnicodeEscapesAndSkipCounts) {
    struct {
        const char* rtf;
        const char* text;
    } cases[] = {
        {R"({\rtf1\uc1\u20320?\u22909?})", "你好"},
        {R"({\rtf1\uc2\u20320\'c4\'e3 end})", "你 end"},      // two fallback bytes skipped
        {R"({\rtf1\uc0\u19990\u30028})", "世界"},             // no fallback
        {R"({\rtf1\u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},  // surrogate pair: U+1F600
        {R"({\rtf1{\uc3\u20320}\u22909?x})", "你好x"},        // \uc ends with its group
        {R"({\rtf1\u20320{x}})", "你x"},                      // a brace ends the skip
        {R"({\rtf1\u22909\par x})", "好x"},                   // a control word is one skipped char
        {R"({\rtf1 \'c4\'e3\'ba\'c3})", "你好"},              // pairs of escapes: one GBK character
        {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fswiss\fcharset0 Arial;}}\f0 caf\'e9})", "café"},
        {R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fnil\fcharset134 SimSun;}}\f0 \'d6\'d0})", "中"},
    };
    for (const auto& c : cases) EXPECT_EQ(RtfToPlainText(c.rtf), c.text) << c.rtf;
}

TEST(RtfReader, SkipsDestinationsAndKeepsFieldResults) {
    const std::string rtf =
        R"({\rtf1\ansi{\fonttbl{\f0\fnil\fcharset134{\*\panose 02010600030101010101}\'cb\'ce\'cc\'e5;}})"
        R"({\stylesheet{\s0 Normal;}}{\info{\title secret}{\author me}})"
        R"({\*\unknowndest {\nested text}{\par}}{\pict\wmetafile8 0a0b{}})"
        R"({\*\shppict{\pict 00}}{\object{\*\objdata 01}{\result{\pict 00}}})"
        R"({\header head}{\footnote note}{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}})"
        R"( visible\bin4 {\}x tail\v hidden\v0 !})";
    const TRtfDocument doc = ReadRtf(rtf);
    EXPECT_EQ(RtfPlainText(doc), "link visible tail!");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].font, "宋体");  // \deff0 without \f
}

TEST(RtfReader, ParagraphEnds) {
    struct {
        const char* rtf;
        size_t paragraphs;
        const char* text;
    } cases[] = {
        {R"({\rtf1 a\par})", 1, "a"},  // the final \par closes the paragraph
        {R"({\rtf1 a})", 1, "a"},
        {R"({\rtf1 a\par\par})", 2, "a\n"},
        {R"({\rtf1 a\par b})", 2, "a\nb"},
        {R"({\rtf1 a\line b\tab c})", 1, "a\nb\tc"},
        {"{\\rtf1 a\\\r\nb}", 2, "a\nb"},  // backslash before a line end is \par
        {"{\\rtf1 a\r\nb}", 1, "ab"},      // bare line ends are not text
        {R"({\rtf1 a}trailing)", 1, "a"},  // nothing after the document's group
        {R"({\rtf1})", 0, ""},
        {"plain words", 0, ""},  // nothing before the opening brace counts
        {"\xEF\xBB\xBF{\\rtf1 a}", 1, "a"},
    };
    for (const auto& c : cases) {
        const TRtfDocument doc = ReadRtf(c.rtf);
        EXPECT_EQ(doc.paragraphs.size(), c.paragraphs) << c.rtf;
        EXPECT_EQ(RtfPlainText(doc), c.text) << c.rtf;
    }
}

TEST(RtfReader, MalformedInputNeverFails) {
    const std::string cases[] = {
        "",
        "{",
        "}",
        "}}}{{{",
        "\\",
        "{\\rtf1 \\'",
        "{\\rtf1 \\'4",
        "{\\rtf1 \\'zz ok}",
        "{\\rtf1 \\'c4}",
        "{\\rtf1 \\u}",
        "{\\rtf1\\u99999999999999999999 x}",
        "{\\rtf1\\u-99999999999 x}",
        "{\\rtf1\\bin999999999 x}",
        "{\\rtf1\\bin-5 x}",
        "{\\rtf1\\fs-5\\fs999999999 a}",
        "{\\rtf1\\cf99 a}",
        "{\\rtf1\\uc999999\\u20320 abc}",
        "{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\'cb}}\\f0 a}",
        "{\\rtf1{\\fonttbl;;;\\f;\\f-1\\fcharset}\\f-1 a}",
        "{\\rtf1{\\colortbl\\red999\\green-1;;}\\cf1 a\\cf-3 b}",
        "{\\rtf1\\" + std::string(1000, 'a') + "123 x}",
        "{\\rtf1\\*\\*\\*}",
        std::string("{\\rtf1 a\0b}", 11),
    };
    for (const std::string& c : cases) {
        const TRtfDocument doc = ReadRtf(c);
        (void)RtfPlainText(doc);
    }
    EXPECT_EQ(RtfToPlainText("{\\rtf1 \\'zz ok}"), "zz ok");
    EXPECT_EQ(RtfToPlainText("{\\rtf1\\bin999999999 x}"), "");
    const TRtfDocument colour = ReadRtf("{\\rtf1{\\colortbl ;\\red1\\green2\\blue3;}\\cf9 a}");
    ASSERT_EQ(colour.paragraphs.size(), 1u);
    EXPECT_FALSE(colour.paragraphs[0].runs[0].hasColor);
}

TEST(RtfReader, LargeInputsStayBoundedAndLinear) {
    const auto timed = [](const std::string& rtf, std::string* text) {
        const auto start = std::chrono::steady_clock::now();
        const TRtfDocument doc = ReadRtf(rtf);
        *text = RtfPlainText(doc);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    std::string text;
    const size_t depth = 200000;
    EXPECT_LT(timed("{\\rtf1 " + std::string(depth, '{') + "x\\b y" + std::string(depth, '}') + " z}", &text),
              2000);
    EXPECT_EQ(text, "xy z");

    // A huge font name must not be copied into each of many runs.
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(200000, 'N') + ";}}\\f0 ";
    for (int i = 0; i < 50000; ++i) rtf += "\\u20320?\\b a\\b0 ";
    rtf += "}";
    EXPECT_LT(timed(rtf, &text), 2000);
    EXPECT_EQ(text.size(), 50000u * 4);
    EXPECT_EQ(ReadRtf(rtf).paragraphs[0].runs[0].font, std::string(31, 'N'));
}

TEST(RtfWriter, PlainTextRoundTrip) {
    const char* texts[] = {
        "输入自己的评语：",
        "财运旺盛\n第二行 with a \\ backslash and {braces}\n",
        "\n\n三\t列\n",
        "é ① α 😀 \xE2\x82\xAC x",  // GBK letters, a sign GBK lacks, the euro
        "",
        "a",
        "\\par {\\b not bold} \\'cb",
    };
    for (const char* t : texts) {
        const std::string rtf = PlainTextToRtf(t);
        EXPECT_EQ(RtfToPlainText(rtf), t) << rtf;
    }
    EXPECT_EQ(RtfToPlainText(PlainTextToRtf("a\r\nb\rc")), "a\nb\nc");
}

TEST(RtfWriter, PlainTextLooksLikeTheRichEditControls) {
    const std::string rtf = PlainTextToRtf("张三\n李四");
    EXPECT_TRUE(LooksLikeRtf(rtf));
    EXPECT_NE(rtf.find("\\ansicpg936"), std::string::npos);
    EXPECT_NE(rtf.find("{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\fs20 "), std::string::npos);
    EXPECT_NE(rtf.find("\\'d5\\'c5\\'c8\\'fd\\par"), std::string::npos);
    size_t pars = 0;
    for (size_t at = rtf.find("\\par"); at != std::string::npos; at = rtf.find("\\par", at + 1))
        if (rtf.compare(at, 5, "\\pard") != 0) ++pars;
    EXPECT_EQ(pars, 2u);
    const TRtfDocument doc = ReadRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[1].runs[0].font, "宋体");
    EXPECT_EQ(doc.paragraphs[1].runs[0].size, 10);
}

TEST(RtfWriter, FormattedDocumentRoundTrip) {
    TRtfDocument doc;
    TRtfParagraph p;
    p.align = 1;
    p.firstIndentTwips = 420;
    TRtfRun a;
    a.text = "红字";
    a.font = "黑体";
    a.size = 14;
    a.hasColor = true;
    a.color = 0x0000FF;
    a.bold = true;
    TRtfRun b;
    b.text = " plain\tnext\nline";
    b.font = "My;{Font}";
    b.size = 10.5;
    b.italic = true;
    b.underline = true;
    TRtfRun c;  // default size and font after a sized run
    c.text = "默认";
    p.runs = {a, b, c};
    doc.paragraphs.push_back(p);
    doc.paragraphs.push_back(TRtfParagraph{});
    TRtfParagraph q;
    q.align = 2;
    q.leftIndentTwips = 360;
    TRtfRun d = a;
    d.color = 0xFF0000;
    d.text = "{蓝}";
    q.runs = {d};
    doc.paragraphs.push_back(q);

    const TRtfDocument back = ReadRtf(WriteRtf(doc));
    ASSERT_EQ(back.paragraphs.size(), 3u);
    const auto& r = back.paragraphs[0].runs;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(back.paragraphs[0].align, 1);
    EXPECT_EQ(back.paragraphs[0].firstIndentTwips, 420);
    EXPECT_EQ(r[0].text, "红字");
    EXPECT_EQ(r[0].font, "黑体");
    EXPECT_EQ(r[0].size, 14);
    EXPECT_TRUE(r[0].hasColor);
    EXPECT_EQ(r[0].color, 0x0000FFu);
    EXPECT_TRUE(r[0].bold);
    EXPECT_EQ(r[1].text, b.text);
    EXPECT_EQ(r[1].font, "My;{Font}");
    EXPECT_EQ(r[1].size, 10.5);
    EXPECT_FALSE(r[1].bold);
    EXPECT_FALSE(r[1].hasColor);
    EXPECT_TRUE(r[1].italic);
    EXPECT_TRUE(r[1].underline);
    EXPECT_EQ(r[2].text, "默认");
    EXPECT_EQ(r[2].size, 0);
    EXPECT_EQ(r[2].font, "宋体");  // font 0 is the default font
    EXPECT_FALSE(r[2].italic);
    EXPECT_TRUE(back.paragraphs[1].runs.empty());
    EXPECT_EQ(back.paragraphs[2].align, 2);
    EXPECT_EQ(back.paragraphs[2].firstIndentTwips, 0);
    EXPECT_EQ(back.paragraphs[2].leftIndentTwips, 360);
    ASSERT_EQ(back.paragraphs[2].runs.size(), 1u);
    EXPECT_EQ(back.paragraphs[2].runs[0].text, "{蓝}");
    EXPECT_EQ(back.paragraphs[2].runs[0].color, 0xFF0000u);
}

}  // namespace
}  // namespace qd
