// SPDX-License-Identifier: GPL-3.0-or-later
// Saving, reopening, deleting and moving cases through the main window, the
// case tree's display styles and sort orders, and the full loading on its
// own thread.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <memory>

#include "app/casetree.h"
#include "app/casetreemodel.h"
#include "app/frmfenlei.h"
#include "app/frmmain.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/pinyin.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

namespace {

TRecordData Case(const char* name, int y, int mo, int d, int h, int mi, const char* category) {
    return CaseRecord(name, y, mo, d, h, mi, category);
}

QStringList Names(const TFrmMain& w, const std::vector<int>& ids, MRecordBase& store) {
    QStringList out;
    for (int id : ids) {
        TRecordData r;
        out << (store.ReadCase(id, r) ? QString::fromStdString(ReadGbkField(r.request.name))
                                      : QStringLiteral("?"));
    }
    Q_UNUSED(w);
    return out;
}

}  // namespace

class TCasesTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<MRecordBase> store_;
    std::unique_ptr<TScriptedMessenger> msgs_;
    std::unique_ptr<TFrmMain> w_;
    TMainUi ui_;
    QString chosen_ = QStringLiteral("婚姻");
    bool chooseOk_ = true;

    void OpenStore() {
        store_ = std::make_unique<MRecordBase>();
        QCOMPARE(
            store_->OpenDatabase((folder_ + "dat/Quadrelle.db").toStdString(), folder_.toStdString(), false),
            qd::TOpenResult::Opened);
        QVERIFY(store_->SetCategories({"婚姻", "财运", "求职"}));
    }
    void ShowWindow() {
        w_ = std::make_unique<TFrmMain>(folder_, store_.get());
        ui_ = TMainUi(*w_);
        w_->show();
    }
    void CastWith(const QString& name) {
        w_->Panel().SetPanelMoment(2024, 5, 1, 9, 30);
        ui_.EdtName->setText(name);
        w_->Panel().BtnPaiClick();
        QVERIFY(w_->CastShown());
    }
    void Select(int id) { QVERIFY(w_->CaseTree().SelectCase(id)); }
    // A node by its place: a top-level row, or a child of one.
    void SelectNode(int row, int child = -1) {
        const QAbstractItemModel* m = ui_.Tree->model();
        QModelIndex n = m->index(row, 0);
        if (child >= 0) n = m->index(child, 0, n);
        QVERIFY(n.isValid());
        ui_.Tree->setCurrentIndex(n);
    }
    int BusyRefusals() const {
        int n = 0;
        for (const auto& m : msgs_->log) n += m.text == QStringLiteral("请等待案例加载完毕！");
        return n;
    }

