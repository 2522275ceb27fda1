// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/casecommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/casetree.h"
#include "app/castpanel.h"
#include "app/castsession.h"
#include "app/frmfenlei.h"
#include "app/messages.h"
#include "app/resultviews.h"
#include "base/encoding.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd {

static QString Q(const std::string& s) { return QString::fromStdString(s); }

TCaseCommands::TCaseCommands(MRecordBase* store, TCastSession& session, TCastPanel& panel, TCaseTree& tree,
                             TResultViews& views, QWidget* window)
    : QObject(window),
      store_(store),
      session_(session),
      panel_(panel),
      tree_(tree),
      views_(views),
      window_(window) {
    InitRecordData(storedCopy_);
}

bool TCaseCommands::WriteCommentFile(const QString& path) {
    // Only inside Quadrelle_f/, and whole or not at all: a crash while
    // writing keeps the previous comment file.
    if (!store_ || !store_->Comments().Write(path.toStdString(), views_.CommentRtf())) {
        ShowBox(window_,
                QString::fromUtf8(kCommentWriteText) + QStringLiteral("\n") + QDir::toNativeSeparators(path),
                QStringLiteral("错误"), TMsgIcon::Error);
        return false;
    }
    return true;
}

void TCaseCommands::RemoveCommentFile(const QString& path) {
    // A name that leads out of the comment folder deletes nothing.
    if (store_ && !path.isEmpty()) store_->Comments().Remove(path.toStdString());
}

void TCaseCommands::OfferToSave(const QString& question) {
    if (storedCase_ && views_.CommentModified() &&
        AskYes(window_, question, QStringLiteral("提示"), TMsgIcon::Warning))
        SaveCurrentCase();
}

namespace {

// Whether two requests are cast at the same moment: the same date and time
// in the same calendar, or the same day and hour of a direct cast.
bool SameMoment(const TCastRequest& a, const TCastRequest& b) {
    if (a.direct != b.direct) return false;
    if (a.direct) return a.directDay == b.directDay && a.directHour == b.directHour;
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.lunar == b.lunar && a.leap == b.leap;
}

}  // namespace

void TCaseCommands::SaveCurrentCase() {
    if (tree_.RefusedWhileBusy()) return;
    if (!session_.shown) {
        ShowBox(window_, QStringLiteral("请先排一个正确的盘后再保存"), QStringLiteral("提示"),
                TMsgIcon::Information);
        return;
    }
    if (!store_) return;
    // Before the comment file: the row would be refused and leave it orphaned.
    if (store_->IsDamaged()) {
        Notice(window_, QString::fromUtf8(kDamagedText));
        return;
    }
    TRecordData& record = session_.record;
    if (storedCase_) {
        // The row may have changed or gone since the case was opened (the
        // category editor, "移动到", a deletion). Updating a gone row would
        // store nothing and say nothing, so the case is saved as a new one;
        // a kept row keeps its present category.
        TRecordData row;
        const std::string errorBefore = store_->LastError();
        if (store_->ReadCase(currentId_, row)) {
            record.category = row.category;
        } else if (store_->LastError() != errorBefore) {
            Notice(window_, Q(store_->LastError()));
            return;
        } else {
            storedCase_ = false;
            panel_.ShowSaveKind(false);
        }
    }
    if (storedCase_ && !SameMoment(record.request, storedCopy_.request)) {
        // A cast at another moment over a stored case: replacing the case's
        // moment is asked for, a new case is the default.
        const TMsgAnswer a =
            Messenger().Box(window_, QStringLiteral("要用新的起课时间覆盖原案例吗？"), QStringLiteral("提示"),
                            TMsgIcon::Warning, TMsgButtons::YesNoCancel);
        if (a == TMsgAnswer::Cancel) return;
        if (a == TMsgAnswer::No) {
            SaveAsNewCase(record);
            return;
        }
    }
    if (storedCase_)
        UpdateStoredCase(record);
    else
        SaveAsNewCase(record);
}

void TCaseCommands::UpdateStoredCase(TRecordData& record) {
    const QString name = Q(ReadGbkField(storedCopy_.request.name));
    if (!AskYes(window_, QStringLiteral("要修改“%1”这条案例吗？").arg(name), QStringLiteral("提示"),
                TMsgIcon::Information))
        return;
    record.comment = views_.CommentPlainText().toStdString();
    if (!store_->UpdateCase(currentId_, record)) {
        Notice(window_, Q(store_->LastError()));
        return;
    }
    if (WriteCommentFile(commentPath_)) views_.SetCommentModified(false);
    // The stored copy is the case as stored now, its moment included, so
    // that the next save does not ask about the moment again.
    storedCopy_.request = record.request;
    if (tree_.UpdateCase(currentId_, Q(CaseNodeText(record)), record.request.filled ? 1 : 0))
        Notice(window_, QStringLiteral("已保存编辑后的案例。"));
}

