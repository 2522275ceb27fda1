// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/resultviews.h"

#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/docconv.h"
#include "app/messages.h"
#include "app/richtext_qt.h"
#include "app/shell.h"
#include "app/widgets.h"
#include "base/encoding.h"
#include "base/rtf.h"

namespace qd {

// ---------------------------------------------------------------- file commands

const QStringList& ViewFileFilters() {
    static const QStringList filters{QStringLiteral("Rtf格式 (*.rtf)"), QStringLiteral("Txt格式 (*.txt)"),
                                     QStringLiteral("文本文件 (UTF-8) (*.txt)")};
    return filters;
}

bool SaveViewAs(QWidget* parent, QTextEdit* view, const QString& name, TViewFile type) {
    const QString ext = type == TViewFile::Rtf ? QStringLiteral(".rtf") : QStringLiteral(".txt");
    const QString path = name.endsWith(ext, Qt::CaseInsensitive) ? name : name + ext;
    std::string bytes;
    if (type == TViewFile::Rtf) {
        bytes = WriteRtf(DocumentToRtf(view->document()));
    } else if (type == TViewFile::GbkText) {
        QString text = view->toPlainText();
        text.replace('\n', QStringLiteral("\r\n"));
        bytes = Utf8ToGbk(text.toStdString());
    } else {
        bytes = view->toPlainText().toStdString();
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ShowBox(parent, f.errorString(), QStringLiteral("错误"), TMsgIcon::Error);
        return false;
    }
    f.write(bytes.data(), qint64(bytes.size()));
    return true;
}

namespace {

bool HasBoldFace(const QString& family) {
    for (const QString& style : QFontDatabase::styles(family))
        if (QFontDatabase::weight(family, style) >= QFont::DemiBold) return true;
    return false;
}

// The family to print bold text of font `f` in: its own face when that has
// a bold face, else the first of the names it is mapped to that has one;
// empty when none has.
QString BoldFamily(const QFont& f) {
    QStringList candidates{QFontInfo(f).family()};
    for (const QString& name : f.families()) candidates << name << QFont::substitutes(name);
    for (const QString& name : candidates)
        if (HasBoldFace(name)) return name;
    return QString();
}

}  // namespace

std::unique_ptr<QTextDocument> PrintableDocument(const QTextDocument* doc, int screenDpi, int printerDpi) {
    std::unique_ptr<QTextDocument> out(doc->clone());
    // Printing lays the text out at the printer's resolution but takes
    // paragraph indents and margins as its pixels: the chart's left margin
    // would shrink to a sliver.
    const qreal scale = qreal(printerDpi) / screenDpi;
    QTextCursor c(out.get());
    for (QTextBlock b = out->begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        f.setTextIndent(f.textIndent() * scale);
        f.setLeftMargin(f.leftMargin() * scale);
        f.setRightMargin(f.rightMargin() * scale);
        c.setPosition(b.position());
        c.setBlockFormat(f);
    }
    // A face without a bold of its own is emboldened on screen but barely
    // in print; bold runs print in a mapped face that has one.
    struct TRun {
        int from, length;
        QString family;
    };
    std::vector<TRun> runs;
    for (QTextBlock b = out->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QFont font = frag.charFormat().font().resolve(out->defaultFont());
            if (font.weight() < QFont::DemiBold || HasBoldFace(QFontInfo(font).family())) continue;
            const QString family = BoldFamily(font);
            if (!family.isEmpty()) runs.push_back({frag.position(), frag.length(), family});
        }
    for (const TRun& r : runs) {
        c.setPosition(r.from);
        c.setPosition(r.from + r.length, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setFontFamilies({r.family});
        c.mergeCharFormat(f);
    }
    return out;
}

bool PrintView(QTextEdit* view, QPrinter* printer) {
    printer->setDocName(QString());
    PrintableDocument(view->document(), view->logicalDpiX(), printer->logicalDpiX())->print(printer);
    return printer->printerState() != QPrinter::Error;
}

// The format of the selection's first character.
static QTextCharFormat SelectionFormat(const QTextEdit* view) {
    const QTextCursor sel = view->textCursor();
    QTextCursor first(view->document());
    first.setPosition(sel.selectionStart() + (sel.hasSelection() ? 1 : 0));
    return first.charFormat();
}

QFont SelectionFont(const QTextEdit* view) {
    // A format holds only what was set on the text; the rest is the view's.
    QFont f = SelectionFormat(view).font().resolve(view->document()->defaultFont());
    // The font dialog knows sizes in points only.
    if (f.pointSizeF() <= 0 && f.pixelSize() > 0) f.setPointSizeF(f.pixelSize() * 72.0 / view->logicalDpiY());
    return f;
}

// The font dialog opened at `current`. It lists installed families only, so
// a name the program maps to another face (宋体) is shown as that face, and
// the font keeps its name when that face is kept.
static bool ChooseFont(QWidget* parent, const QFont& current, QFont& chosen) {
    QFont shown = current;
    if (!QFontDatabase::hasFamily(current.family())) shown.setFamily(QFontInfo(current).family());
    bool ok = false;
    chosen = QFontDialog::getFont(&ok, shown, parent);
    if (ok && chosen.family() == shown.family()) chosen.setFamilies(current.families());
    return ok;
}

QColor SelectionColor(const QTextEdit* view) {
    const QTextCharFormat f = SelectionFormat(view);
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color()
                                                       : view->palette().color(QPalette::Text);
}

void SetSelectionFont(QWidget* parent, QTextEdit* view) {
    QTextCursor c = view->textCursor();
    if (!c.hasSelection()) return;
    QFont f;
    if (!ChooseFont(parent, SelectionFont(view), f)) return;
    // Qt's font dialog has no colour box; the colour follows as a second step.
    const QColor col = QColorDialog::getColor(SelectionColor(view), parent);
    QTextCharFormat fmt;
    fmt.setFont(f);
    if (col.isValid()) fmt.setForeground(col);
    c.mergeCharFormat(fmt);
}

QString CommentPlainText(const QTextEdit* view) {
    QString t = view->toPlainText();
    t.replace('\n', QStringLiteral("\r\n"));
    t.remove('\'');
    return t;
}

// ---------------------------------------------------------------- the views

TResultViews::TResultViews(QWidget* parent) : QWidget(parent) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    SplitterV = new QSplitter(Qt::Vertical, this);
    SplitterV->setHandleWidth(3);
    SplitterV->setChildrenCollapsible(false);
    RedtVelmark = Named(new QTextEdit(SplitterV), "RedtVelmark");
    RedtVelmark->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RedtVelmark->setContextMenuPolicy(Qt::CustomContextMenu);
    RedtVelmark->setAcceptRichText(true);
    RedtPingYu = Named(new QTextEdit(SplitterV), "RedtPingYu");
    RedtPingYu->setMinimumHeight(20);
    RedtPingYu->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    RedtPingYu->setContextMenuPolicy(Qt::CustomContextMenu);
    RedtPingYu->setTabChangesFocus(false);
    QFont pf(QStringLiteral("宋体"));
    pf.setPixelSize(14);
    RedtPingYu->setFont(pf);
    ResetComment();
    SplitterV->addWidget(RedtVelmark);
    SplitterV->addWidget(RedtPingYu);
    SplitterV->setStretchFactor(0, 1);
    SplitterV->setStretchFactor(1, 0);
    lay->addWidget(SplitterV);
    sink_ = std::make_unique<CQtRichTextSink>(RedtVelmark);
    BuildMenus();
}

TResultViews::~TResultViews() = default;

void TResultViews::BuildMenus() {
    auto editItems = [](QMenu* m, QTextEdit* v, const char* paste) {
        QObject::connect(m->addAction(QStringLiteral("撤销")), &QAction::triggered, v, &QTextEdit::undo);
        QObject::connect(m->addAction(QStringLiteral("复制")), &QAction::triggered, v, &QTextEdit::copy);
        QObject::connect(m->addAction(QString::fromUtf8(paste)), &QAction::triggered, v, &QTextEdit::paste);
        QObject::connect(m->addAction(QStringLiteral("剪切")), &QAction::triggered, v, &QTextEdit::cut);
        QObject::connect(m->addAction(QStringLiteral("删除")), &QAction::triggered, v,
                         [v] { v->textCursor().removeSelectedText(); });
        m->addSeparator();
        QObject::connect(m->addAction(QStringLiteral("全选")), &QAction::triggered, v, &QTextEdit::selectAll);
        m->addSeparator();
    };
    PopRdtqdl = Named(new QMenu(this), "PopRdtqdl");
    editItems(PopRdtqdl, RedtVelmark, "粘贴");
    connect(PopRdtqdl->addAction(QStringLiteral("设置选中文字")), &QAction::triggered, this,
            [this] { SetSelectionFont(window(), RedtVelmark); });
    PopRdtqdl->addSeparator();
    connect(PopRdtqdl->addAction(QStringLiteral("导入霁岚术文件")), &QAction::triggered, this,
            &TResultViews::ImportCommand);
    connect(PopRdtqdl->addAction(QStringLiteral("另存为")), &QAction::triggered, this,
            [this] { SaveAsCommand(RedtVelmark); });
    PopRdtqdl->addSeparator();
    connect(PopRdtqdl->addAction(QStringLiteral("打印课例")), &QAction::triggered, this,
            [this] { PrintCommand(RedtVelmark, false); });

    PopPingYu = Named(new QMenu(this), "PopPingYu");
    editItems(PopPingYu, RedtPingYu, "粘帖");
    connect(PopPingYu->addAction(QStringLiteral("设置选中文本")), &QAction::triggered, this,
            [this] { SetSelectionFont(window(), RedtPingYu); });
    PopPingYu->addSeparator();
    connect(PopPingYu->addAction(QStringLiteral("另存为")), &QAction::triggered, this,
            [this] { SaveAsCommand(RedtPingYu); });
    connect(PopPingYu->addAction(QStringLiteral("打印")), &QAction::triggered, this,
            [this] { PrintCommand(RedtPingYu, true); });

    connect(RedtVelmark, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopRdtqdl->popup(RedtVelmark->viewport()->mapToGlobal(p)); });
    connect(RedtPingYu, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopPingYu->popup(RedtPingYu->viewport()->mapToGlobal(p)); });
}

