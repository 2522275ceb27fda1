// SPDX-License-Identifier: GPL-3.0-or-later
// The perpetual calendar window: the month grid, the year numbering without
// a year 0, the reform month, the pillars and title, and handing the moment
// to the main window's cast input.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QtTest>

#include "app/frmmain.h"
#include "app/frmwnl.h"
#include "app/widgets.h"
#include "app_fixture.h"

using namespace qd;
using namespace qdtest;

class TWnlTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TScriptedMessenger> msgs_;
    std::unique_ptr<TFrmMain> main_;
    TMainUi ui_;

    TFrmWnl* Open(int y, int m, int d, int h, int min) {
        TFrmWnl* w = main_->CalendarWindow();
        if (!w) {
            main_->CalendarClick();
            w = main_->CalendarWindow();
        }
        w->Open(TDateTime{int16_t(y), int16_t(m), int16_t(d), int16_t(h), int16_t(min)});
        return w;
    }
    // Presses the middle of the grid cell of day index j (0 = first day).
    static void ClickDay(TFrmWnl* w, int j, Qt::MouseButton b = Qt::LeftButton) {
        const int cw = w->Img->width() / 7, ch = w->Img->height() / 7;
        const int cell = w->FirstColumn() + j;
        QTest::mouseClick(w->Img, b, {}, QPoint((cell % 7) * cw + cw / 2, (cell / 7 + 1) * ch + ch / 2));
    }

