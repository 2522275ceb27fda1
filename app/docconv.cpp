// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/docconv.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/richtext_qt.h"
#include "base/encoding.h"

namespace qd {

// RTF counts in twips, the view in pixels of a 96 dpi screen.
static double PixelsOfTwips(int twips) { return twips / 15.0; }
static int TwipsOfPixels(double px) { return int(px * 15.0 + 0.5); }

static Qt::Alignment AlignOf(int a) {
    switch (a) {
        case 1: return Qt::AlignHCenter;
        case 2: return Qt::AlignRight;
        case 3: return Qt::AlignJustify;
        default: return Qt::AlignLeft;
    }
}

void RtfToDocument(const TRtfDocument& rtf, QTextDocument* doc, double defaultPointSize) {
    doc->clear();
    QTextCursor c(doc);
    bool first = true;
    for (const TRtfParagraph& p : rtf.paragraphs) {
        QTextBlockFormat bf;
        bf.setAlignment(AlignOf(p.align));
        bf.setTextIndent(PixelsOfTwips(p.firstIndentTwips));
        bf.setLeftMargin(PixelsOfTwips(p.leftIndentTwips));
        QTextCharFormat base;
        base.setFontPointSize(defaultPointSize);
        base.setForeground(Qt::black);
        if (first) {
            c.setBlockFormat(bf);
            c.setBlockCharFormat(base);
            first = false;
        } else {
            c.insertBlock(bf, base);
        }
        for (const TRtfRun& r : p.runs) {
            QTextCharFormat f = base;
            if (!r.font.empty()) f.setFontFamilies({QString::fromStdString(r.font)});
            if (r.size > 0) f.setFontPointSize(r.size);
            if (r.hasColor) f.setForeground(ColorOfWin(r.color));
            f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
            f.setFontItalic(r.italic);
            f.setFontUnderline(r.underline);
            QString t = QString::fromStdString(r.text);
            t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            // Line breaks inside a run continue the paragraph's format.
            const QStringList parts = t.split('\n');
            for (int i = 0; i < parts.size(); ++i) {
                if (i > 0) c.insertBlock(bf, f);
                c.insertText(parts[i], f);
            }
        }
    }
}

TRtfDocument DocumentToRtf(const QTextDocument* doc) {
    TRtfDocument out;
    const QFont def = doc->defaultFont();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        TRtfParagraph p;
        const QTextBlockFormat bf = b.blockFormat();
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        p.align = (a & Qt::AlignHCenter) ? 1 : (a & Qt::AlignRight) ? 2 : (a & Qt::AlignJustify) ? 3 : 0;
        p.firstIndentTwips = TwipsOfPixels(bf.textIndent());
        p.leftIndentTwips = TwipsOfPixels(bf.leftMargin());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid()) continue;
            const QTextCharFormat f = frag.charFormat();
            TRtfRun r;
            r.text = frag.text().toStdString();
            const QFont font = f.font();
            r.font = (f.hasProperty(QTextFormat::FontFamilies) ? font.family() : def.family()).toStdString();
            r.size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : def.pointSizeF();
            if (f.hasProperty(QTextFormat::ForegroundBrush)) {
                r.color = WinOfColor(f.foreground().color());
                r.hasColor = true;
            }
            r.bold = f.fontWeight() >= QFont::Bold;
            r.italic = f.fontItalic();
            r.underline = f.fontUnderline();
            p.runs.push_back(std::move(r));
        }
        out.paragraphs.push_back(std::move(p));
    }
    return out;
}

std::string TextOfFileBytes(const std::string& bytes) {
    auto dec = QStringDecoder(QStringDecoder::Utf8);
    const QString s = dec(QByteArray::fromStdString(bytes));
    if (!dec.hasError()) return s.toStdString();
    return GbkToUtf8(bytes);
}

}  // namespace qd
