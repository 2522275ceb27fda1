// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text sink over a QTextEdit: the engine writes its chart through it.
#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "base/richtext.h"

class QColor;
class QTextEdit;

namespace qd {

QColor ColorOfWin(TColor c);
TColor WinOfColor(const QColor& c);

class CQtRichTextSink : public IRichTextSink {
public:
    explicit CQtRichTextSink(QTextEdit* edit);

    void Clear() override;
    void SetDefaultAttributes() override;
    void SetParagraph(TAlign align, int firstLineIndent) override;
    void SetColor(TColor color) override;
    void SetBold(bool bold) override;
    void AddBlock(std::string_view text) override;
    int TextLength() const override;
    int Find(std::string_view text, int from, int to) const override;
    void Select(int start, int length) override;
    void SetSelectionColor(TColor color) override;
    void FocusAndScrollToTop() override;

private:
    void AddLine(const QString& line);

    QTextEdit* edit_;
    QTextCharFormat char_;
    QTextBlockFormat block_;
};

}  // namespace qd
