// SPDX-License-Identifier: GPL-3.0-or-later
// The keyword and conditional searches over the whole case store, the hit
// list, merging the picked hit into the tree and opening it, and the refusal
// while the full loading runs.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/casetree.h"
#include "app/frmmain.h"
#include "app/frmsamename.h"
#include "app/frmsearch.h"
#include "app/shell.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

namespace {

TRecordData Case(const char* name, int year, const char* category, int province = 0) {
    TRecordData r = MakeRecordData();
    r.request.filled = 1;
    WriteGbkField(r.request.name, name);
    WriteGbkField(r.request.question, "问事");
    WriteGbkField(r.request.place, "未知地");
    r.request.year = int16_t(year);
    r.request.month = 5;
    r.request.day = 1;
    r.request.hour = 9;
    r.request.minute = 30;
    r.request.earth = 1;
    r.request.province = int16_t(province);
    r.category = category;
    r.comment = "平常";
    r.commentFile = std::string("f") + std::to_string(year);
    return r;
}

// Only the keyword prompt is used here; it answers from a queue (empty: cancel).
class TPromptShell : public IShellServices {
public:
    TPromptShell() { SetShell(this); }
    ~TPromptShell() override { SetShell(nullptr); }
    QString ChooseFolder(QWidget*, const QString&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const QString&) override { return {}; }
    bool InputQuery(QWidget*, const QString& caption, const QString& prompt, QString& value) override {
        captions << caption;
        prompts << prompt;
        if (inputs.isEmpty()) return false;
        value = inputs.takeFirst();
        return true;
    }
    bool OpenFolder(const QString&) override { return true; }
    void EndProgram() override {}
    QStringList inputs, captions, prompts;
};

}  // namespace

class TSearchTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<MRecordBase> store_;
    std::unique_ptr<TScriptedMessenger> msgs_;
    std::unique_ptr<TPromptShell> shell_;
    std::unique_ptr<TFrmMain> w_;
    TMainUi ui_;
    // What the runner does with each dialog; by default it declines.
    std::function<int(TFrmSearch&)> onSearch_;
    std::function<int(TFrmSameName&)> onList_;
    QStringList lines_;
    QString listCaption_;
    int dialogs_ = 0;

    int Add(const char* name, int year, const char* category, int province = 0) {
        TRecordData r = Case(name, year, category, province);
        return store_->AddCase(r);
    }
    // 1 张三 2004 婚姻, 2 小张 2010 财运, 3 张 1999 求职 (province 2),
    // 4 Wang 2004 婚姻, 5 李四 -119 (120 BC) 财运
    void AddCases() {
        QCOMPARE(Add("张三", 2004, "婚姻"), 1);
        QCOMPARE(Add("小张", 2010, "财运"), 2);
        QCOMPARE(Add("张", 1999, "求职", 2), 3);
        QCOMPARE(Add("Wang", 2004, "婚姻"), 4);
        QCOMPARE(Add("李四", -119, "财运"), 5);
    }
    void ShowWindow() {
        w_ = std::make_unique<TFrmMain>(folder_, store_.get());
        ui_ = TMainUi(*w_);
        w_->show();
    }
    std::vector<int> Conditional(const std::function<void(TFrmSearch&)>& fill, TSearchCriteria& c) {
        TFrmSearch dlg(c, *store_);
        fill(dlg);
        dlg.BtnSearchClick();
        if (!QTest::qWaitFor([&] { return !dlg.Searching(); })) return {-1};
        return dlg.result() == QDialog::Accepted ? dlg.Hits() : std::vector<int>{};
    }
    int Count(const QString& text) const {
        int n = 0;
        for (const auto& m : msgs_->log) n += m.text == text;
        return n;
    }