void TCaseCommands::SaveAsNewCase(TRecordData& record) {
    std::vector<std::string> categories;
    store_->GetCategories(categories);
    QString chosen;
    if (!ChooseCategory(window_, categories, chosen)) return;
    record.category = chosen.toStdString();
    std::string base;
    const QString path = Q(store_->MakeCommentFileName(record, base));
    const bool written =
        WriteCommentFile(path);  // a failure is reported; the row still keeps the plain comment
    commentPath_ = path;
    record.commentFile = base;
    record.comment = views_.CommentPlainText().toStdString();
    const int id = store_->AddCase(record);
    if (id == -1) {
        Notice(window_, Q(store_->LastError()));
        return;
    }
    tree_.AddCase(id, Q(CaseNodeText(record)), record.request.filled ? 1 : 0, chosen);
    currentId_ = id;
    storedCase_ = true;
    // An unwritten comment file keeps the mark, so that closing still offers to save it.
    if (written) views_.SetCommentModified(false);
    panel_.ShowSaveKind(true);
    storedCopy_ = record;
}

void TCaseCommands::NewCase() {
    if (!AskYes(window_, QStringLiteral("确定要开始建立一个新案例吗?这将清除现有评语！"),
                QStringLiteral("新建"), TMsgIcon::Information))
        return;
    OfferToSave(QStringLiteral("当前评语文本已改变，要保存吗？"));
    storedCase_ = false;
    views_.ClearResult();
    views_.ResetComment();
    session_.shown = false;
    panel_.ShowSaveKind(false);
    for (int32_t& x : session_.record.extra) x = -1;
    panel_.SelectAutomaticGeneral();
}

void TCaseCommands::OpenSelectedCase() {
    if (tree_.RefusedWhileBusy()) return;
    const int id = tree_.SelectedCaseId();
    if (id == -1 || !store_) return;
    TRecordData r;
    if (!store_->ReadCase(id, r)) return;
    // The save still saves the case that was on screen.
    OfferToSave(QStringLiteral("当前记录文本已改变，要保存吗？"));
    session_.record = r;
    storedCopy_ = r;
    panel_.ShowRequest(r.request);

    session_.shown = false;
    storedCase_ = true;
    currentId_ = id;
    commentPath_ = Q(store_->CommentFilePath(r.commentFile));
    QFile f(commentPath_);
    if (IsInsideCommentFolder(store_->AppFolder(), commentPath_.toStdString()) && f.exists() &&
        f.open(QIODevice::ReadOnly))
        views_.LoadCommentRtf(f.readAll().toStdString());
    else
        views_.SetCommentText(Q(r.comment));
    panel_.ShowSaveKind(true);
    // The record is cast as stored, direct-cast fields included, not as
    // the restored panel would give it.
    if (!CastRecord(session_, window_)) return;
    views_.SetCommentModified(false);
}

void TCaseCommands::DeleteSelectedCase() {
    if (tree_.RefusedWhileBusy()) return;
    const int id = tree_.SelectedCaseId();
    if (id == -1) {
        Notice(window_, QStringLiteral("请先选择一个案例！"));
        return;
    }
    if (!store_) return;
    // The node text begins with the name, padded with blanks.
    const QString name = tree_.SelectedCaseText().section(' ', 0, 0);
    if (!AskYes(window_, QStringLiteral("确定要删除“") + name + QStringLiteral("”这个案例吗？"),
                QStringLiteral("注意"), TMsgIcon::Warning))
        return;
    QString file;
    if (storedCase_ && id == currentId_) {
        if (!AskYes(window_, QStringLiteral("确定要删除当前正在查看的案例吗？"), QStringLiteral("提示"),
                    TMsgIcon::Warning))
            return;
        views_.ClearResult();
        session_.shown = false;
        file = commentPath_;
    } else {
        TRecordData r;
        if (store_->ReadCase(id, r)) file = Q(store_->CommentFilePath(r.commentFile));
    }
    // The row goes first: a refused deletion keeps the formatted comment.
    if (!store_->DeleteCase(id)) {
        Notice(window_, Q(store_->LastError()));
        return;
    }
    RemoveCommentFile(file);
    tree_.RemoveSelectedCase();
}

void TCaseCommands::MoveSelectedCase(const QString& category) {
    if (tree_.RefusedWhileBusy()) return;
    const int id = tree_.MovableCaseId();
    if (!store_ || id == -1) return;
    TRecordData r;
    if (!store_->ReadCase(id, r)) {
        Notice(window_, Q(store_->LastError()));
        return;
    }
    r.category = category.toStdString();
    if (!store_->UpdateCase(id, r)) {
        Notice(window_, Q(store_->LastError()));
        return;
    }
    if (id == currentId_ && storedCase_) storedCopy_.category = r.category;
    tree_.MoveSelectedCase(category, r.request.filled);
}

}  // namespace qd
