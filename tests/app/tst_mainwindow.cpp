// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up from the configuration file, the skin menu and
// the write-back at close.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include "app/appfolder.h"
#include "app/frmmain.h"
#include "app/shell.h"
#include "app/winconfig.h"
#include "app_fixture.h"
#include "base/inifile.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

class TMainWindowTest : public QObject {
    Q_OBJECT
private:
    static QAction* Item(QMenu* m, const QString& text) {
        for (QAction* a : m->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    // WCAG contrast ratio of two colours.
    static double Contrast(const QColor& a, const QColor& b) {
        const auto lum = [](const QColor& c) {
            const auto lin = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
        };
        const double la = lum(a), lb = lum(b);
        return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
    }
    // Contrast of a button's text against its face: the face is the colour
    // at its middle left, the text the colour that differs most from it in
    // the middle row band.
    static double TextContrast(const QImage& img) {
        const QColor face = img.pixelColor(4, img.height() / 2);
        double best = 1;
        for (int y = img.height() / 3; y < img.height() * 2 / 3; ++y)
            for (int x = img.width() / 4; x < img.width() * 3 / 4; ++x)
                best = std::max(best, Contrast(img.pixelColor(x, y), face));
        return best;
    }
    static void CloseYes(TFrmMain& w, TScriptedMessenger& msgs) {
        msgs.answers = {true};
        QVERIFY(w.close());
    }

private slots:
    void initTestCase() {
        // The fonts the program draws with, as its entry point maps them.
        InstallFontSubstitutes();
    }

    void firstStartTakesTheDefaults() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        TFrmMain w(NewAppFolder(dir, true, true));
        const TMainUi ui(w);
        w.show();
        QCOMPARE(w.geometry(), QRect(10, 10, 400, 400));
        QCOMPARE(w.TreeWidth(), 180);
        QCOMPARE(w.CommentHeight(), 80);
        QCOMPARE(ui.CboProv->count(), 35);
        QCOMPARE(ui.CboProv->currentText(), QStringLiteral("未知地"));
        QCOMPARE(ui.CboCity->currentIndex(), 0);
        QCOMPARE(ui.CboCity->currentText(), QStringLiteral("未知地"));
        QCOMPARE(w.CaseTree().ShowStyle(), 1);
        QCOMPARE(w.CaseTree().SortOrder(), 0);
        QVERIFY(Item(ui.MnuShowStyle, QStringLiteral("列表显示"))->isChecked());
        QVERIFY(Item(ui.MnuShowStyle, QStringLiteral("无"))->isChecked());
        QCOMPARE(ui.RedtVelmark->font().family(), QStringLiteral("宋体"));
        QCOMPARE(ui.RedtVelmark->font().pointSize(), 12);
        QCOMPARE(w.Views().Background(), TColor(0xC0CCD0));
        QCOMPARE(qApp->styleSheet(), QString());
        // Three skins, a separator and the system default, which is checked.
        const QList<QAction*> skins = ui.Opt_Skin->actions();
        QCOMPARE(skins.size(), 5);
        QCOMPARE(skins[1]->text(), QStringLiteral("Mx1"));
        QVERIFY(skins.last()->isChecked());
        QCOMPARE(skins.last()->text(), QStringLiteral("系统默认"));
        QCOMPARE(ui.RedtPingYu->toPlainText(), QStringLiteral("输入自己的评语："));
        QVERIFY(msgs.log.isEmpty());
        QCOMPARE(ui.CboH->itemText(0), QStringLiteral("0时子"));
        // The year is in the panel's font and its digits are drawn black,
        // not in the grey of thin smoothed strokes that looks disabled.
        QCOMPARE(ui.EdtYear->font().family(), w.font().family());
        QCOMPARE(ui.EdtYear->font().pixelSize(), w.font().pixelSize());
        const QImage year = ui.EdtYear->grab().toImage();
        int darkest = 255;
        for (int y = 3; y < year.height() - 3; ++y)
            for (int x = 3; x < year.width() / 2; ++x) darkest = std::min(darkest, qGray(year.pixel(x, y)));
        QVERIFY2(darkest < 16, qPrintable(QString::number(darkest)));
        QCOMPARE(ui.CboH->itemText(1), QStringLiteral("1时丑"));
        QCOMPARE(ui.CboH->itemText(23), QStringLiteral("23时子"));
        QCOMPARE(ui.CboDiFen->itemText(11), QStringLiteral("亥、猪"));
        QCOMPARE(ui.CboSelJiang->itemText(12), QStringLiteral("亥将"));
        CloseYes(w, msgs);
    }

    void smallSizesAreRaisedAndBadIndicesFallBack() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir);
        WriteFileText(
            folder + "dat/qdlinit.ini",
            "[winpos]\r\nwidth=900\r\nheight=700\r\ntreewid=5\r\npinghei=0\r\nsheng=1\r\nshi=999\r\n"
            "[tree]\r\nsort=3\r\nshowStyle=0\r\n");
        TFrmMain w(folder);
        const TMainUi ui(w);
        w.show();
        QCOMPARE(w.TreeWidth(), 30);
        QCOMPARE(w.CommentHeight(), 20);
        QCOMPARE(ui.CboProv->currentText(), QStringLiteral("北京市"));
        QVERIFY(ui.CboCity->count() > 10);
        QCOMPARE(ui.CboCity->currentIndex(), 0);
        QVERIFY(Item(ui.MnuShowStyle, QStringLiteral("分类显示"))->isChecked());
        QVERIFY(Item(ui.MnuShowStyle, QStringLiteral("姓氏升序（a-z）"))->isChecked());
        // Choosing "无" stores 0, not its item number.
        Item(ui.MnuShowStyle, QStringLiteral("无"))->trigger();
        QCOMPARE(w.CaseTree().SortOrder(), 0);
        CloseYes(w, msgs);
    }

    void configurationRecordTakesDefaultsAndMendsHandEditedValues() {
        QTemporaryDir dir;
        const std::string path = (NewAppFolder(dir, false) + "dat/qdlinit.ini").toStdString();
        CIniFile ini(path);
        const TWindowConfig d = ReadWindowConfig(ini);
        QCOMPARE(d.sheng, 34);
        QCOMPARE(d.bcolor, TColor(0xC0CCD0));
        QCOMPARE(d.skinname, std::string("Mx1"));
        WriteFileText(QString::fromStdString(path),
                      "[window]\r\nskinname=Jade\r\n[winpos]\r\nsheng=35\r\ntreewid=-4\r\n"
                      "[minggao]\r\nfsize=0\r\n[tree]\r\nshowStyle=2\r\nsort=5\r\n");
        ini.Reload();
        TWindowConfig c = ReadWindowConfig(ini);
        QCOMPARE(c.skinname, std::string("Mx1"));  // read only with a skin on
        QCOMPARE(c.sheng, 34);
        QCOMPARE(c.treewid, 30);
        QCOMPARE(c.fsize, 1);
        QCOMPARE(c.showStyle, 0);
        QCOMPARE(c.sort, 0);
        // A minimised window writes its state but not its geometry.
        c.state = kWinMinimised;
        c.left = 77;
        WriteWindowConfig(ini, c);
        CIniFile back(path);
        QCOMPARE(back.ReadInteger("winpos", "state", -1), 1);
        QVERIFY(!back.KeyExists("winpos", "left"));
        QCOMPARE(back.ReadInteger("tree", "sort", -1), 0);
    }

    void closeWritesBackAndAMaximisedWindowKeepsItsNormalGeometry() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir);
        {
            TFrmMain w(folder);
            const TMainUi ui(w);
            w.show();
            w.setGeometry(40, 50, 800, 600);
            ui.CboProv->setCurrentIndex(1);
            w.Panel().CboProvClick();
            ui.CboCity->setCurrentIndex(2);
            ui.mnuDefault->trigger();
            QVERIFY(msgs.Has(QStringLiteral("设置完成")));
            // "No" to the close question keeps the window and writes nothing.
            msgs.answers = {false};
            QVERIFY(!w.close());
            QVERIFY(msgs.Find(QStringLiteral("确定要关闭软件吗？"))->question);
            QVERIFY(!QFile::exists(folder + "dat/qdlinit.ini"));
            CloseYes(w, msgs);
        }
        CIniFile ini((folder + "dat/qdlinit.ini").toStdString());
        QCOMPARE(ini.ReadInteger("winpos", "left", -1), 40);
        QCOMPARE(ini.ReadInteger("winpos", "top", -1), 50);
        QCOMPARE(ini.ReadInteger("winpos", "width", -1), 800);
        QCOMPARE(ini.ReadInteger("winpos", "height", -1), 600);
        QCOMPARE(ini.ReadInteger("winpos", "state", -1), 0);
        QCOMPARE(ini.ReadInteger("winpos", "sheng", -1), 1);
        QCOMPARE(ini.ReadInteger("winpos", "shi", -1), 2);
        QCOMPARE(ini.ReadInteger("winpos", "treewid", -1), 180);
        QCOMPARE(ini.ReadInteger("winpos", "pinghei", -1), 80);
        QCOMPARE(ini.ReadString("minggao", "fname", ""), std::string("宋体"));
        QCOMPARE(ini.ReadInteger("minggao", "fsize", -1), 12);
        QCOMPARE(ini.ReadInteger("minggao", "bcolor", -1), 16777215);
        QCOMPARE(ini.ReadInteger("tree", "showStyle", -1), 1);
        QCOMPARE(ini.ReadInteger("tree", "sort", -1), 0);

        {
            TFrmMain w(folder);
            const TMainUi ui(w);
            w.show();
            QCOMPARE(ui.CboCity->currentIndex(), 2);
            w.showMaximized();
            QTRY_VERIFY(w.isMaximized());
            CloseYes(w, msgs);
        }
        ini.Reload();
        QCOMPARE(ini.ReadInteger("winpos", "state", -1), 2);
        QCOMPARE(ini.ReadInteger("winpos", "left", -1), 40);
        QCOMPARE(ini.ReadInteger("winpos", "width", -1), 800);
        TFrmMain again(folder);
        again.show();
        QTRY_VERIFY(again.isMaximized());
        CloseYes(again, msgs);
    }

    void skinMenuLoadsSkinsAndReportsAMissingFile() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir, false, true);
        QFile::copy(folder + "skins/Jade.skn", folder + "skins/Blue.dark.skn");
        TFrmMain w(folder);
        const TMainUi ui(w);
        w.show();
        QAction* blue = Item(ui.Opt_Skin, QStringLiteral("Blue"));
        QVERIFY(blue);
        Item(ui.Opt_Skin, QStringLiteral("Mx1"))->trigger();
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("Mx1")));
        CIniFile ini((folder + "dat/qdlinit.ini").toStdString());
        QCOMPARE(ini.ReadString("window", "skinname", ""), std::string("Mx1"));
        QCOMPARE(ini.ReadBool("window", "skined", false), true);

        QFile::remove(folder + "skins/Night.skn");
        Item(ui.Opt_Skin, QStringLiteral("Night"))->trigger();
        QVERIFY(msgs.Has(QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！")));
        QVERIFY(Item(ui.Opt_Skin, QStringLiteral("Night"))->isChecked());
        ini.Reload();
        QCOMPARE(ini.ReadString("window", "skinname", ""), std::string("Mx1"));

        Item(ui.Opt_Skin, QStringLiteral("系统默认"))->trigger();
        QCOMPARE(qApp->styleSheet(), QString());
        ini.Reload();
        QCOMPARE(ini.ReadBool("window", "skined", true), false);
        CloseYes(w, msgs);

        // The next start applies the skin named in the file.
        CIniFile(ini.Path()).WriteBool("window", "skined", true);
        TFrmMain again(folder);
        const TMainUi againUi(again);
        again.show();
        QVERIFY(Item(againUi.Opt_Skin, QStringLiteral("Mx1"))->isChecked());
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("Mx1")));
        CloseYes(again, msgs);
        qApp->setStyleSheet(QString());
    }

    void skinsKeepThePanelReadableAndSystemDefaultBringsBackTheStartUpLook() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        TFrmMain w(NewAppFolder(dir, false, true));
        const TMainUi ui(w);
        w.show();
        auto* now = Find<QToolButton>(w, "SbtoNow");
        auto* pai = Find<QPushButton>(w, "BtnPai");
        struct TLook {
            QFont year, save;
            QSize year_, save_, now, pai, combo;
            bool operator==(const TLook&) const = default;
        };
        const auto look = [&] {
            return TLook{ui.EdtYear->font(),      ui.SbtoSave->font(), ui.EdtYear->sizeHint(),
                         ui.SbtoSave->sizeHint(), now->sizeHint(),     pai->sizeHint(),
                         ui.CboM->sizeHint()};
        };
        const TLook startUp = look();

        Item(ui.Opt_Skin, QStringLiteral("Night"))->trigger();
        const QColor panel = w.Panel().grab().toImage().pixelColor(2, 2);
        // The panel's tool buttons keep a frame on the dark panel.
        const QImage nowImage = now->grab().toImage();
        QVERIFY(Contrast(nowImage.pixelColor(0, nowImage.height() / 2), panel) > 1.5);
        // Restyling the save button for a stored case changes its colour only.
        const int height = ui.SbtoSave->sizeHint().height();
        for (bool stored : {false, true}) {
            w.Panel().ShowSaveKind(stored);
            QCOMPARE(ui.SbtoSave->styleSheet(), QString());
            QCOMPARE(ui.SbtoSave->sizeHint().height(), height);
            QCOMPARE(ui.SbtoSave->font(), startUp.save);
            QVERIFY2(TextContrast(ui.SbtoSave->grab().toImage()) >= 4.5, stored ? "存旧" : "存新");
        }
        // Straight back to no skin, and again by way of another skin.
        Item(ui.Opt_Skin, QStringLiteral("系统默认"))->trigger();
        QCOMPARE(ui.SbtoSave->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
        Item(ui.Opt_Skin, QStringLiteral("Night"))->trigger();
        Item(ui.Opt_Skin, QStringLiteral("Mx1"))->trigger();
        QCOMPARE(ui.EdtYear->font(), startUp.year);
        Item(ui.Opt_Skin, QStringLiteral("系统默认"))->trigger();
        // Back without a skin, a stored case's save button is blue again,
        // not in the last skin's colour.
        QCOMPARE(ui.SbtoSave->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
        w.Panel().ShowSaveKind(false);
        QVERIFY(look() == startUp);
        CloseYes(w, msgs);
    }

    void storeIsOpenedAtStartWithItsMessages() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir);
        {
            MRecordBase store;
            TFrmMain w(folder, &store);
            w.show();
            QVERIFY(msgs.log.isEmpty());
            QVERIFY(QFile::exists(folder + "dat/Quadrelle.db"));
            QVERIFY(w.StartIds().empty());
            CloseYes(w, msgs);
        }
        // A database that cannot be opened is reported and start-up goes on.
        const QString bad = NewAppFolder(dir) + "other/";
        QDir().mkpath(bad + "dat/Quadrelle.db");
        MRecordBase store;
        TFrmMain w(bad, &store);
        msgs.log.clear();
        w.show();
        QCOMPARE(msgs.log.size(), 1);
        QVERIFY(!msgs.log[0].text.isEmpty());
        QVERIFY(w.isVisible());
        CloseYes(w, msgs);
    }

    void knowledgeWithoutAViewerSaysWhereTheDocumentIs() {
        // A desktop without a viewer for the document.
        struct TNoViewer : IShellServices {
            TNoViewer() { SetShell(this); }
            ~TNoViewer() override { SetShell(nullptr); }
            QString ChooseFolder(QWidget*, const QString&) override { return {}; }
            QString ChooseOpenFile(QWidget*, const QString&) override { return {}; }
            bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
            bool OpenFolder(const QString&) override { return true; }
            void EndProgram() override {}
            bool OpenDocument(const QString& path) override {
                opened << path;
                return false;
            }
            QStringList opened;
        } shell;
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        const QString folder = NewAppFolder(dir);
        TFrmMain w(folder);
        QAction* knowledge = Find<QAction>(w, "mnuKnowledge");
        const QString doc = folder + "dat/Quadrelle.html";
        const QString text = QStringLiteral("无法打开相关知识文档：") + QDir::toNativeSeparators(doc);
        // Missing, then present but without a viewer.
        knowledge->trigger();
        QVERIFY(shell.opened.isEmpty());
        QCOMPARE(msgs.log.last().text, text);
        WriteFileText(doc, "<html></html>");
        msgs.log.clear();
        knowledge->trigger();
        QCOMPARE(shell.opened, QStringList{doc});
        QCOMPARE(msgs.log.size(), 1);
        QCOMPARE(msgs.log.last().text, text);
        QCOMPARE(msgs.log.last().caption, QStringLiteral("相关知识"));
    }

    void menusAreInPlace() {
        QTemporaryDir dir;
        TScriptedMessenger msgs;
        TFrmMain w(NewAppFolder(dir));
        const TMainUi ui(w);
        QStringList titles;
        for (QAction* a : w.menuBar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"文件(&F)", "辅助工具(&T)", "选项(&O)", "帮助(&H)"}));
        QStringList pop;
        for (QAction* a : ui.PopRdtqdl->actions())
            if (!a->isSeparator()) pop << a->text();
        QCOMPARE(pop, QStringList({"撤销", "复制", "粘贴", "剪切", "删除", "全选", "设置选中文字",
                                   "导入霁岚术文件", "另存为", "打印课例"}));
        pop.clear();
        for (QAction* a : ui.PopPingYu->actions())
            if (!a->isSeparator()) pop << a->text();
        QCOMPARE(pop, QStringList({"撤销", "复制", "粘帖", "剪切", "删除", "全选", "设置选中文本", "另存为",
                                   "打印"}));
        QVERIFY(ui.mnuSave->isEnabled());
        QVERIFY(ui.mnuCalendar->isEnabled());
    }
};

QTEST_MAIN(TMainWindowTest)
#include "tst_mainwindow.moc"
