// SPDX-License-Identifier: GPL-3.0-or-later
// TResultViews: the result view RedtVelmark, into which the engine writes
// the chart, above the comment view RedtPingYu, where the user writes the
// comment stored with a case. Their popup menus and file commands, the
// result view's base font and background, and what the case commands do to
// the comment.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "base/richtext.h"

class QColor;
class QFont;
class QMenu;
class QPrinter;
class QSplitter;
class QTextDocument;
class QTextEdit;

namespace qd {

class CQtRichTextSink;

// File commands on either view.
// The file types of "另存为", in the order of its filters: RTF, plain text
// in GBK (CR LF), plain text in UTF-8 (LF) for editors that assume it.
enum class TViewFile { Rtf, GbkText, Utf8Text };
const QStringList& ViewFileFilters();
// Writes the view under `name`, with the type's extension appended unless
// the name has it already; a failed write is reported to `parent`.
bool SaveViewAs(QWidget* parent, QTextEdit* view, const QString& name, TViewFile type);
// Prints the whole view as one document with an empty title.
bool PrintView(QTextEdit* view, QPrinter* printer);
// The document as it prints on a printer of `printerDpi` dots per inch: the
// paragraphs' indents and margins, given in pixels of the screen, scaled to
// it, and bold text in a face with a bold of its own where one is mapped.
std::unique_ptr<QTextDocument> PrintableDocument(const QTextDocument* doc, int screenDpi, int printerDpi);
// The selection's font from the font and colour dialogs, which open at the
// font and colour of its first character; nothing without a selection.
void SetSelectionFont(QWidget* parent, QTextEdit* view);
QFont SelectionFont(const QTextEdit* view);
QColor SelectionColor(const QTextEdit* view);
// The text as the store keeps it: the user's own line breaks as CR LF, no
// apostrophes.
QString CommentPlainText(const QTextEdit* view);

class TResultViews : public QWidget {
    Q_OBJECT
public:
    explicit TResultViews(QWidget* parent = nullptr);
    ~TResultViews() override;

    // What the engine writes its chart into.
    CQtRichTextSink* ResultSink() const { return sink_.get(); }
    void ClearResult();
    // "导入霁岚术文件": RTF as formatted text, anything else as plain text;
    // false when the file cannot be read (the view is cleared already).
    bool ImportFile(const QString& path);

    // The result view's base font and background ([minggao] of the
    // configuration), and the "命稿设置" items.
    QFont BaseFont() const;
    void SetBaseFont(const QFont& font);
    TColor Background() const { return bcolor_; }
    void SetBackground(TColor color);
    void DefaultLookClick();
    void FontClick();
    void ColorClick();
    // Sets the result view's colours again over a skin's.
    void ApplyViewLook();

    // The comment of the case on screen.
    QString CommentPlainText() const;
    std::string CommentRtf() const;
    void LoadCommentRtf(const std::string& rtf);
    void SetCommentText(const QString& plain);
    // "输入自己的评语：", unmodified.
    void ResetComment();
    // Appends a paragraph after an empty line, leaving the comment unmodified.
    void AppendCommentNote(const QString& note);
    bool CommentModified() const;
    void SetCommentModified(bool modified);
    // The maintenance commands show their progress in the comment view.
    QTextEdit* ProgressView() const { return RedtPingYu; }

    int CommentHeight() const;
    // The comment view's height within `total` pixels for both views.
    void SetCommentHeight(int height, int total);

private:
    void BuildMenus();
    void ImportCommand();
    void SaveAsCommand(QTextEdit* view);
    void PrintCommand(QTextEdit* view, bool ask);

    QSplitter* SplitterV = nullptr;
    QTextEdit* RedtVelmark = nullptr;
    QTextEdit* RedtPingYu = nullptr;
    QMenu *PopRdtqdl = nullptr, *PopPingYu = nullptr;
    std::unique_ptr<CQtRichTextSink> sink_;
    TColor bcolor_ = 0xC0CCD0;
};

}  // namespace qd
