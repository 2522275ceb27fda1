// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/richtext_qt.h"

#include <QColor>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace qd {

QColor ColorOfWin(TColor c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

TColor WinOfColor(const QColor& c) {
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}

CQtRichTextSink::CQtRichTextSink(QTextEdit* edit) : edit_(edit) { SetDefaultAttributes(); }

void CQtRichTextSink::Clear() {
    edit_->clear();
    // An empty document still holds one block; the property marks that no
    // text was added to it yet, so the first block is filled, not appended.
    edit_->document()->setProperty("qdFresh", true);
}

void CQtRichTextSink::SetDefaultAttributes() {
    char_ = QTextCharFormat();
    char_.setFontPointSize(edit_->font().pointSizeF() > 0 ? edit_->font().pointSizeF() : 12);
    char_.setForeground(Qt::black);
    char_.setFontWeight(QFont::Normal);
    char_.setFontItalic(false);
    char_.setFontUnderline(false);
}

void CQtRichTextSink::SetParagraph(TAlign align, int firstLineIndent) {
    block_ = QTextBlockFormat();
    block_.setAlignment(align == TAlign::Center  ? Qt::AlignHCenter
                        : align == TAlign::Right ? Qt::AlignRight
                                                 : Qt::AlignLeft);
    block_.setTextIndent(firstLineIndent);
}

void CQtRichTextSink::SetColor(TColor color) { char_.setForeground(ColorOfWin(color)); }

void CQtRichTextSink::SetBold(bool bold) { char_.setFontWeight(bold ? QFont::Bold : QFont::Normal); }

void CQtRichTextSink::AddLine(const QString& line) {
    QTextDocument* doc = edit_->document();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    const bool fresh = doc->property("qdFresh").toBool() || doc->isEmpty();
    if (fresh) {
        c.setBlockFormat(block_);
        c.setBlockCharFormat(char_);
        doc->setProperty("qdFresh", false);
    } else {
        c.insertBlock(block_, char_);
    }
    c.insertText(line, char_);
}

void CQtRichTextSink::AddBlock(std::string_view text) {
    const QString all = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QStringList lines = all.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString& l : lines) AddLine(l);
}

int CQtRichTextSink::TextLength() const {
    const QTextDocument* doc = edit_->document();
    if (doc->property("qdFresh").toBool() || doc->isEmpty()) return 0;
    // Every block, the last one included, ends in one counted break.
    return doc->characterCount();
}

int CQtRichTextSink::Find(std::string_view text, int from, int to) const {
    const QString needle = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QString hay = edit_->document()->toPlainText();
    if (from < 0) from = 0;
    const int limit = (to < 0 || to > hay.size() + 1) ? int(hay.size()) + 1 : to;
    const int at = int(hay.indexOf(needle, from));
    if (at < 0 || at + needle.size() > limit) return -1;
    return at;
}

void CQtRichTextSink::Select(int start, int length) {
    QTextCursor c(edit_->document());
    const int max = edit_->document()->characterCount() - 1;
    c.setPosition(std::clamp(start, 0, max));
    c.setPosition(std::clamp(start + length, 0, max), QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
}

void CQtRichTextSink::SetSelectionColor(TColor color) {
    QTextCursor c = edit_->textCursor();
    if (!c.hasSelection()) return;
    QTextCharFormat f;
    f.setForeground(ColorOfWin(color));
    c.mergeCharFormat(f);
}

void CQtRichTextSink::FocusAndScrollToTop() {
    edit_->setFocus();
    QTextCursor c(edit_->document());
    c.movePosition(QTextCursor::Start);
    edit_->setTextCursor(c);
    edit_->ensureCursorVisible();
}

}  // namespace qd
