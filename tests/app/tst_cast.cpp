// SPDX-License-Identifier: GPL-3.0-or-later
// Casting from the input panel: the chart in the result view, the panel's
// checks and messages, stepping, topic readings and the direct cast.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "app/dialogs.h"
#include "app/frmmain.h"
#include "app/richtext_qt.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/inifile.h"

using namespace qd;
using namespace qdtest;

class TCastTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<TScriptedMessenger> msgs_;
    std::unique_ptr<TFrmMain> w_;
    TMainUi ui_;

    void Cast(int y, int m, int d, int h, int min) {
        w_->Panel().SetPanelMoment(y, m, d, h, min);
        w_->Panel().BtnPaiClick();
    }
    QString Panel() const {
        return QStringLiteral("%1-%2-%3 %4:%5")
            .arg(ui_.EdtYear->text())
            .arg(ui_.CboM->currentIndex() + 1, 2, 10, QChar('0'))
            .arg(ui_.CboD->currentIndex() + 1, 2, 10, QChar('0'))
            .arg(ui_.CboH->currentIndex(), 2, 10, QChar('0'))
            .arg(ui_.CboMinute->currentIndex(), 2, 10, QChar('0'));
    }
    QColor ColorAt(int pos) const {
        QTextCursor c(ui_.RedtVelmark->document());
        c.setPosition(pos + 1);
        return c.charFormat().foreground().color();
    }