private slots:
    void init() {
        msgs_ = std::make_unique<TScriptedMessenger>();
        main_ = std::make_unique<TFrmMain>(NewAppFolder(dir_));
        ui_ = TMainUi(*main_);
        main_->show();
    }
    void cleanup() {
        msgs_->answers = {true};
        main_->close();
        main_.reset();
        msgs_.reset();
    }

    void menuCreatesTheWindowOnceAndKeepsIt() {
        QVERIFY(ui_.mnuCalendar->isEnabled());
        ui_.mnuCalendar->trigger();
        TFrmWnl* w = main_->CalendarWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("澜川万年历"));
        // Without a cast the panel's moment is shown (2004 by default).
        QCOMPARE(w->EdtYear->text(), ui_.EdtYear->text());
        ui_.mnuCalendar->trigger();
        QCOMPARE(main_->CalendarWindow(), w);
        // Closing forgets it.
        w->close();
        QTRY_VERIFY(!main_->CalendarWindow());
    }

    void gridOfFebruary2024() {
        TFrmWnl* w = Open(2024, 2, 10, 12, 0);
        QVERIFY(msgs_->log.isEmpty());
        QCOMPARE(w->LabShow->text(), QStringLiteral("2024年2月"));
        QCOMPARE(w->FirstColumn(), 3);  // 2024-02-01 is a Thursday
        QCOMPARE(w->DaysInMonth(), 29);
        QCOMPARE(w->CellText(3, false), QStringLiteral("2月"));
        QCOMPARE(w->CellText(3 + 9, true), QStringLiteral("正月初一"));
        QCOMPARE(w->CellText(3 + 8, true), QStringLiteral("十二月三十"));
        QCOMPARE(w->CellText(3 + 3, false), QStringLiteral("4 立春"));
        QCOMPARE(w->CellText(3 + 18, false), QStringLiteral("19 雨水"));
        QCOMPARE(w->CellText(3 + 28, false), QStringLiteral("29"));
        QVERIFY(w->CellText(3 + 29, false).isEmpty());
        QVERIFY(w->CellText(2, false).isEmpty());

        const TSolarTermEntry* t = w->MonthTerms();
        QCOMPARE(t[0].index, int16_t(2));
        QCOMPARE(t[0].when.day, int16_t(4));
        QCOMPARE(t[1].index, int16_t(3));
        QCOMPARE(t[1].when.day, int16_t(19));
        QCOMPARE(t[2].when.day, int16_t(-100));
        const QString jie = w->MeoJie->toPlainText();
        QVERIFY2(jie.startsWith(QStringLiteral("立春:4日")), qPrintable(jie));
        QVERIFY2(jie.contains(QStringLiteral("雨水:19日")), qPrintable(jie));

        QCOMPARE(w->MeoTitle->toPlainText(), QStringLiteral("[当代] 中国  公历纪元2024年  【龙年】"));

        if (qEnvironmentVariableIsSet("QD_WNL_SHOT")) w->grab().save(qEnvironmentVariable("QD_WNL_SHOT"));
    }

    void pillarsAndTitleFollowTheMoment() {
        // 23:30 belongs to the next day's 子 hour.
        TFrmWnl* w = Open(2000, 1, 1, 23, 30);
        QCOMPARE(w->MeoGanZhi->toPlainText().split('\n').mid(2),
                 QStringList({QStringLiteral("己未日"), QStringLiteral("甲子时")}));
        // Before 立春 the year is still the previous one.
        w = Open(2024, 2, 1, 12, 0);
        QCOMPARE(w->MeoTitle->toPlainText(), QStringLiteral("[当代] 中国  公历纪元2023年  【兔年】"));
        QVERIFY(w->MeoGanZhi->toPlainText().startsWith(QStringLiteral("癸卯年\n")));
    }

    void yearsHaveNoYearZero() {
        TFrmWnl* w = Open(0, 6, 1, 12, 0);
        QCOMPARE(w->EdtYear->text(), QStringLiteral("-1"));
        QCOMPARE(w->UpYear->Position(), 0);
        QCOMPARE(w->LabShow->text(), QStringLiteral("-1年6月"));

        w = Open(1, 1, 20, 12, 0);
        w->BitBtn2Click();
        QCOMPARE(w->EdtYear->text(), QStringLiteral("-1"));
        QCOMPARE(w->UpYear->Position(), 0);
        QCOMPARE(w->CboM->currentIndex(), 11);
        QCOMPARE(w->Selected(), (TDateTime{0, 12, 1, 12, 0}));
        w->BitBtn1Click();
        QCOMPARE(w->EdtYear->text(), QStringLiteral("1"));
        QCOMPARE(w->Selected(), (TDateTime{1, 1, 1, 12, 0}));

        // The up-down holds the internal year; its neighbour of 1 is shown as -1.
        w->UpYear->Step(-1);
        QCOMPARE(w->EdtYear->text(), QStringLiteral("-1"));
        QCOMPARE(w->Selected().year, int16_t(0));

        // The ends of the range do not step further.
        w = Open(-4712, 1, 1, 0, 0);
        QCOMPARE(w->EdtYear->text(), QStringLiteral("-4713"));
        w->BitBtn2Click();
        QCOMPARE(w->EdtYear->text(), QStringLiteral("-4713"));
        QCOMPARE(w->CboM->currentIndex(), 0);
        w = Open(9999, 12, 5, 0, 0);
        w->BitBtn1Click();
        QCOMPARE(w->EdtYear->text(), QStringLiteral("9999"));
        QCOMPARE(w->CboM->currentIndex(), 11);
        QVERIFY(msgs_->log.isEmpty());

        // Year 0 typed by the user is refused; the grid keeps its moment.
        w->EdtYear->setText(QStringLiteral("0"));
        w->EdtYearKeyPress();
        QVERIFY(msgs_->Has(QStringLiteral("年份在-4713 到 9999之间")));
        w->Redraw();
        const auto* m = msgs_->Find(QStringLiteral("年份在-4713 到 9999年之间，并且没有公元0年"));
        QVERIFY(m && m->caption == QStringLiteral("年份不对") && m->icon == TMsgIcon::Error);
        QCOMPARE(w->Selected(), (TDateTime{9999, 12, 5, 0, 0}));
    }

    void reformMonthSkipsTenDays() {
        TFrmWnl* w = Open(1582, 10, 1, 12, 0);
        QCOMPARE(w->DaysInMonth(), 21);
        QCOMPARE(w->CellText(w->FirstColumn() + 3, false), QStringLiteral("4"));
        QCOMPARE(w->CellText(w->FirstColumn() + 4, false), QStringLiteral("15"));
        QCOMPARE(w->CellText(w->FirstColumn() + 20, false), QStringLiteral("31"));
        // 1582-10-04 was a Thursday, the 15th a Friday.
        QCOMPARE((w->FirstColumn() + 3) % 7, 3);

        ClickDay(w, 4);
        QCOMPARE(w->CboD->currentIndex(), 14);
        QCOMPARE(w->Selected().day, int16_t(15));
        ClickDay(w, 2);
        QCOMPARE(w->Selected().day, int16_t(3));
        ClickDay(w, 4, Qt::RightButton);
        QCOMPARE(w->Selected().day, int16_t(3));

        // A dropped day is refused and the old moment stays.
        w->CboD->setCurrentIndex(9);
        w->Redraw();
        QVERIFY(msgs_->Has(QStringLiteral("不存在这个日期，请重新输入！")));
        QCOMPARE(w->Selected().day, int16_t(3));
        // Opened on a dropped day, the 15th is chosen.
        w = Open(1582, 10, 10, 12, 0);
        QCOMPARE(w->Selected().day, int16_t(15));
    }

    void castHandsTheMomentToTheMainWindow() {
        TFrmWnl* w = Open(2024, 2, 10, 9, 30);
        ui_.RdoNong->setChecked(true);
        ui_.ChkRun->setChecked(true);
        w->BtnPaiClick();
        QVERIFY(!w->isVisible());
        QCOMPARE(ui_.EdtYear->text(), QStringLiteral("2024"));
        QCOMPARE(ui_.CboM->currentIndex(), 1);
        QCOMPARE(ui_.CboD->currentIndex(), 9);
        QCOMPARE(ui_.CboH->currentIndex(), 9);
        QCOMPARE(ui_.CboMinute->currentIndex(), 30);
        QVERIFY(ui_.RdoGong->isChecked());
        QVERIFY(!ui_.ChkRun->isChecked());
        QVERIFY(main_->CastShown());
        QCOMPARE(main_->Record().request.year, int16_t(2024));
        QCOMPARE(main_->Record().request.lunar, 0);
        QCOMPARE(ui_.UpYear->Position(), 124);

        // A year the cast refuses still moves the spinner, as far as it goes.
        w = Open(1850, 3, 1, 9, 30);
        w->BtnPaiClick();
        QVERIFY(msgs_->Has(QStringLiteral("年份最大范围1900 - 2200")));
        QCOMPARE(ui_.EdtYear->text(), QStringLiteral("1850"));
        QCOMPARE(ui_.UpYear->Position(), 0);
        ui_.UpYear->Step(1);
        QCOMPARE(ui_.EdtYear->text(), QStringLiteral("1901"));
        w = Open(2024, 2, 10, 9, 30);
        w->BtnPaiClick();

        // With a cast on screen the window opens on the cast's moment.
        main_->CalendarClick();
        QCOMPARE(w->Selected(), (TDateTime{2024, 2, 10, 9, 30}));
        QVERIFY(w->isVisible());
    }
};

QTEST_MAIN(TWnlTest)
#include "tst_wnl.moc"