void TResultViews::ImportCommand() {
    const QString path = QFileDialog::getOpenFileName(window(), QString(), LastFolder(TFileKind::ImportText),
                                                      QStringLiteral("All.rtf (*.rtf);;All.txt (*.txt)"));
    if (path.isEmpty()) return;
    RememberFolder(TFileKind::ImportText, QFileInfo(path).absolutePath());
    if (!ImportFile(path))
        ShowBox(window(), QStringLiteral("导入文件出错,请重试一次"), QStringLiteral("重试一次"),
                TMsgIcon::None);
}

void TResultViews::SaveAsCommand(QTextEdit* view) {
    QFileDialog dlg(window());
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(ViewFileFilters());
    dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QString start = LastFolder(TFileKind::ViewText);
    if (!start.isEmpty()) dlg.setDirectory(start);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    RememberFolder(TFileKind::ViewText, QFileInfo(dlg.selectedFiles().first()).absolutePath());
    const auto type = TViewFile(std::max(0, int(ViewFileFilters().indexOf(dlg.selectedNameFilter()))));
    if (SaveViewAs(window(), view, dlg.selectedFiles().first(), type))
        Notice(window(), QStringLiteral("已保存！"));
}

void TResultViews::PrintCommand(QTextEdit* view, bool ask) {
    if (ask &&
        !AskYes(window(), QStringLiteral("准备开始打印吗?"), QStringLiteral("打印"), TMsgIcon::Information))
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, window());
    if (dlg.exec() != QDialog::Accepted) return;
    if (!PrintView(view, &printer))
        ShowBox(window(), QStringLiteral("打印错误，请检查打印设备！"), QStringLiteral("打印错误"),
                TMsgIcon::Error);
}

