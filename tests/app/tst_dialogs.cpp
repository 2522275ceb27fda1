// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog, the places dialog and the views' file commands.
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "app/appfolder.h"
#include "app/dialogs.h"
#include "app/frmmain.h"
#include "app/places.h"
#include "app/resultviews.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/inifile.h"
#include "base/rtf.h"

using namespace qd;
using namespace qdtest;

class TDialogsTest : public QObject {
    Q_OBJECT
    static bool HasBold(const QString& family) {
        for (const QString& style : QFontDatabase::styles(family))
            if (QFontDatabase::weight(family, style) >= QFont::DemiBold) return true;
        return false;
    }
    // Whether a face 宋体 is mapped to has a bold of its own.
    static bool BoldMapped() {
        for (const QString& f : QFont::substitutes(QStringLiteral("宋体")))
            if (HasBold(f)) return true;
        return false;
    }

private slots:
    void initTestCase() {
        // The program's font names are mapped to installed faces.
        InstallFontSubstitutes();
    }

    void settingsDefaultsAndValidation() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir, false);
        const QString path = folder + "dat/set.ini";
        {
            TFrmSet dlg(folder);
            QCOMPARE(dlg.CboSelDate->currentText(), QStringLiteral("北京时间"));
            QCOMPARE(dlg.LedtLeftPos->text(), QStringLiteral("0"));
            QCOMPARE(dlg.RdoYueJiang->checkedButton()->text(), QStringLiteral("按节入起"));
            QCOMPARE(dlg.RGrpGui->checkedButton()->text(), QStringLiteral("甲戊庚牛羊"));
            QCOMPARE(dlg.RGrpWang->checkedButton()->text(), QStringLiteral("多寡、生克"));
            for (const char* bad : {"501", "-1", "abc", ""}) {
                msgs.log.clear();
                dlg.LedtLeftPos->setText(QString::fromUtf8(bad));
                dlg.BtnSetClick();
                const auto* m = msgs.Find(QStringLiteral("文本左边距离在0-500之间"));
                QVERIFY2(m, bad);
                QCOMPARE(m->caption, QStringLiteral("输入错误"));
                QCOMPARE(m->icon, TMsgIcon::Error);
                QCOMPARE(dlg.result(), int(QDialog::Rejected));
                QCOMPARE(dlg.LedtLeftPos->text(), QString::fromUtf8(bad));
                QVERIFY(!QFile::exists(path));
            }
            dlg.LedtLeftPos->setText(QStringLiteral("500"));
            dlg.CboSelDate->setCurrentIndex(2);
            dlg.RdoYueJiang->button(0)->setChecked(true);
            dlg.RGrpGui->button(1)->setChecked(true);
            dlg.RGrpWang->button(1)->setChecked(true);
            dlg.BtnSetClick();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
        }
        CIniFile ini(path.toStdString());
        QCOMPARE(ini.Keys("set"),
                 (std::vector<std::string>{"leftpos", "idate", "iYueJiang", "iGui", "iWang"}));
        QCOMPARE(ini.ReadInteger("set", "leftpos", -1), 500);
        QCOMPARE(ini.ReadInteger("set", "idate", -1), 2);
        QCOMPARE(ini.ReadInteger("set", "iYueJiang", -1), 0);
        QCOMPARE(ini.ReadInteger("set", "iGui", -1), 1);
        QCOMPARE(ini.ReadInteger("set", "iWang", -1), 1);

        // Cancel after changing every control leaves the file alone.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        {
            TFrmSet dlg(folder);
            QCOMPARE(dlg.CboSelDate->currentIndex(), 2);
            QCOMPARE(dlg.LedtLeftPos->text(), QStringLiteral("500"));
            dlg.CboSelDate->setCurrentIndex(0);
            dlg.LedtLeftPos->setText(QStringLiteral("7"));
            dlg.RGrpWang->button(0)->setChecked(true);
            dlg.BtnCancel->click();
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void placesDialogValidatesAndAsksBeforeOverwriting() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir, false);
        const QString path = folder + "dat/dili.ini";
        WriteFileText(path, QByteArray::fromStdString(
                                Utf8ToGbk("[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118:6*24:29\r\n")));
        TFrmDiLi dlg(folder);
        QCOMPARE(dlg.CboSheng->count(), 34);
        QCOMPARE(dlg.CboShi->count(), 2);
        QCOMPARE(dlg.LedtJingDu->text(), QStringLiteral("119"));
        QCOMPARE(dlg.LedtWeiFen->text(), QStringLiteral("5"));

        struct Bad {
            const char *jd, *jf, *wd, *wf;
            const char* msg;
        };
        const char* lonMsg = "经度在-180到180之间，分数在0-60之间";
        const char* latMsg = "纬度在-90到90之间，分数在0-60之间";
        for (const Bad& b : {Bad{"180", "0", "30", "0", lonMsg}, Bad{"-99", "60", "30", "0", lonMsg},
                             Bad{"x", "0", "30", "0", lonMsg}, Bad{"120", "0", "90", "0", latMsg},
                             Bad{"120", "0", "30", "60", latMsg}, Bad{"120", "0", "30", "", latMsg}}) {
            for (int add = 0; add < 2; ++add) {
                msgs.log.clear();
                dlg.LedtJingDu->setText(b.jd);
                dlg.LedtJingFen->setText(b.jf);
                dlg.LedtWeiDu->setText(b.wd);
                dlg.LedtWeiFen->setText(b.wf);
                dlg.LedtShiName->setText(QStringLiteral("泉州市"));
                add ? dlg.BtoAddClick() : dlg.BtoEditClick();
                const auto* m = msgs.Find(QString::fromUtf8(b.msg));
                QVERIFY2(m, b.jd);
                QCOMPARE(m->caption, QStringLiteral("输入错误"));
            }
        }
        CIniFile ini(path.toStdString());
        QCOMPARE(ini.Keys("福建省").size(), size_t(2));
        QCOMPARE(ini.ReadString("福建省", "福州市", ""), std::string("119:18*26:5"));

        // A new city is appended; it reads back as degrees + minutes/60.
        msgs.log.clear();
        dlg.LedtJingDu->setText("116");
        dlg.LedtJingFen->setText("24");
        dlg.LedtWeiDu->setText("39");
        dlg.LedtWeiFen->setText("54");
        dlg.LedtShiName->setText(QStringLiteral("泉州市"));
        dlg.BtoAddClick();
        QVERIFY(msgs.Has(QStringLiteral("完成")));
        QCOMPARE(dlg.CboShi->count(), 3);
        ini.Reload();
        QCOMPARE(ini.ReadString("福建省", "泉州市", ""), std::string("116:24*39:54"));
        float lon = 0, lat = 0;
        QVERIFY(ParseCoordinate("116:24*39:54", &lon, &lat));
        QCOMPARE(lon, 116.4f);
        QVERIFY(ParseCoordinate("-73:58*40:45", &lon, &lat));
        QCOMPARE(lon, float(-73 + 58 / 60.0));

        // An existing name asks first; No changes nothing, Yes overwrites in place.
        msgs.log.clear();
        dlg.LedtJingDu->setText("119");
        dlg.LedtShiName->setText(QStringLiteral("福州市"));
        dlg.BtoAddClick();
        const auto* q = msgs.Find(QStringLiteral("已有这个地方的地理数据，要覆盖吗？"));
        QVERIFY(q && q->question);
        QCOMPARE(q->caption, QStringLiteral("注意"));
        QCOMPARE(q->icon, TMsgIcon::Warning);
        ini.Reload();
        QCOMPARE(ini.ReadString("福建省", "福州市", ""), std::string("119:18*26:5"));
        msgs.answers = {true};
        dlg.BtoAddClick();
        ini.Reload();
        QCOMPARE(ini.ReadString("福建省", "福州市", ""), std::string("119:24*39:54"));
        QCOMPARE(dlg.CboShi->count(), 3);

        // Delete asks with the province and city names.
        dlg.CboShi->setCurrentIndex(1);
        msgs.log.clear();
        dlg.BtoDelClick();
        QVERIFY(msgs.Has(QStringLiteral("确定要删除\"福建省厦门市\"吗？")));
        QCOMPARE(dlg.CboShi->count(), 3);
        msgs.answers = {true};
        dlg.BtoDelClick();
        QCOMPARE(dlg.CboShi->count(), 2);
        ini.Reload();
        QVERIFY(!ini.KeyExists("福建省", "厦门市"));
    }

    void provinceHandlerLoadsCities() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir, false);
        WriteFileText(folder + "dat/dili.ini",
                      QByteArray::fromStdString(
                          Utf8ToGbk("[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118:6*24:29\r\n[北京市]\r\n")));
        TFrmMain w(folder);
        const TMainUi ui(w);
        w.show();
        ui.CboProv->setCurrentIndex(0);
        w.Panel().CboProvClick();
        QCOMPARE(ui.CboCity->count(), 2);
        QCOMPARE(w.Panel().Longitude(1), float(118 + 6 / 60.0));
        QCOMPARE(w.Panel().Latitude(0), float(26 + 5 / 60.0));
        // A province without cities: no selection, the default place.
        ui.CboProv->setCurrentIndex(1);
        w.Panel().CboProvClick();
        QCOMPARE(ui.CboCity->count(), 0);
        w.Panel().SetPanelMoment(2004, 6, 15, 12, 0);
        w.Panel().BtnPaiClick();
        QCOMPARE(w.Record().request.longitude, 120.0f);
        QCOMPARE(w.Record().request.latitude, 30.0f);
        QCOMPARE(ReadGbkField(w.Record().request.place), std::string("北京市"));
        ui.CboProv->setCurrentIndex(34);
        w.Panel().CboProvClick();
        QCOMPARE(ui.CboCity->count(), 1);
        QCOMPARE(ui.CboCity->currentText(), QStringLiteral("未知地"));
        // A broken value is reported once and ends the reading of that province.
        WriteFileText(folder + "dat/dili.ini",
                      QByteArray::fromStdString(Utf8ToGbk(
                          "[福建省]\r\n福州市=119:18*26:5\r\n莆田市=x:0*25:26\r\n厦门市=118:6*24:29\r\n")));
        msgs.log.clear();
        ui.CboProv->setCurrentIndex(0);
        w.Panel().CboProvClick();
        QCOMPARE(msgs.log.size(), 1);
        QCOMPARE(msgs.log[0].caption, QStringLiteral("错误"));
        QCOMPARE(ui.CboCity->count(), 2);
        msgs.answers = {true};
        w.close();
    }

    void cityBoxFindsPlacesByPartOfTheirName() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir, false);
        WriteFileText(folder + "dat/dili.ini", QByteArray::fromStdString(Utf8ToGbk(
                                                   "[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118:6*24:29\r\n"
                                                   "泉州市=118:35*24:55\r\nGulangyu=118:4*24:27\r\n")));
        TFrmMain w(folder);
        const TMainUi ui(w);
        w.show();
        w.Panel().SelectPlace(0, 1);
        QCompleter* finder = ui.CboCity->completer();
        QVERIFY(finder);
        const auto offered = [finder](const QString& typed) {
            finder->setCompletionPrefix(typed);
            QStringList out;
            for (int i = 0; finder->setCurrentRow(i); ++i) out << finder->currentCompletion();
            return out;
        };
        // Any part of a name, Latin letters in either case.
        QCOMPARE(offered(QStringLiteral("州")), (QStringList{"福州市", "泉州市"}));
        QCOMPARE(offered(QStringLiteral("LANGy")), QStringList{"Gulangyu"});
        // Picking an offered place selects it, with its coordinates.
        finder->setCompletionPrefix(QStringLiteral("泉"));
        emit finder->activated(finder->completionModel()->index(0, 0));
        QCOMPARE(ui.CboCity->currentIndex(), 2);
        // A place's full name selects it; other text gives way to the place
        // chosen, which is what is cast.
        ui.CboCity->lineEdit()->setText(QStringLiteral("gulangyu"));
        emit ui.CboCity->lineEdit()->editingFinished();
        QCOMPARE(ui.CboCity->currentIndex(), 3);
        QCOMPARE(ui.CboCity->currentText(), QStringLiteral("Gulangyu"));
        // Part of a name, confirmed with Enter, picks the first place offered.
        ui.CboCity->lineEdit()->setText(QStringLiteral("州"));
        emit ui.CboCity->lineEdit()->editingFinished();
        QCOMPARE(ui.CboCity->currentIndex(), 0);
        ui.CboCity->lineEdit()->setText(QStringLiteral("langy"));
        emit ui.CboCity->lineEdit()->editingFinished();
        QCOMPARE(ui.CboCity->currentText(), QStringLiteral("Gulangyu"));
        ui.CboCity->lineEdit()->setText(QStringLiteral("不存在的地方"));
        w.Panel().SetPanelMoment(2004, 6, 15, 12, 0);
        w.Panel().BtnPaiClick();
        QCOMPARE(ui.CboCity->currentIndex(), 3);
        QCOMPARE(ui.CboCity->currentText(), QStringLiteral("Gulangyu"));
        QCOMPARE(int(w.Record().request.city), 3);
        QCOMPARE(ReadGbkField(w.Record().request.place), std::string("福建省Gulangyu"));
        QCOMPARE(w.Record().request.longitude, float(118 + 4 / 60.0));
        msgs.answers = {true};
        w.close();
    }

    void selectionFontDialogOpensAtTheSelectionsFont() {
        QWidget window;
        QTextEdit view;
        QFont base(QStringLiteral("宋体"));
        base.setPixelSize(14);
        view.setFont(base);
        view.setPlainText(QStringLiteral("普通另体"));
        // A family the dialog can show: an installed one.
        QStringList installed = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (installed.isEmpty()) installed = QFontDatabase::families();
        const QString family = installed.value(0);
        QTextCharFormat other;
        other.setFontFamilies({family});
        other.setFontPointSize(16);
        other.setFontItalic(true);
        other.setForeground(QColor(200, 0, 0));
        QTextCursor c(view.document());
        c.setPosition(2);
        c.setPosition(4, QTextCursor::KeepAnchor);
        c.mergeCharFormat(other);

        // Each dialog is answered as it opens: the font dialog with `fontOk`,
        // the colour dialog with Cancel.
        int dialogs = 0;
        QFont shown;
        bool fontOk = false;
        std::function<void()> answer = [&] {
            QTimer::singleShot(0, [&] {
                QWidget* m = QApplication::activeModalWidget();
                if (auto* d = qobject_cast<QFontDialog*>(m)) {
                    ++dialogs;
                    shown = d->currentFont();
                    if (fontOk) answer();
                    fontOk ? d->accept() : d->reject();
                } else if (auto* col = qobject_cast<QColorDialog*>(m)) {
                    col->reject();
                }
            });
        };
        const auto select = [&](int from, int to) {
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            view.setTextCursor(c);
        };

        // No selection: no dialog.
        select(1, 1);
        answer();
        SetSelectionFont(&window, &view);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs, 0);

        // The formatted run: its own family, size, style and colour.
        select(2, 4);
        answer();
        SetSelectionFont(&window, &view);
        QCOMPARE(dialogs, 1);
        QCOMPARE(shown.family(), family);
        QCOMPARE(shown.pointSize(), 16);
        QVERIFY(SelectionFont(&view).italic());
        QCOMPARE(SelectionColor(&view), QColor(200, 0, 0));

        // Plain text: the face that draws the view's font, its pixel size in
        // points; confirmed unchanged, the text keeps its font's name.
        select(0, 2);
        fontOk = true;
        answer();
        SetSelectionFont(&window, &view);
        QCOMPARE(dialogs, 2);
        QCOMPARE(shown.family(), QFontInfo(base).family());
        // The dialog offers whole sizes: it shows the nearest.
        QVERIFY(qAbs(shown.pointSizeF() - 14 * 72.0 / view.logicalDpiY()) <= 0.5);
        QCOMPARE(SelectionColor(&view), view.palette().color(QPalette::Text));
        QCOMPARE(SelectionFont(&view).family(), QStringLiteral("宋体"));
    }

    void printingKeepsTheMarginAndTheBold() {
        const bool boldMapped = BoldMapped();

        QTextDocument doc;
        QFont base(QStringLiteral("宋体"));
        base.setPointSize(12);
        doc.setDefaultFont(base);
        QTextCursor c(&doc);
        QTextBlockFormat margin;
        margin.setTextIndent(200);
        margin.setLeftMargin(8);
        c.setBlockFormat(margin);
        c.insertText(QStringLiteral("干支:"), QTextCharFormat());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("甲申年"), bold);

        const std::unique_ptr<QTextDocument> printed = PrintableDocument(&doc, 96, 1200);
        QCOMPARE(printed->toPlainText(), doc.toPlainText());
        const QTextBlock b = printed->begin();
        QCOMPARE(b.blockFormat().textIndent(), 2500.0);
        QCOMPARE(b.blockFormat().leftMargin(), 100.0);
        auto it = b.begin();
        const QTextCharFormat first = it.fragment().charFormat();
        QVERIFY(!first.hasProperty(QTextFormat::FontFamilies));
        const QFont boldFont = (++it).fragment().charFormat().font().resolve(printed->defaultFont());
        QCOMPARE(boldFont.weight(), QFont::Bold);
        // Bold prints in a face of its own wherever 宋体 maps to one.
        QCOMPARE(HasBold(QFontInfo(boldFont).family()), boldMapped || HasBold(QFontInfo(base).family()));
    }

    void viewsSaveImportAndPrint() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir);
        TFrmMain w(folder);
        const TMainUi ui(w);
        w.show();
        w.Panel().SetPanelMoment(2004, 6, 15, 12, 0);
        w.Panel().BtnPaiClick();
        QVERIFY(w.CastShown());
        const QString chart = ui.RedtVelmark->toPlainText();

        QVERIFY(SaveViewAs(&w, ui.RedtVelmark, dir.path() + "/report", TViewFile::Rtf));
        QVERIFY(QFile::exists(dir.path() + "/report.rtf"));
        // A typed extension is not doubled.
        QVERIFY(SaveViewAs(&w, ui.RedtVelmark, dir.path() + "/typed.RTF", TViewFile::Rtf));
        QVERIFY(QFile::exists(dir.path() + "/typed.RTF"));
        QVERIFY(!QFile::exists(dir.path() + "/typed.RTF.rtf"));
        QVERIFY(SaveViewAs(&w, ui.RedtVelmark, dir.path() + "/report", TViewFile::GbkText));
        QFile txt(dir.path() + "/report.txt");
        QVERIFY(txt.open(QIODevice::ReadOnly));
        const std::string plain = GbkToUtf8(txt.readAll().toStdString());
        QVERIFY(QString::fromStdString(plain).contains(QStringLiteral("霁岚术课式")));
        QVERIFY(plain.find("{\\rtf") == std::string::npos);

        // Importing the RTF gives back the text with its red and blue runs.
        QFile rtf(dir.path() + "/report.rtf");
        QVERIFY(rtf.open(QIODevice::ReadOnly));
        const TRtfDocument doc = ReadRtf(rtf.readAll().toStdString());
        QVERIFY(doc.paragraphs.size() > 5);
        ui.RedtVelmark->clear();
        QVERIFY(w.Views().ImportFile(dir.path() + "/report.rtf"));
        QCOMPARE(ui.RedtVelmark->toPlainText().trimmed(), chart.trimmed());
        QVERIFY(ui.RedtVelmark->toHtml().contains(QStringLiteral("#ff0000")));
        QVERIFY(ui.RedtVelmark->toHtml().contains(QStringLiteral("#0000ff")));

        // Printing to a PDF file.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.path() + "/chart.pdf");
        QVERIFY(PrintView(ui.RedtVelmark, &printer));
        QFile pdf(dir.path() + "/chart.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray printed = pdf.readAll();
        QVERIFY(printed.size() > 1000);
        // The chart's bold lines print in a bold face.
        if (BoldMapped()) QVERIFY(printed.contains("-Bold"));
        QVERIFY(!w.Views().ImportFile(dir.path() + "/missing.rtf"));

        // "另存为" of the comment view as UTF-8 text, the third file type.
        ui.RedtPingYu->setPlainText(QStringLiteral("评语\n第二行"));
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            filters = d->nameFilters();
            d->selectNameFilter(filters.value(2));
            d->selectFile(dir.path() + "/notes.txt");
            static_cast<QDialog*>(d)->accept();
        });
        for (QAction* a : ui.PopPingYu->actions())
            if (a->text() == QStringLiteral("另存为")) a->trigger();
        QCOMPARE(filters, QStringList({"Rtf格式 (*.rtf)", "Txt格式 (*.txt)", "文本文件 (UTF-8) (*.txt)"}));
        QCOMPARE(msgs.log.last().text, QStringLiteral("已保存！"));
        QCOMPARE(ReadFileText(dir.path() + "/notes.txt"), QStringLiteral("评语\n第二行"));
        // The next one opens in the folder of the last.
        QString opened;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            opened = d->directory().absolutePath();
            d->reject();
        });
        for (QAction* a : ui.PopRdtqdl->actions())
            if (a->text() == QStringLiteral("另存为")) a->trigger();
        QCOMPARE(opened, QDir(dir.path()).absolutePath());

        ui.RedtPingYu->setPlainText(QStringLiteral("it's fine\nsecond"));
        QCOMPARE(w.Views().CommentPlainText(), QStringLiteral("its fine\r\nsecond"));
        msgs.answers = {true};
        w.close();
    }
};

QTEST_MAIN(TDialogsTest)
#include "tst_dialogs.moc"