private slots:
    void init() {
        folder_ = NewAppFolder(dir_ = QTemporaryDir(), true);
        msgs_ = std::make_unique<TScriptedMessenger>();
        chosen_ = QStringLiteral("婚姻");
        chooseOk_ = true;
        SetCategoryChooser([this](QWidget*, const std::vector<std::string>& list, QString& out) {
            if (list.empty() || !chooseOk_) return false;
            out = chosen_;
            return true;
        });
        OpenStore();
    }
    void cleanup() {
        w_.reset();
        store_.reset();
        SetCategoryChooser(nullptr);
        msgs_.reset();
    }

    void categoryDialogAcceptsOnlyListedNames() {
        TFrmFenLei dlg({"婚姻", "Money"});
        QCOMPARE(dlg.CboFenLei->currentText(), QStringLiteral("婚姻"));
        dlg.CboFenLei->setEditText(QStringLiteral("  money "));
        dlg.BtnOkClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Result(), QStringLiteral("money"));
        // Only the case of Latin letters is ignored, and only blanks and
        // control characters are trimmed.
        const struct {
            QString typed;
            bool accepted;
        } typed[] = {{QStringLiteral("MONEY\t"), true},   {QStringLiteral("　Money"), false},
                     {QStringLiteral("ωμέγα"), false},    {QStringLiteral("ΩΜΈΓΑ"), true},
                     {QStringLiteral("ｆｕｌｌ"), false}, {QStringLiteral("ＦＵＬＬ"), true},
                     {QStringLiteral("жена"), false}};
        for (const auto& t : typed) {
            TFrmFenLei d({"Money", "ΩΜΈΓΑ", "ＦＵＬＬ", "ЖЕНА"});
            d.CboFenLei->setEditText(t.typed);
            d.BtnOkClick();
            QVERIFY2((d.result() == QDialog::Accepted) == t.accepted, qPrintable(t.typed));
        }
        TFrmFenLei none({});
        QCOMPARE(none.CboFenLei->currentText(), QString());
        none.CboFenLei->setEditText(QStringLiteral("新类"));
        none.BtnOkClick();
        QVERIFY(none.result() != QDialog::Accepted);
        QVERIFY(msgs_->Find(QStringLiteral(
            "请输入已经存在的类别名！如果要增加一个新的类别，请到案例列表上按鼠标右键-编辑类别！")));
        QCOMPARE(msgs_->log.last().caption, QStringLiteral("错误"));
    }

    void saveAsNewThenUpdateTheSameCase() {
        ShowWindow();
        w_->Cases().SaveCurrentCase();
        QVERIFY(msgs_->Has(QStringLiteral("请先排一个正确的盘后再保存")));
        CastWith(QStringLiteral("张三"));
        chooseOk_ = false;  // a cancelled choice saves nothing
        w_->Cases().SaveCurrentCase();
        QVERIFY(!w_->Cases().StoredCase());
        QCOMPARE(store_->CountCases(), 0);
        QCOMPARE(ui_.SbtoSave->text(), QStringLiteral("存新"));

        chooseOk_ = true;
        ui_.RedtPingYu->setPlainText(QStringLiteral("第一次评语'"));
        w_->Cases().SaveCurrentCase();
        QVERIFY(w_->Cases().StoredCase());
        const int id = w_->Cases().CurrentCaseId();
        QCOMPARE(id, 1);
        QCOMPARE(ui_.SbtoSave->text(), QStringLiteral("存旧"));
        QVERIFY(QFile::exists(w_->Cases().CommentFilePath()));
        QVERIFY(w_->Cases().CommentFilePath().endsWith(QStringLiteral("Quadrelle_f/张三_202405010930.rtf")));
        QCOMPARE(w_->CaseTree().ShownCount(), 1);
        QVERIFY(w_->CaseTree().CaseText(id).startsWith(QStringLiteral("张三     公2024-05-01 09:30 ")));
        TRecordData r;
        QVERIFY(store_->ReadCase(id, r));
        QCOMPARE(r.category, std::string("婚姻"));
        QCOMPARE(QString::fromStdString(r.comment), QStringLiteral("第一次评语"));

        ui_.RedtPingYu->setPlainText(QStringLiteral("改过的评语"));
        ui_.EdtEvent->setText(QStringLiteral("新问题"));
        CastWith(QStringLiteral("张三"));
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        const auto* ask = msgs_->Find(QStringLiteral("要修改“张三”这条案例吗？"));
        QVERIFY(ask && ask->question);
        QVERIFY(msgs_->Has(QStringLiteral("已保存编辑后的案例。")));
        QCOMPARE(w_->Cases().CurrentCaseId(), id);
        QCOMPARE(store_->CountCases(), 1);
        QVERIFY(store_->ReadCase(id, r));
        QCOMPARE(QString::fromStdString(r.comment), QStringLiteral("改过的评语"));
        QVERIFY(w_->CaseTree().CaseText(id).endsWith(QStringLiteral("新问题")));
        QVERIFY(!ui_.RedtPingYu->document()->isModified());
    }

    void aStoredCaseCastAtAnotherMomentAsksBeforeReplacingIt() {
        const QString question = QStringLiteral("要用新的起课时间覆盖原案例吗？");
        const auto moment = [this](int id) {
            TRecordData r;
            return store_->ReadCase(id, r) ? QStringLiteral("%1-%2-%3 %4")
                                                 .arg(r.request.year)
                                                 .arg(r.request.month)
                                                 .arg(r.request.day)
                                                 .arg(r.request.hour)
                                           : QString();
        };
        ShowWindow();
        CastWith(QStringLiteral("张三"));
        w_->Cases().SaveCurrentCase();
        QCOMPARE(w_->Cases().CurrentCaseId(), 1);
        // The same moment cast again updates without the question.
        w_->Panel().BtnPaiClick();
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        QVERIFY(!msgs_->Has(question));

        // Cancel saves nothing.
        w_->Panel().StepAndCast(TStep::NextDay);
        msgs_->choices = {TMsgAnswer::Cancel};
        w_->Cases().SaveCurrentCase();
        const auto* ask = msgs_->Find(question);
        QVERIFY(ask && ask->question);
        QCOMPARE(ask->caption, QStringLiteral("提示"));
        QCOMPARE(store_->CountCases(), 1);
        QCOMPARE(moment(1), QStringLiteral("2024-5-1 9"));

        // No, the default, keeps the stored case and saves a new one.
        msgs_->log.clear();
        chosen_ = QStringLiteral("财运");
        w_->Cases().SaveCurrentCase();
        QVERIFY(msgs_->Has(question));
        QCOMPARE(store_->CountCases(), 2);
        QCOMPARE(moment(1), QStringLiteral("2024-5-1 9"));
        QCOMPARE(w_->Cases().CurrentCaseId(), 2);
        QCOMPARE(moment(2), QStringLiteral("2024-5-2 9"));
        QCOMPARE(ui_.SbtoSave->text(), QStringLiteral("存旧"));

        // Yes replaces the stored case's moment after the usual question;
        // the next save has no question about the moment.
        w_->Panel().StepAndCast(TStep::NextDoubleHour);
        msgs_->log.clear();
        msgs_->choices = {TMsgAnswer::Yes};
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        QVERIFY(msgs_->Has(QStringLiteral("要修改“张三”这条案例吗？")));
        QCOMPARE(store_->CountCases(), 2);
        QCOMPARE(moment(2), QStringLiteral("2024-5-2 11"));
        msgs_->log.clear();
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        QVERIFY(!msgs_->Has(question));
        QVERIFY(msgs_->Has(QStringLiteral("已保存编辑后的案例。")));
    }

    void savingOverARowThatChangedOrWent() {
        ShowWindow();
        CastWith(QStringLiteral("张三"));
        w_->Cases().SaveCurrentCase();
        const int id = w_->Cases().CurrentCaseId();
        // The category editor moves the case on screen into 财运.
        TRecordData r;
        QVERIFY(store_->ReadCase(id, r));
        r.category = "财运";
        QVERIFY(store_->UpdateCase(id, r));
        ui_.RedtPingYu->setPlainText(QStringLiteral("改过"));
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        QVERIFY(store_->ReadCase(id, r));
        QCOMPARE(r.category, std::string("财运"));
        QCOMPARE(QString::fromStdString(r.comment), QStringLiteral("改过"));

        // Then it deletes the case: the next save adds it anew instead of
        // updating nothing.
        QVERIFY(store_->DeleteCase(id));
        ui_.RedtPingYu->setPlainText(QStringLiteral("还在"));
        chosen_ = QStringLiteral("求职");
        const int asked = int(msgs_->log.size());
        w_->Cases().SaveCurrentCase();
        QCOMPARE(int(msgs_->log.size()), asked);  // no update question
        QVERIFY(w_->Cases().StoredCase());
        QVERIFY(w_->Cases().CurrentCaseId() != id);
        QCOMPARE(store_->CountCases(), 1);
        QVERIFY(store_->ReadCase(w_->Cases().CurrentCaseId(), r));
        QCOMPARE(r.category, std::string("求职"));
        QCOMPARE(QString::fromStdString(r.comment), QStringLiteral("还在"));
        QVERIFY(QFile::exists(w_->Cases().CommentFilePath()));
        QVERIFY(!w_->CaseTree().CaseText(w_->Cases().CurrentCaseId()).isEmpty());
    }

    void aNewSaveWithoutItsCommentFileKeepsTheModifiedMark() {
        ShowWindow();
        QDir(folder_ + "Quadrelle_f").removeRecursively();
        WriteFileText(folder_ + "Quadrelle_f", "not a folder");  // no comment file can be written
        CastWith(QStringLiteral("张三"));
        ui_.RedtPingYu->setPlainText(QStringLiteral("评语"));
        ui_.RedtPingYu->document()->setModified(true);
        w_->Cases().SaveCurrentCase();
        QVERIFY(w_->Cases().StoredCase());
        QCOMPARE(store_->CountCases(), 1);
        QCOMPARE(msgs_->log.last().caption, QStringLiteral("错误"));
        // Closing will still offer to save the formatted comment.
        QVERIFY(ui_.RedtPingYu->document()->isModified());
    }

    void reopeningCastsAgainWithTheFormattedComment() {
        ShowWindow();
        CastWith(QStringLiteral("李四"));
        ui_.CboDiFen->setCurrentIndex(11);  // earth 亥, stored as 0
        w_->Panel().BtnPaiClick();
        ui_.RedtPingYu->setPlainText(QStringLiteral("普通粗体"));
        QTextCursor c(ui_.RedtPingYu->document());
        c.setPosition(2);
        c.setPosition(4, QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
        w_->Cases().SaveCurrentCase();
        const int id = w_->Cases().CurrentCaseId();

        // The comment ends in red large italics, and typing would go on so.
        QTextCharFormat loud;
        loud.setForeground(Qt::red);
        loud.setFontItalic(true);
        loud.setFontPointSize(28);
        c.movePosition(QTextCursor::End);
        c.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
        c.mergeCharFormat(loud);
        ui_.RedtPingYu->mergeCurrentCharFormat(loud);

        msgs_->answers = {true};
        w_->Cases().NewCase();
        QVERIFY(!w_->Cases().StoredCase() && !w_->CastShown());
        QCOMPARE(ui_.RedtPingYu->toPlainText(), QStringLiteral("输入自己的评语："));
        // A new case's prompt is in the view's own font again.
        for (const QTextCharFormat& f :
             {QTextCursor(ui_.RedtPingYu->document()).charFormat(), ui_.RedtPingYu->currentCharFormat()}) {
            QVERIFY(!f.fontItalic());
            QVERIFY(!f.hasProperty(QTextFormat::ForegroundBrush));
            QVERIFY(!f.hasProperty(QTextFormat::FontPointSize));
        }
        ui_.EdtName->setText(QStringLiteral("别人"));
        ui_.CboDiFen->setCurrentIndex(0);

        Select(id);
        w_->Cases().OpenSelectedCase();
        QVERIFY(w_->CastShown() && w_->Cases().StoredCase());
        QCOMPARE(w_->Cases().CurrentCaseId(), id);
        QCOMPARE(ui_.EdtName->text(), QStringLiteral("李四"));
        QCOMPARE(ui_.CboDiFen->currentIndex(), 11);
        QVERIFY(!ui_.RedtVelmark->toPlainText().isEmpty());
        QCOMPARE(ui_.SbtoSave->text(), QStringLiteral("存旧"));
        QCOMPARE(ui_.RedtPingYu->toPlainText().trimmed(), QStringLiteral("普通粗体"));
        QTextCursor r(ui_.RedtPingYu->document());
        r.setPosition(1);
        QVERIFY(r.charFormat().fontWeight() < QFont::Bold);
        r.setPosition(3);
        QCOMPARE(r.charFormat().fontWeight(), int(QFont::Bold));

        // Without its comment file the stored plain comment is shown.
        QVERIFY(QFile::remove(w_->Cases().CommentFilePath()));
        w_->Cases().OpenSelectedCase();
        QCOMPARE(ui_.RedtPingYu->toPlainText(), QStringLiteral("普通粗体"));
    }

    void deleteAsksWithNoAsDefaultAndRemovesNodeAndFile() {
        ShowWindow();
        CastWith(QStringLiteral("王五"));
        w_->Cases().SaveCurrentCase();
        const int first = w_->Cases().CurrentCaseId();
        const QString firstFile = w_->Cases().CommentFilePath();
        msgs_->answers = {true};
        w_->Cases().NewCase();
        CastWith(QStringLiteral("赵六"));
        w_->Cases().SaveCurrentCase();
        QCOMPARE(w_->CaseTree().ShownCount(), 2);

        ui_.Tree->clearSelection();
        w_->Cases().DeleteSelectedCase();
        QVERIFY(msgs_->Has(QStringLiteral("请先选择一个案例！")));

        Select(first);
        w_->Cases().DeleteSelectedCase();  // unanswered: No
        const auto* ask = msgs_->Find(QStringLiteral("确定要删除“王五”这个案例吗？"));
        QVERIFY(ask && ask->question);
        QCOMPARE(ask->caption, QStringLiteral("注意"));
        QVERIFY(!w_->CaseTree().CaseText(first).isEmpty());
        QVERIFY(QFile::exists(firstFile));

        msgs_->answers = {true};
        w_->Cases().DeleteSelectedCase();
        QVERIFY(w_->CaseTree().CaseText(first).isEmpty());
        QVERIFY(!QFile::exists(firstFile));
        TRecordData r;
        QVERIFY(!store_->ReadCase(first, r));
        QCOMPARE(w_->CaseTree().ShownCount(), 1);
        QCOMPARE(ui_.PopGuaLi->actions().last()->text(), QStringLiteral("【 1 条案例】"));

        // The case on screen: a second question, then the chart goes.
        Select(w_->Cases().CurrentCaseId());
        msgs_->answers = {true, true};
        w_->Cases().DeleteSelectedCase();
        QVERIFY(msgs_->Has(QStringLiteral("确定要删除当前正在查看的案例吗？")));
        QVERIFY(!w_->CastShown());
        QCOMPARE(ui_.Tree->model()->rowCount(), 0);
        w_->Cases().SaveCurrentCase();
        QCOMPARE(msgs_->log.last().text, QStringLiteral("请先排一个正确的盘后再保存"));
    }

    void treeOnItsOwnFollowsTheCaseCommands() {
        for (TRecordData r :
             {Case("李四", 2020, 1, 1, 10, 0, "婚姻"), Case("王五", 2021, 1, 1, 10, 0, "Money"),
              Case("赵六", 2022, 1, 1, 10, 0, "Money")})
            QVERIFY(store_->AddCase(r) > 0);
        TCaseTree tree(store_.get());
        const QAbstractItemModel* nodes = Find<QTreeView>(tree, "Tree")->model();
        tree.SetOrder(kShowClassified, kSortNone);
        tree.BuildTree({1, 2});
        QCOMPARE(tree.ShownCount(), 2);
        // A newly saved case joins its category node whatever the letter case.
        tree.AddCase(3, QStringLiteral("新案"), 1, QStringLiteral("MONEY"));
        QCOMPARE(tree.ShownCount(), 3);
        QCOMPARE(nodes->rowCount(), 2);
        QCOMPARE(tree.ShownIds(), (std::vector<int>{1, 2, 3}));
        QVERIFY(!tree.UpdateCase(42, QStringLiteral("无"), 0));
        QVERIFY(tree.UpdateCase(3, QStringLiteral("改过"), 0));
        QVERIFY(tree.SelectCase(3));
        QCOMPARE(tree.SelectedCaseText(), QStringLiteral("改过"));
        QCOMPARE(tree.MoveTargets(), QStringList{QStringLiteral("婚姻")});
        tree.MoveSelectedCase(QStringLiteral("婚姻"), 1);
        QCOMPARE(tree.ShownIds(), (std::vector<int>{1, 3, 2}));
        QCOMPARE(tree.ShownCount(), 3);
        // Nothing moves in a list.
        QVERIFY(tree.SetDisplay(kShowList, kSortNone));
        QVERIFY(tree.SelectCase(3));
        QCOMPARE(tree.MovableCaseId(), -1);
        QVERIFY(tree.MoveTargets().isEmpty());
    }

    void surnameKeys() {
        const ImCode im;
        QCOMPARE(SurnameKey("张三", im), 90024);
        QCOMPARE(SurnameKey("李", im), 76004);
        QCOMPARE(SurnameKey("刘", im), 76249);
        QCOMPARE(SurnameKey("abc", im), 97000);
        QCOMPARE(SurnameKey(" x", im), 32000);
        QCOMPARE(SurnameKey("", im), 0);
    }

    void sortOrdersAndDisplayStyles() {
        // ids 1..5: 李四, 刘五 and 李二 cast at the same minute.
        for (TRecordData r : {Case("李四", 2020, 1, 1, 10, 0, "婚姻"),
                              Case("刘五", 2020, 1, 1, 10, 0, "婚姻"), Case("张三", 2021, 5, 1, 8, 0, "财运"),
                              Case("a", 2019, 3, 1, 0, 0, "其他"), Case("李二", 2020, 1, 1, 10, 0, "婚姻")})
            QVERIFY(store_->AddCase(r) > 0);
        ShowWindow();
        const std::vector<int> ids = {1, 2, 3, 4, 5};
        // clang-format off
        const struct {
            int sort;
            QStringList names;
        } table[] = {
            {0, {"李四", "刘五", "张三", "a", "李二"}},
            {1, {"张三", "李四", "李二", "刘五", "a"}},
            {2, {"a", "李四", "李二", "刘五", "张三"}},
            {3, {"李四", "李二", "刘五", "张三", "a"}},
            {4, {"a", "张三", "刘五", "李四", "李二"}},
        };
        // clang-format on
        for (const auto& row : table) {
            w_->CaseTree().SetDisplay(kShowList, row.sort);
            w_->CaseTree().BuildTree(ids);
            QCOMPARE(Names(*w_, w_->CaseTree().ShownIds(), *store_), row.names);
        }
        QCOMPARE(ui_.PopGuaLi->actions().last()->text(), QStringLiteral("【 5 条案例】"));

        // Classified: 求职 holds no case, 其他 is not a stored category.
        w_->CaseTree().SetDisplay(kShowClassified, 0);
        QCOMPARE(w_->CaseTree().CategoryNames(), QStringList({"婚姻", "财运", "其他"}));
        std::vector<int> shown = w_->CaseTree().ShownIds();
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, ids);
        w_->CaseTree().SetDisplay(kShowList, 0);
        shown = w_->CaseTree().ShownIds();
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, ids);
        QCOMPARE(ui_.Tree->model()->rowCount(), 5);
        SelectNode(0);
        w_->FillMoveMenu();
        QVERIFY(ui_.MnuMoveTo->actions().isEmpty());  // nothing to move to in a list

        // Moving 张三 from 财运 to 婚姻.
        w_->CaseTree().SetDisplay(kShowClassified, 0);
        SelectNode(1);
        w_->FillMoveMenu();
        QVERIFY(ui_.MnuMoveTo->actions().isEmpty());
        Select(3);
        w_->FillMoveMenu();
        QStringList offered;
        for (QAction* a : ui_.MnuMoveTo->actions()) offered << a->text();
        QCOMPARE(offered, QStringList({"婚姻", "其他"}));
        w_->Cases().MoveSelectedCase(QStringLiteral("婚姻"));
        TRecordData r;
        QVERIFY(store_->ReadCase(3, r));
        QCOMPARE(r.category, std::string("婚姻"));
        const QAbstractItemModel* m = ui_.Tree->model();
        const QModelIndex marriage = m->index(0, 0);
        QCOMPARE(m->index(m->rowCount(marriage) - 1, 0, marriage).data(TCaseTreeModel::kCaseIdRole).toInt(),
                 3);
        QCOMPARE(m->rowCount(m->index(1, 0)), 0);
    }

    void fullLoadingRefusesEverythingUntilTheTreeIsComplete() {
        QVERIFY(store_->BeginBatch());
        for (int i = 0; i < 300; ++i) {
            TRecordData r = Case(i % 2 ? "李四" : "张三", 2000 + i % 50, 1 + i % 12, 1 + i % 28, i % 24,
                                 i % 60, i % 3 ? "婚姻" : "财运");
            QVERIFY(store_->AddCaseInBatch(r) > 0);
        }
        QVERIFY(store_->EndBatch());
        ShowWindow();
        w_->CaseTree().SetDisplay(kShowClassified, 1);
        w_->CaseTree().BuildTree({});
        QCOMPARE(w_->CaseTree().ShownCount(), 0);

        w_->CaseTree().ShowAllCasesClick();
        QVERIFY(w_->CaseTree().Busy());
        w_->Cases().SaveCurrentCase();
        w_->Cases().OpenSelectedCase();
        w_->Cases().DeleteSelectedCase();
        w_->Cases().MoveSelectedCase(QStringLiteral("婚姻"));
        w_->CaseTree().RefreshTree();
        w_->CaseTree().SetDisplay(kShowList, 0);
        w_->CaseTree().ShowAllCasesClick();
        QCOMPARE(BusyRefusals(), 7);
        QCOMPARE(w_->CaseTree().ShowStyle(), kShowClassified);

        QTRY_VERIFY_WITH_TIMEOUT(!w_->CaseTree().Busy(), 30000);
        QCOMPARE(w_->CaseTree().ShownCount(), 300);
        QCOMPARE(int(w_->CaseTree().ShownIds().size()), 300);
        QCOMPARE(ui_.Tree->model()->rowCount(), 2);
        QCOMPARE(w_->windowTitle(), QStringLiteral("澜川霁岚术1.6 "));

        // A close during a loading stops it and leaves nothing running.
        w_->CaseTree().ShowAllCasesClick();
        QVERIFY(w_->CaseTree().Busy());
        msgs_->answers = {true, true};
        QVERIFY(w_->close());
        QVERIFY(msgs_->Has(QStringLiteral("是否停止显示案例？")));
    }
};

QTEST_MAIN(TCasesTest)
#include "tst_cases.moc"