// ---------------------------------------------------------------- result view

void TResultViews::ClearResult() { RedtVelmark->clear(); }

bool TResultViews::ImportFile(const QString& path) {
    QFile f(path);
    RedtVelmark->clear();
    sink_->Clear();
    sink_->SetDefaultAttributes();
    if (!f.open(QIODevice::ReadOnly)) return false;
    const std::string bytes = f.readAll().toStdString();
    const double size = RedtVelmark->font().pointSizeF() > 0 ? RedtVelmark->font().pointSizeF() : 12;
    if (bytes.rfind("{\\rtf", 0) == 0) {
        RtfToDocument(ReadRtf(bytes), RedtVelmark->document(), size);
    } else {
        RedtVelmark->setPlainText(QString::fromStdString(TextOfFileBytes(bytes)));
    }
    return true;
}

QFont TResultViews::BaseFont() const { return RedtVelmark->font(); }

void TResultViews::SetBaseFont(const QFont& font) {
    RedtVelmark->setFont(font);
    RedtVelmark->document()->setDefaultFont(font);
}

void TResultViews::SetBackground(TColor color) {
    bcolor_ = color & 0xFFFFFF;
    ApplyViewLook();
}

void TResultViews::ApplyViewLook() {
    const QColor c = ColorOfWin(bcolor_);
    // The view's own style sheet wins over a skin's.
    RedtVelmark->setStyleSheet(
        QStringLiteral("QTextEdit { background-color: %1; color: black; }").arg(c.name()));
}