private slots:
    void init() {
        folder_ = NewAppFolder(dir_);
        QFile::remove(folder_ + "dat/set.ini");
        msgs_ = std::make_unique<TScriptedMessenger>();
        w_ = std::make_unique<TFrmMain>(folder_);
        ui_ = TMainUi(*w_);
        w_->show();
    }
    void cleanup() {
        msgs_->answers = {true};
        w_->close();
        w_.reset();
        msgs_.reset();
    }

    void castShowsTheColouredChart() {
        Cast(2004, 6, 15, 0, 30);
        QVERIFY(msgs_->log.isEmpty());
        QVERIFY(w_->CastShown());
        QTextDocument* doc = ui_.RedtVelmark->document();
        const QString text = doc->toPlainText();
        QVERIFY(text.contains(QStringLiteral("霁岚术课式：")));
        // The pillar line is red and bold, the chart title blue.
        const int pillars = int(text.indexOf(QStringLiteral("干支")));
        QVERIFY(pillars > 0);
        QTextCursor c(doc);
        c.setPosition(pillars + 1);
        QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
        QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
        QCOMPARE(ColorAt(int(text.indexOf(QStringLiteral("霁岚术课式")))), QColor(0, 0, 255));
        // The four labels of the position lines are red against the blue lines.
        const int title = int(text.indexOf(QStringLiteral("霁岚术课式")));
        for (const char* label : {"人元", "贵神", "将神", "地分"}) {
            const int p = int(text.indexOf(QString::fromUtf8(label), title));
            QVERIFY2(p > 0, label);
            QCOMPARE(ColorAt(p), QColor(255, 0, 0));
            QCOMPARE(ColorAt(p + 5), QColor(0, 0, 255));
        }
        // The request carries the panel.
        const TCastRequest& r = w_->Record().request;
        QCOMPARE(r.year, int16_t(2004));
        QCOMPARE(r.hour, int16_t(0));
        QCOMPARE(ReadGbkField(r.place), std::string("未知地"));
        QCOMPARE(r.longitude, 120.0f);
        QCOMPARE(r.latitude, 30.0f);
        QCOMPARE(ReadGbkField(r.name), std::string("某人"));
    }

    void sinkCountsLikeTheTextControl() {
        CQtRichTextSink sink(ui_.RedtVelmark);
        sink.Clear();
        QCOMPARE(sink.TextLength(), 0);
        sink.AddBlock("ab");
        QCOMPARE(sink.TextLength(), 3);
        sink.AddBlock("甲乙\r\n丙");
        QCOMPARE(sink.TextLength(), 8);
        QCOMPARE(sink.Find("丙", 0, 8), 6);
        QCOMPARE(sink.Find("丙", 0, 6), -1);
        QCOMPARE(sink.Find("ab", 1, 8), -1);
        sink.Select(3, 2);
        sink.SetSelectionColor(kGreen);
        QCOMPARE(ColorAt(3), QColor(0, 128, 0));
        QCOMPARE(WinOfColor(ColorOfWin(0xC0CCD0)), TColor(0xC0CCD0));
    }

    void yearOutOfRangeIsRefusedAndTheChartStays() {
        Cast(2004, 6, 15, 0, 30);
        const QString before = ui_.RedtVelmark->toPlainText();
        for (const char* year : {"1899", "2201", "abc", ""}) {
            msgs_->log.clear();
            ui_.EdtYear->setText(QString::fromUtf8(year));
            w_->Panel().BtnPaiClick();
            const auto* m = msgs_->Find(QStringLiteral("年份最大范围1900 - 2200"));
            QVERIFY2(m, year);
            QCOMPARE(m->caption, QStringLiteral("年份错误"));
            QCOMPARE(m->icon, TMsgIcon::Warning);
            QVERIFY(!w_->CastShown());
            QCOMPARE(ui_.RedtVelmark->toPlainText(), before);
        }
        // The engine's refusal: an impossible date.
        msgs_->log.clear();
        Cast(2001, 2, 29, 12, 0);
        const auto* m = msgs_->Find(QStringLiteral("不存在这个日期"));
        QVERIFY(m);
        QCOMPARE(m->caption, QStringLiteral("错误"));
        QCOMPARE(m->icon, TMsgIcon::Error);
        QVERIFY(!w_->CastShown());
    }

    void nameAndQuestionAreCleaned() {
        const QString nameMsg =
            QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
        const QString eventMsg =
            QStringLiteral("占问事宜中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
        struct Case {
            const char* name;
            const char* cleaned;
        };
        for (const Case& c : {Case{"", "甲"}, Case{"张*三 ?", "张三"},
                              Case{"一二三四五六七八九十壹贰", "一二三四五六七八九十"}}) {
            msgs_->log.clear();
            ui_.EdtName->setText(QString::fromUtf8(c.name));
            Cast(2004, 6, 15, 12, 0);
            QVERIFY2(msgs_->Has(nameMsg), c.name);
            QCOMPARE(ui_.EdtName->text(), QString::fromUtf8(c.cleaned));
            QVERIFY(w_->CastShown());
            QCOMPARE(ReadGbkField(w_->Record().request.name), std::string(c.cleaned));
        }
        msgs_->log.clear();
        ui_.EdtName->setText(QStringLiteral("  某人  "));
        ui_.EdtEvent->setText(QStringLiteral("能否成功?"));
        Cast(2004, 6, 15, 12, 0);
        QVERIFY(!msgs_->Has(nameMsg));
        QVERIFY(msgs_->Has(eventMsg));
        QCOMPARE(ui_.EdtEvent->text(), QStringLiteral("能否成功"));
    }

    void inputPastTheByteLimitsIsCutAndReportedAtTheCast() {
        // The limits count GBK bytes: a Chinese character takes two. What
        // does not fit is cut, typed or pasted, and the cast says so.
        const QString nameMsg =
            QStringLiteral("姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
        const QString eventMsg =
            QStringLiteral("占问事宜中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！");
        const QString shi(150, QChar(0x4E8B));
        const QString latin(300, QChar('a'));
        struct Case {
            QLineEdit* edit;
            QString input;
            bool paste;
            QString kept;
            QString cast;
        };
        for (const Case& c :
             {Case{ui_.EdtName, QStringLiteral("一二三四五六七八九十壹贰"), false,
                   QStringLiteral("一二三四五六七八九十"), QStringLiteral("一二三四五六七八九十")},
              Case{ui_.EdtName, QStringLiteral("abcdefghij一二三四五六"), false,
                   QStringLiteral("abcdefghij一二三四五"), QStringLiteral("abcdefghij")},
              Case{ui_.EdtEvent, shi, true, shi.left(100), shi.left(100)},
              Case{ui_.EdtEvent, shi.left(120), false, shi.left(100), shi.left(100)},
              Case{ui_.EdtEvent, latin, false, latin.left(200), latin.left(100)}}) {
            ui_.EdtName->setText(QStringLiteral("某人"));
            ui_.EdtEvent->setText(QStringLiteral("要问的事情。"));
            c.edit->selectAll();
            if (c.paste) {
                c.edit->insert(c.input);
            } else {
                // keyClicks takes Latin-1 only; these are the key events an input method sends.
                for (QChar ch : c.input) {
                    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                    QApplication::sendEvent(c.edit, &press);
                }
            }
            QCOMPARE(c.edit->text(), c.kept);
            msgs_->log.clear();
            Cast(2004, 6, 15, 12, 0);
            QVERIFY(msgs_->Has(c.edit == ui_.EdtName ? nameMsg : eventMsg));
            QCOMPARE(msgs_->log.size(), 1);
            QCOMPARE(c.edit->text(), c.cast);
            QVERIFY(w_->CastShown());
        }
        // The mark goes with the message: the next cast has nothing to say.
        msgs_->log.clear();
        Cast(2004, 6, 15, 12, 0);
        QVERIFY(msgs_->log.isEmpty());
    }

    void earthNumberIsTypedOrChosen() {
        struct Case {
            QString text;
            int item;
            int earth;
        };
        for (const Case& c :
             {Case{"12", 0, 0}, Case{"1", 5, 1}, Case{"13", 5, 1}, Case{"0", 4, 5}, Case{"", 2, 3}}) {
            ui_.CboDiFen->setCurrentIndex(c.item);
            ui_.CboDiFen->setEditText(c.text);
            Cast(2004, 6, 15, 12, 0);
            QCOMPARE(int(w_->Record().request.earth), c.earth);
        }
    }

    void steppingByDayAndDoubleHour() {
        // Stepping needs a cast on screen.
        w_->Panel().StepAndCast(TStep::NextDay);
        const auto* m = msgs_->Find(QStringLiteral("请先排一个正确的盘！"));
        QVERIFY(m);
        QCOMPARE(m->caption, QStringLiteral("先排盘"));

        Cast(2004, 6, 15, 23, 10);
        w_->Panel().StepAndCast(TStep::NextDoubleHour);
        QCOMPARE(Panel(), QStringLiteral("2004-06-16 01:10"));
        QVERIFY(w_->CastShown());
        w_->Panel().StepAndCast(TStep::PreviousDoubleHour);
        QCOMPARE(Panel(), QStringLiteral("2004-06-15 23:10"));

        Cast(2004, 3, 1, 12, 0);
        w_->Panel().StepAndCast(TStep::PreviousDay);
        QCOMPARE(Panel(), QStringLiteral("2004-02-29 12:00"));
        w_->Panel().StepAndCast(TStep::NextDay);
        QCOMPARE(Panel(), QStringLiteral("2004-03-01 12:00"));

        // After a lunar cast the stepped moment is cast as a Gregorian one.
        w_->Panel().SetPanelMoment(2004, 5, 1, 12, 0);
        ui_.RdoNong->setChecked(true);
        w_->Panel().BtnPaiClick();
        QVERIFY(w_->CastShown());
        w_->Panel().StepAndCast(TStep::NextDay);
        QVERIFY(ui_.RdoGong->isChecked());
        QCOMPARE(int(w_->Record().request.lunar), 0);
        QCOMPARE(Panel(), QStringLiteral("2004-06-19 12:00"));
    }

    void presentMomentAndUpDown() {
        w_->Panel().SetPanelMoment(1950, 1, 1, 0, 0);
        ui_.RdoNong->setChecked(true);
        ui_.ChkRun->setChecked(true);
        w_->Panel().SbtoNowClick();
        QVERIFY(ui_.RdoGong->isChecked());
        QVERIFY(!ui_.ChkRun->isChecked());
        QCOMPARE(ui_.EdtYear->text().toInt(), QDate::currentDate().year());
        QCOMPARE(ui_.CboM->currentIndex() + 1, QDate::currentDate().month());
        ui_.UpYear->SetPosition(104);
        ui_.UpYear->Step(1);
        QCOMPARE(ui_.EdtYear->text(), QStringLiteral("2005"));
    }

    void topicsNeedACastAndShareOneWindow() {
        w_->ShowTopic(0);
        const auto* m = msgs_->Find(QStringLiteral("请先排一个正确的盘"));
        QVERIFY(m);
        QCOMPARE(m->caption, QStringLiteral("排盘"));
        QCOMPARE(m->icon, TMsgIcon::Information);
        QVERIFY(!w_->TextWindow());

        Cast(2004, 6, 15, 12, 0);
        w_->ShowTopic(0);
        TFrmText* first = w_->TextWindow();
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("财运预测"));
        QVERIFY(first->Text().startsWith(QStringLiteral("★预测财运")));
        w_->ShowTopic(4);
        QCOMPARE(w_->TextWindow(), first);
        QCOMPARE(first->windowTitle(), QStringLiteral("彩票预测"));
        // A new successful cast closes the window; the next reading opens a new one.
        Cast(2004, 6, 16, 12, 0);
        QVERIFY(!w_->TextWindow());
        w_->ShowTopic(1);
        QVERIFY(w_->TextWindow());
        QCOMPARE(w_->TextWindow()->windowTitle(), QStringLiteral("婚姻预测"));
        // A failed cast leaves no cast to read.
        Cast(2001, 2, 29, 12, 0);
        msgs_->log.clear();
        w_->ShowTopic(2);
        QVERIFY(msgs_->Has(QStringLiteral("请先排一个正确的盘")));
    }

    void directCastRefusesASeparator() {
        TCastRequest r{};
        r.directHour = 1;
        r.directEarth = 1;
        TFrmOtherQi dlg(r);
        QCOMPARE(dlg.CboRi->count(), 70);
        QCOMPARE(dlg.CboRi->itemText(6), QStringLiteral("----------"));
        QCOMPARE(dlg.CboShi->currentIndex(), 0);
        dlg.CboRi->setCurrentIndex(13);
        dlg.BtnOkClick();
        QVERIFY(msgs_->Has(QStringLiteral("请选择一个干支！")));
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(int(r.direct), 0);
        dlg.CboRi->setCurrentIndex(68);
        dlg.CboYueJiang->setCurrentIndex(11);
        dlg.BtnOkClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(int(r.direct), 1);
        QCOMPARE(int(r.directDay), 68);
        QCOMPARE(int(r.directGeneral), 11);
    }

    void settingsApplyToTheNextCastOnly() {
        ui_.CboProv->setCurrentIndex(1);
        w_->Panel().CboProvClick();
        QVERIFY(ui_.CboCity->currentText().endsWith(QStringLiteral("区")));
        Cast(2004, 6, 15, 0, 30);
        const QString clock = ui_.RedtVelmark->toPlainText();
        QCOMPARE(ReadGbkField(w_->Record().request.place).rfind("北京市", 0), size_t(0));
        QVERIFY(w_->Record().request.longitude > 115.5f && w_->Record().request.longitude < 117.5f);
        {
            TFrmSet dlg(folder_);
            dlg.CboSelDate->setCurrentIndex(1);
            dlg.BtnSetClick();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        // The chart on screen stays as it was.
        QCOMPARE(ui_.RedtVelmark->toPlainText(), clock);
        Cast(2004, 6, 15, 0, 30);
        const QString solar = ui_.RedtVelmark->toPlainText();
        QVERIFY(solar != clock);
        QVERIFY(solar.contains(QStringLiteral("真太阳时")));
        // At ~116.4°E true solar time runs about a quarter of an hour behind.
        const TDateTime t = w_->Engine()->State().castMoment;
        QCOMPARE(t.hour, int16_t(0));
        QVERIFY2(t.minute >= 10 && t.minute <= 20, qPrintable(QString::number(t.minute)));
    }
};

QTEST_MAIN(TCastTest)
#include "tst_cast.moc"