private slots:
    void init() {
        folder_ = NewAppFolder(dir_ = QTemporaryDir(), true);
        msgs_ = std::make_unique<TScriptedMessenger>();
        shell_ = std::make_unique<TPromptShell>();
        store_ = std::make_unique<MRecordBase>();
        QCOMPARE(
            store_->OpenDatabase((folder_ + "dat/Quadrelle.db").toStdString(), folder_.toStdString(), false),
            qd::TOpenResult::Opened);
        QVERIFY(store_->SetCategories({"婚姻", "财运", "求职"}));
        onSearch_ = [](TFrmSearch&) { return int(QDialog::Rejected); };
        onList_ = [](TFrmSameName&) { return int(QDialog::Rejected); };
        lines_.clear();
        listCaption_.clear();
        dialogs_ = 0;
        SetDialogRunner([this](QDialog& d) {
            ++dialogs_;
            if (auto* s = qobject_cast<TFrmSearch*>(&d)) return onSearch_(*s);
            auto* l = qobject_cast<TFrmSameName*>(&d);
            if (!l) return int(QDialog::Rejected);
            lines_.clear();
            for (int i = 0; i < l->LstRecord->count(); ++i) lines_ << l->LstRecord->item(i)->text();
            listCaption_ = l->windowTitle();
            return onList_(*l);
        });
    }
    void cleanup() {
        w_.reset();
        store_.reset();
        SetDialogRunner(nullptr);
        shell_.reset();
        msgs_.reset();
    }

    void keywordSearchTakesOneKeywordPerField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("lines");
        const QString zhang = QStringLiteral("张三     2004-05-01 婚姻");
        QTest::newRow("name and year") << QStringLiteral(" 张  2004年 ") << QStringList{zhang};
        QTest::newRow("two keywords, one field") << QStringLiteral("张 三") << QStringList{};
        QTest::newRow("case-sensitive") << QStringLiteral("wang") << QStringList{};
        QTest::newRow("latin name") << QStringLiteral("Wang 5月 巳时")
                                    << QStringList{QStringLiteral("Wang     2004-05-01 婚姻")};
        QTest::newRow("every year and BC") << QStringLiteral("财运")
                                           << QStringList{QStringLiteral("小张     2010-05-01 财运"),
                                                          QStringLiteral("李四     -120-05-01 财运")};
    }
    void keywordSearchTakesOneKeywordPerField() {
        QFETCH(QString, typed);
        QFETCH(QStringList, lines);
        AddCases();
        ShowWindow();
        shell_->inputs = {typed};
        w_->Search().FuzzySearchClick();
        QTRY_VERIFY(!w_->CaseTree().Busy());
        QCOMPARE(shell_->captions, QStringList{QStringLiteral("模糊查找")});
        QCOMPARE(shell_->prompts[0],
                 QStringLiteral("请输入要查找的关键字（姓名、地址、类别、年-月-日-时、评语）：            "));
        QCOMPARE(lines_, lines);
        QCOMPARE(Count(QStringLiteral("没有符合的案例！")), lines.isEmpty() ? 1 : 0);
        if (!lines.isEmpty())
            QCOMPARE(listCaption_, QString::number(lines.size()) + QStringLiteral("个案例"));
    }

    void keywordPromptCancelledOrBlankDoesNothing() {
        AddCases();
        ShowWindow();
        msgs_->log.clear();
        w_->Search().FuzzySearchClick();  // cancelled
        shell_->inputs = {QStringLiteral("   ")};
        w_->Search().FuzzySearchClick();
        QCOMPARE(dialogs_, 0);
        QVERIFY(msgs_->log.isEmpty());
    }

    void conditionsByNameCategoryYearsAndProvince() {
        AddCases();
        TSearchCriteria c{};
        auto ids = [&](const std::function<void(TFrmSearch&)>& fill) { return Conditional(fill, c); };
        using V = std::vector<int>;
        QCOMPARE(ids([](TFrmSearch& d) {
                     d.CboProv->setCurrentIndex(0);
                     d.LedtName->setText(QStringLiteral(" 张 "));
                 }),
                 (V{1, 2, 3}));
        QCOMPARE(c.nameMode, uint8_t(1));
        QCOMPARE(c.province, int16_t(-1));
        QCOMPARE(ids([](TFrmSearch& d) { d.ChkName->setChecked(true); }), V{3});
        QCOMPARE(ids([](TFrmSearch& d) {
                     d.LedtName->setText(QStringLiteral("wang"));  // whole name ignores Latin case
                 }),
                 V{4});
        QCOMPARE(ids([](TFrmSearch& d) {
                     d.LedtName->clear();
                     d.CboClass->setEditText(QStringLiteral("财运"));
                 }),
                 (V{2, 5}));
        QCOMPARE(ids([](TFrmSearch& d) {
                     d.CboClass->setEditText(QString());
                     d.LedtY1->setText(QStringLiteral("1999"));
                     d.LedtY2->setText(QStringLiteral("2004"));
                 }),
                 (V{1, 3, 4}));
        QCOMPARE(ids([](TFrmSearch& d) { d.CboProv->setCurrentIndex(3); }), V{3});
        QCOMPARE(ids([](TFrmSearch& d) {
                     d.CboProv->setCurrentIndex(0);
                     d.LedtY1->clear();
                     d.LedtY2->clear();
                     d.LedtQuestion->setText(QStringLiteral("问"));
                     d.LedtComment->setText(QStringLiteral("平常"));
                 }),
                 (V{1, 2, 3, 4, 5}));
        QVERIFY(c.questionGiven && c.commentGiven && !c.yearsGiven);
    }

    void firstSearchOffersEveryProvinceAndKeepsTheChoice() {
        AddCases();
        ShowWindow();
        TSearchCriteria& c = w_->Search().Criteria();
        QString offered;
        const auto byYears = Conditional(
            [&](TFrmSearch& d) {
                offered = d.CboProv->currentText();
                d.LedtY1->setText(QStringLiteral("1999"));
                d.LedtY2->setText(QStringLiteral("2004"));
            },
            c);
        QCOMPARE(offered, QStringLiteral("全部省份"));
        QCOMPARE(byYears, (std::vector<int>{1, 3, 4}));
        QCOMPARE(Conditional([](TFrmSearch& d) { d.CboProv->setCurrentIndex(3); }, c), std::vector<int>{3});
        TFrmSearch again(c, *store_);
        QCOMPARE(again.CboProv->currentIndex(), 3);
    }

    void yearsBeforeChristAndTheDialogReopening() {
        AddCases();
        TSearchCriteria c{};
        {
            // A record of province 0 stands for the first province.
            TFrmSearch first(c, *store_);
            QCOMPARE(first.CboProv->currentText(), QStringLiteral("福建省"));
            QCOMPARE(first.RdoSex->checkedId(), 0);
            QCOMPARE(first.windowTitle(), QStringLiteral("查找案例"));
        }
        const auto hits = Conditional(
            [](TFrmSearch& d) {
                d.CboProv->setCurrentIndex(0);
                d.RdoSex->button(1)->setChecked(true);
                d.LedtY1->setText(QStringLiteral("-120"));
                d.LedtY2->setText(QStringLiteral("-100"));
                d.LedtName->setText(QStringLiteral("李"));
                d.ChkName->setChecked(false);
                d.CboClass->setEditText(QStringLiteral("财运"));
                d.ChkClass->setChecked(true);
            },
            c);
        QCOMPARE(hits, std::vector<int>{5});
        QCOMPARE(c.yearFrom, int16_t(-119));
        QCOMPARE(c.yearTo, int16_t(-99));
        QCOMPARE(c.sex, uint8_t(1));
        QCOMPARE(c.sexGiven, uint8_t(0));  // the search clears it

        TFrmSearch again(c, *store_);
        QCOMPARE(again.LedtY1->text(), QStringLiteral("-120"));
        QCOMPARE(again.LedtY2->text(), QStringLiteral("-100"));
        QCOMPARE(again.CboProv->currentText(), QStringLiteral("全部省份"));
        QCOMPARE(again.RdoSex->checkedId(), 0);
        QCOMPARE(again.LedtName->text(), QStringLiteral("李"));
        QVERIFY(!again.ChkName->isChecked());
        QCOMPARE(again.CboClass->currentText(), QStringLiteral("财运"));
        QVERIFY(again.ChkClass->isChecked());
        QVERIFY(again.CboClass->findText(QStringLiteral("求职")) >= 0);

        // "清空" empties the fields only after a Yes; the record waits for "查找".
        again.BtoAllClick();
        QCOMPARE(again.LedtName->text(), QStringLiteral("李"));
        const auto& ask = msgs_->log.last();
        QCOMPARE(ask.text, QStringLiteral("这将清除所有输入的条件参数，确定吗？"));
        QVERIFY(ask.caption == QStringLiteral("提示") && ask.icon == TMsgIcon::Information && ask.question);
        msgs_->answers = {true};
        again.BtoAllClick();
        QVERIFY(again.LedtY1->text().isEmpty() && again.LedtName->text().isEmpty());
        QVERIFY(again.CboClass->currentText().isEmpty() && !again.ChkClass->isChecked());
        QCOMPARE(again.CboProv->currentIndex(), 0);
        QCOMPARE(c.nameMode, uint8_t(1));
    }

    void refusedCriteriaKeepTheDialogOpen_data() {
        QTest::addColumn<QString>("y1");
        QTest::addColumn<QString>("y2");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        const QString range = QStringLiteral(
            "年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120");
        const QString yearCaption = QStringLiteral("年份错误");
        const int warning = int(TMsgIcon::Warning);
        // clang-format off
        QTest::newRow("year 0") << "0" << "10" << "" << range << yearCaption << warning;
        QTest::newRow("one field empty") << "1990" << "" << "" << range << yearCaption << warning;
        QTest::newRow("not a number") << "19a0" << "2000" << "" << range << yearCaption << warning;
        QTest::newRow("below -850") << "-851" << "2000" << "" << range << yearCaption << warning;
        QTest::newRow("above 2100") << "2000" << "2101" << "" << range << yearCaption << warning;
        QTest::newRow("reversed") << "2005" << "2000" << "" << QStringLiteral("结束年必须大于或等于起始年")
                                  << yearCaption << warning;
        QTest::newRow("no hit") << "" << "" << QStringLiteral("没人") << QStringLiteral("没有找到符合条件的案例。")
                                << QStringLiteral("信息") << int(TMsgIcon::Information);
        // clang-format on
    }
    void refusedCriteriaKeepTheDialogOpen() {
        QFETCH(QString, y1);
        QFETCH(QString, y2);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        AddCases();
        TSearchCriteria c{};
        TFrmSearch dlg(c, *store_);
        dlg.LedtY1->setText(y1);
        dlg.LedtY2->setText(y2);
        dlg.LedtName->setText(name);
        dlg.BtnSearchClick();
        QTRY_VERIFY(!dlg.Searching());
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(msgs_->log.size(), 1);
        QCOMPARE(msgs_->log[0].text, message);
        QCOMPARE(msgs_->log[0].caption, caption);
        QCOMPARE(int(msgs_->log[0].icon), icon);
        QVERIFY(dlg.BtnSearch->isEnabled() && dlg.AniBusy->isHidden());
    }

    void emptyStoreHasNothingToSearch() {
        TSearchCriteria c{};
        TFrmSearch dlg(c, *store_);
        dlg.BtnSearchClick();
        QVERIFY(dlg.result() != QDialog::Accepted);
        QVERIFY(msgs_->Has(QStringLiteral("没有记录，无从查找。")));
    }

    void conditionalSearchRunsWhileTheDialogWaits() {
        AddCases();
        TSearchCriteria c{};
        TFrmSearch dlg(c, *store_);
        dlg.show();
        dlg.CboProv->setCurrentIndex(0);
        dlg.LedtName->setText(QStringLiteral("张"));
        dlg.BtnSearchClick();
        QVERIFY(dlg.Searching());
        QVERIFY(!dlg.AniBusy->isHidden());
        QVERIFY(!dlg.BtoAll->isEnabled() && !dlg.BtnSearch->isEnabled() && !dlg.BtoCancel->isEnabled());
        dlg.BtnSearchClick();  // the default button: not a second search
        dlg.reject();          // Escape and the close box
        QVERIFY(dlg.isVisible());
        QTRY_VERIFY(!dlg.Searching());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Hits(), (std::vector<int>{1, 2, 3}));
        QVERIFY(dlg.AniBusy->isHidden() && dlg.BtnSearch->isEnabled());
        QVERIFY(msgs_->log.isEmpty());
    }

    void keywordSearchKeepsTheTreeBusyUntilItEnds() {
        AddCases();
        ShowWindow();
        const QString caption = w_->windowTitle();
        shell_->inputs = {QStringLiteral("张")};
        w_->Search().FuzzySearchClick();
        QVERIFY(w_->CaseTree().Busy());
        QCOMPARE(w_->windowTitle(), QStringLiteral("模糊查找....."));
        QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor);
        w_->Cases().DeleteSelectedCase();
        w_->Search().SearchClick();
        QCOMPARE(Count(QStringLiteral("请等待案例加载完毕！")), 2);
        QTRY_VERIFY(!w_->CaseTree().Busy());
        QCOMPARE(lines_.size(), 3);
        QCOMPARE(w_->windowTitle(), caption);
        QVERIFY(!QApplication::overrideCursor());

        // A close stops a running search without asking about it; kept
        // open, the window is no longer busy and the search never reports.
        shell_->inputs = {QStringLiteral("张")};
        w_->Search().FuzzySearchClick();
        const int lists = dialogs_;
        QVERIFY(!w_->close());  // "确定要关闭软件吗？" answered No
        QVERIFY(!msgs_->Has(QStringLiteral("是否停止显示案例？")));
        QVERIFY(!w_->CaseTree().Busy());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(w_->windowTitle(), caption);
        QTest::qWait(200);
        QCOMPARE(dialogs_, lists);
    }

    void hitListNeedsAPickedLine() {
        AddCases();
        TFrmSameName dlg(*store_, {3, 1});
        QCOMPARE(dlg.windowTitle(), QStringLiteral("2个案例"));
        QCOMPARE(dlg.LstRecord->item(0)->text(), QStringLiteral("张       1999-05-01 求职"));
        QCOMPARE(dlg.PickedId(), 3);
        QVERIFY(!dlg.ChkShow->isChecked() && !dlg.ChkClear->isChecked());
        QCOMPARE(dlg.ChkClear->text(), QStringLiteral("清空现有列表 "));
        dlg.LstRecord->clearSelection();
        dlg.BtnSeeClick();
        QVERIFY(dlg.result() != QDialog::Accepted);
        QVERIFY(msgs_->Has(QStringLiteral("请点击选择要查看的案例！")));
        dlg.LstRecord->setCurrentRow(1);
        dlg.BtnSeeClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.PickedId(), 1);
    }

    void longHitListKeepsEachLineAtItsHit() {
        // Many close ascending hits are read in one pass; a hit without a
        // row still keeps its line.
        QVERIFY(store_->BeginBatch());
        for (int k = 1; k <= 1100; ++k) {
            TRecordData r = Case(k % 2 ? "张三" : "李四", 1900 + k % 300, "婚姻");
            QVERIFY(store_->AddCaseInBatch(r) > 0);
        }
        QVERIFY(store_->EndBatch());
        QVERIFY(store_->DeleteCase(500));
        std::vector<int> hits;
        for (int id = 2; id <= 1100; ++id) hits.push_back(id);
        TFrmSameName dlg(*store_, hits);
        QCOMPARE(dlg.LstRecord->count(), int(hits.size()));
        QCOMPARE(dlg.LstRecord->item(0)->text(), QStringLiteral("李四     1902-05-01 婚姻"));
        QCOMPARE(dlg.LstRecord->item(497)->text(), QStringLiteral("张三     2099-05-01 婚姻"));
        QCOMPARE(dlg.LstRecord->item(498)->text(), QString());
        QCOMPARE(dlg.LstRecord->item(1098)->text(), QStringLiteral("李四     2100-05-01 婚姻"));
        dlg.LstRecord->setCurrentRow(1098);
        QCOMPARE(dlg.PickedId(), 1100);
    }

    void pickedHitJoinsTheTreeAndOpens_data() {
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<bool>("clear");
        QTest::addColumn<QList<int>>("tree");
        // Shown before: 4, 1; hits of 张 in order 1, 2, 3; the pick is 2.
        QTest::newRow("pick only") << false << false << QList<int>{4, 1, 2};
        QTest::newRow("all hits") << true << false << QList<int>{4, 1, 2, 3};
        QTest::newRow("cleared, pick only") << false << true << QList<int>{2};
        QTest::newRow("cleared, all hits") << true << true << QList<int>{1, 2, 3};
    }
    void pickedHitJoinsTheTreeAndOpens() {
        QFETCH(bool, showAll);
        QFETCH(bool, clear);
        QFETCH(QList<int>, tree);
        AddCases();
        ShowWindow();
        w_->CaseTree().SetDisplay(kShowList, 0);
        w_->CaseTree().BuildTree({4, 1});
        onSearch_ = [](TFrmSearch& d) {
            d.CboProv->setCurrentIndex(0);
            d.LedtName->setText(QStringLiteral("张"));
            d.BtnSearchClick();
            return QTest::qWaitFor([&] { return !d.Searching(); }) ? d.result() : int(QDialog::Rejected);
        };
        onList_ = [&](TFrmSameName& l) {
            l.ChkShow->setChecked(showAll);
            l.ChkClear->setChecked(clear);
            l.LstRecord->setCurrentRow(1);
            l.BtnSeeClick();
            return l.result();
        };
        w_->Search().SearchClick();
        QCOMPARE(dialogs_, 2);
        QCOMPARE(lines_.size(), 3);
        const std::vector<int> shown = w_->CaseTree().ShownIds();
        QCOMPARE(QList<int>(shown.begin(), shown.end()), tree);
        QCOMPARE(w_->CaseTree().SelectedCaseId(), 2);
        QVERIFY(w_->Cases().StoredCase() && w_->CastShown());
        QCOMPARE(w_->Cases().CurrentCaseId(), 2);
        QCOMPARE(ui_.EdtName->text(), QStringLiteral("小张"));
        QCOMPARE(w_->Search().Criteria().nameMode, uint8_t(1));  // kept for the next search
    }

    void returnFromTheListLeavesTheTree() {
        AddCases();
        ShowWindow();
        w_->CaseTree().SetDisplay(kShowClassified, 0);
        w_->CaseTree().BuildTree({4});
        shell_->inputs = {QStringLiteral("张")};
        w_->Search().FuzzySearchClick();
        QTRY_VERIFY(!w_->CaseTree().Busy());
        QCOMPARE(lines_.size(), 3);
        QCOMPARE(w_->CaseTree().ShownIds(), std::vector<int>{4});
        QVERIFY(!w_->Cases().StoredCase());
    }

    void searchesRefuseWhileLoading() {
        QVERIFY(store_->BeginBatch());
        for (int i = 0; i < 300; ++i) {
            TRecordData r = Case(i % 2 ? "李四" : "张三", 2000 + i % 50, "婚姻");
            QVERIFY(store_->AddCaseInBatch(r) > 0);
        }
        QVERIFY(store_->EndBatch());
        ShowWindow();
        QVERIFY(ui_.mnuFuzzySearch->isEnabled() && ui_.mnuSearch->isEnabled());
        w_->CaseTree().ShowAllCasesClick();
        QVERIFY(w_->CaseTree().Busy());
        shell_->inputs = {QStringLiteral("张")};
        w_->Search().FuzzySearchClick();
        w_->Search().SearchClick();
        QCOMPARE(Count(QStringLiteral("请等待案例加载完毕！")), 2);
        QVERIFY(shell_->captions.isEmpty());
        QCOMPARE(dialogs_, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w_->CaseTree().Busy(), 30000);
        w_->Search().FuzzySearchClick();
        QTRY_VERIFY(!w_->CaseTree().Busy());
        QCOMPARE(lines_.size(), 150);
    }
};

QTEST_MAIN(TSearchTest)
#include "tst_search.moc"
