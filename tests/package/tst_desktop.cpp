// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program keeps its files in each install layout, and Qt's own
// texts in Chinese.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/appfolder.h"

namespace {

void WriteFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// "是(&Y)" and "&Yes" read as the button shows them, without the mnemonic.
QString Shown(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))); }

}  // namespace

class TstDesktop : public QObject {
    Q_OBJECT
    QTemporaryDir tmp_;
    QString user_;

private slots:
    void initTestCase() {
        // The per-user folder goes into the temporary folder, never the
        // tester's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp_.path() + "/xdg"));
        QCoreApplication::setOrganizationName(QStringLiteral("quadrelle"));
        QCoreApplication::setApplicationName(QStringLiteral("quadrelle"));
        user_ = tmp_.path() + "/xdg/quadrelle/quadrelle/";
    }
    void cleanup() { QDir(tmp_.path() + "/xdg").removeRecursively(); }

    void PortableFolderIsUsedInPlace() {
        const QString prog = tmp_.path() + "/portable/";
        WriteFile(prog + "dat/dili.ini", "portable");
        QCOMPARE(qd::ApplicationFolder(prog), prog);
        QVERIFY(!QFileInfo::exists(user_));
    }

    void BuildFolderSeedsTheUserFolderFromItsCopies() {
        const QString bin = tmp_.path() + "/build/bin/";
        WriteFile(bin + "dat/dili.ini", "built");
        WriteFile(bin + "skins/Mx1.skn", "skin");
        WriteFile(bin + qd::kBuildFolderMarker, "");
        QCOMPARE(qd::ApplicationFolder(bin), user_);
        QCOMPARE(ReadFile(user_ + "dat/dili.ini"), QByteArray("built"));
        QCOMPARE(ReadFile(user_ + "skins/Mx1.skn"), QByteArray("skin"));
    }

    // An installed program finds its defaults in share/quadrelle/ of its
    // prefix. Its bin/ is writable in a prefix in the home folder, yet it
    // must neither become the application folder nor gain files; a file the
    // user changed is kept.
    void InstalledProgramUsesTheUserFolder() {
        const QString prefix = tmp_.path() + "/prefix/";
        QDir().mkpath(prefix + "bin");
        WriteFile(prefix + "share/quadrelle/dat/dili.ini", "shipped");
        WriteFile(prefix + "share/quadrelle/dat/qdlinit.ini", "shipped");
        WriteFile(prefix + "share/quadrelle/skins/Jade.skn", "skin");
        WriteFile(user_ + "dat/dili.ini", "mine");

        QCOMPARE(qd::ShippedFolder(prefix + "bin"), prefix + "share/quadrelle/");
        QCOMPARE(qd::ApplicationFolder(prefix + "bin"), user_);
        QCOMPARE(ReadFile(user_ + "dat/dili.ini"), QByteArray("mine"));
        QCOMPARE(ReadFile(user_ + "dat/qdlinit.ini"), QByteArray("shipped"));
        QCOMPARE(ReadFile(user_ + "skins/Jade.skn"), QByteArray("skin"));
        QVERIFY(Entries(prefix + "bin").isEmpty());
        QCOMPARE(Entries(prefix + "share/quadrelle/dat"), QStringList({"dili.ini", "qdlinit.ini"}));
    }

    void WithoutShippedFilesTheUserFolderStillHasDat() {
        const QString bare = tmp_.path() + "/bare/bin/";
        QDir().mkpath(bare);
        QVERIFY(qd::ShippedFolder(bare).isEmpty());
        QCOMPARE(qd::ApplicationFolder(bare), user_);
        QVERIFY(QFileInfo(user_ + "dat").isDir());
    }

    // Qt's buttons and dialogs speak Chinese once its translation is loaded.
    void QtTextsAreChinese() {
        QVERIFY2(qd::InstallQtTranslations(*qApp),
                 "Qt's Chinese translation (qt6-translations-l10n) not found");

        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("要删除吗？"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        const std::pair<QMessageBox::StandardButton, const char*> buttons[] = {{QMessageBox::Yes, "是"},
                                                                               {QMessageBox::No, "否"},
                                                                               {QMessageBox::Ok, "确定"},
                                                                               {QMessageBox::Cancel, "取消"}};
        for (const auto& [button, text] : buttons)
            QCOMPARE(Shown(box.button(button)->text()), QString::fromUtf8(text));

        // Titles of the standard dialogs the program opens.
        const std::pair<const char*, const char*> titles[] = {{"QFileDialog", "Look in:"},
                                                              {"QFontDialog", "Select Font"},
                                                              {"QColorDialog", "Select Color"},
                                                              {"QPrintDialog", "Print"}};
        for (const auto& [context, source] : titles) {
            const QString shown = QCoreApplication::translate(context, source);
            QVERIFY2(shown.contains(QRegularExpression(QStringLiteral("\\p{Han}"))), qPrintable(shown));
        }
    }
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
