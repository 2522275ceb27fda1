// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include "base/richtext_html.h"
#include "base/richtext_plain.h"

namespace qd {
namespace {

TEST(PlainTextSink, BlocksAndInnerLineBreaksCountOnePositionEach) {
    CPlainTextSink v;
    v.AddBlock("求测人:张三。事宜:问\r\n预测地:北京");  // 11 + 1 + 6
    v.AddBlock("干支:甲子年");
    v.AddBlock("霁岚术课式：\r\n");  // its own trailing break leaves an empty line
    v.AddBlock("a\nb\rc");
    EXPECT_EQ(v.Text(), "求测人:张三。事宜:问\n预测地:北京\n干支:甲子年\n霁岚术课式：\n\na\nb\nc");
    EXPECT_EQ(v.TextLength(), 18 + 1 + 6 + 1 + 6 + 1 + 1 + 5);
    EXPECT_EQ(v.Find("干支", 0, -1), 19);
    EXPECT_EQ(v.Find("预测地", 0, -1), 12);
    EXPECT_EQ(v.Find("\r\n\r\na", 0, -1), 32);
    EXPECT_EQ(v.TextRange(19, 2), "干支");
    EXPECT_EQ(v.BlockCount(), 4);

    v.Clear();
    EXPECT_EQ(v.TextLength(), 0);
    EXPECT_TRUE(v.Runs().empty());
    v.AddBlock("x");  // the first block after clearing has no leading break
    EXPECT_EQ(v.Text(), "x");
}

TEST(PlainTextSink, AttributesFormRunsAndSurviveUntilChanged) {
    CPlainTextSink v;
    v.SetColor(kGreen);  // reset by the default attributes below
    v.SetDefaultAttributes();
    v.AddBlock("ab");
    v.SetColor(kRed);
    v.SetBold(true);
    v.AddBlock("cd");
    v.AddBlock("e");  // still red and bold
    v.SetColor(kBlue);
    v.AddBlock("f");
    EXPECT_EQ(v.Text(), "ab\ncd\ne\nf");
    const std::vector<TTextRun> want = {
        {0, 2, kBlack, false},
        {2, 5, kRed, true},  // the separators take the block's attributes
        {7, 2, kBlue, true},
    };
    EXPECT_EQ(v.Runs(), want);
    EXPECT_EQ(v.ColorAt(1), kBlack);
    EXPECT_TRUE(v.BoldAt(3));
    EXPECT_EQ(v.ColorAt(8), kBlue);
    EXPECT_EQ(v.ColorAt(9), kBlack);  // outside the text
    EXPECT_EQ(v.ColorAt(-1), kBlack);
}

TEST(PlainTextSink, FindRequiresTheWholeMatchInsideTheRange) {
    CPlainTextSink v;
    v.AddBlock("贵神 xx 贵神 Ab");  // 贵神 at 0 and 6; Ab at 9
    struct Case {
        const char* needle;
        int from, to, want;
    };
    // clang-format off
    const Case cases[] = {
        {"贵神", 0, -1, 0},
        {"贵神", 1, -1, 6},
        {"贵神", 6, 8, 6},
        {"贵神", 6, 7, -1},    // match would run past `to`
        {"贵神", 7, 100, -1},
        {"贵神", -5, 2, 0},    // from clamped to 0
        {"贵神", 8, 3, -1},    // empty range
        {"ab", 0, -1, -1},     // case-sensitive
        {"Ab", 0, -1, 9},
        {"", 0, -1, -1},
        {"Ab\n", 0, -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(v.Find(c.needle, c.from, c.to), c.want) << c.needle << " [" << c.from << "," << c.to << ")";
    }
}

TEST(PlainTextSink, SelectionRecoloursOnlyTheSelectedRange) {
    CPlainTextSink v;
    v.SetColor(kBlue);
    v.SetBold(true);
    v.AddBlock("人元：庚\r\n\r\n贵神：丙寅");
    int p = v.Find("贵神", 0, v.TextLength());
    ASSERT_EQ(p, 6);
    v.Select(p, 3);
    v.SetSelectionColor(kRed);
    EXPECT_EQ(v.ColorAt(5), kBlue);
    EXPECT_EQ(v.ColorAt(6), kRed);
    EXPECT_EQ(v.ColorAt(8), kRed);
    EXPECT_EQ(v.ColorAt(9), kBlue);
    EXPECT_TRUE(v.BoldAt(6));                   // weight untouched
    EXPECT_EQ(v.CurrentFormat().color, kBlue);  // text added next unaffected

    v.Select(10, 50);  // clamped to the end
    EXPECT_EQ(v.SelectionStart(), 10);
    EXPECT_EQ(v.SelectionLength(), 1);
    v.Select(0, 0);
    v.SetSelectionColor(kGreen);
    EXPECT_EQ(v.ColorAt(0), kBlue);
    v.FocusAndScrollToTop();
    EXPECT_EQ(v.FocusRequests(), 1);
}

TEST(PlainTextSink, ParagraphFormatIsKept) {
    CPlainTextSink v;
    v.SetParagraph(TAlign::Left, 40);
    v.Clear();
    EXPECT_EQ(v.FirstLineIndent(), 40);
    EXPECT_EQ(v.Alignment(), TAlign::Left);
}

TEST(HtmlTextSink, EscapesTextAndRendersRunsAndBreaks) {
    CHtmlTextSink v;
    v.AddBlock("求测人:<a&b>。事宜:\"x\" 'y'");
    v.SetColor(kRed);
    v.SetBold(true);
    v.AddBlock("干支:甲子年  乙丑月");
    v.SetColor(kGreen);
    v.SetBold(false);
    v.AddBlock("吉");
    EXPECT_EQ(v.Html(),
              "<div style=\"white-space:pre-wrap\">"
              "求测人:&lt;a&amp;b&gt;。事宜:&quot;x&quot; &#39;y&#39;"
              "<span style=\"color:#ff0000;font-weight:bold\"><br>干支:甲子年  乙丑月</span>"
              "<span style=\"color:#008000\"><br>吉</span>"
              "</div>");
    EXPECT_EQ(v.Find("干支", 0, -1), 21);  // positions as in the plain sink

    std::string doc = v.Document("a<b");
    EXPECT_NE(doc.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(doc.find("<title>a&lt;b</title>"), std::string::npos);
    EXPECT_NE(doc.find(v.Html()), std::string::npos);
}

TEST(HtmlTextSink, ColoursAndParagraphStyle) {
    EXPECT_EQ(HtmlColor(kBlack), "#000000");
    EXPECT_EQ(HtmlColor(kRed), "#ff0000");
    EXPECT_EQ(HtmlColor(kBlue), "#0000ff");
    EXPECT_EQ(HtmlColor(kGreen), "#008000");
    EXPECT_EQ(HtmlColor(12635344), "#d0ccc0");

    CHtmlTextSink v;
    v.SetParagraph(TAlign::Center, 30);
    v.SetBold(true);
    v.AddBlock("a");
    EXPECT_EQ(v.Html(),
              "<div style=\"white-space:pre-wrap;text-align:center;padding-left:30px\">"
              "<span style=\"color:#000000;font-weight:bold\">a</span></div>");
}

}  // namespace
}  // namespace qd