void TResultViews::DefaultLookClick() {
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(12);
    SetBaseFont(f);
    SetBackground(0xFFFFFF);
    Notice(window(), QStringLiteral("设置完成"));
}

void TResultViews::FontClick() {
    QFont f;
    if (!ChooseFont(window(), RedtVelmark->font(), f)) return;
    QFont base(f.family());
    base.setPointSizeF(f.pointSizeF() > 0 ? f.pointSizeF() : 12);
    SetBaseFont(base);
    Notice(window(), QStringLiteral("设置完成"));
}

void TResultViews::ColorClick() {
    const QColor c = QColorDialog::getColor(ColorOfWin(bcolor_), window());
    if (!c.isValid()) return;
    SetBackground(WinOfColor(c));
    Notice(window(), QStringLiteral("设置完成"));
}

// ---------------------------------------------------------------- comment view

QString TResultViews::CommentPlainText() const { return qd::CommentPlainText(RedtPingYu); }

std::string TResultViews::CommentRtf() const { return WriteRtf(DocumentToRtf(RedtPingYu->document())); }

void TResultViews::LoadCommentRtf(const std::string& rtf) {
    RedtPingYu->clear();
    const double size = RedtPingYu->font().pointSizeF() > 0 ? RedtPingYu->font().pointSizeF() : 10.5;
    RtfToDocument(ReadRtf(rtf), RedtPingYu->document(), size);
}

void TResultViews::SetCommentText(const QString& plain) {
    // The view keeps the format at its cursor for text set in; a new text
    // starts from the view's own font, not the last comment's.
    RedtPingYu->clear();
    RedtPingYu->setCurrentCharFormat(QTextCharFormat());
    RedtPingYu->setPlainText(plain);
}

void TResultViews::ResetComment() {
    SetCommentText(QStringLiteral("输入自己的评语："));
    RedtPingYu->document()->setModified(false);
}

void TResultViews::AppendCommentNote(const QString& note) {
    RedtPingYu->setPlainText(RedtPingYu->toPlainText() + QStringLiteral("\n\n") + note);
    RedtPingYu->document()->setModified(false);
}

bool TResultViews::CommentModified() const { return RedtPingYu->document()->isModified(); }
void TResultViews::SetCommentModified(bool modified) { RedtPingYu->document()->setModified(modified); }

int TResultViews::CommentHeight() const { return SplitterV->sizes().value(1, RedtPingYu->height()); }

void TResultViews::SetCommentHeight(int height, int total) { SplitterV->setSizes({total - height, height}); }

}  // namespace qd
