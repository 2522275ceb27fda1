// SPDX-License-Identifier: GPL-3.0-or-later
// The window's hold on its case folder: one program per folder, another
// program's compaction refused while the window runs, restore of an
// incomplete backup, a damaged database at start, the automatic backups at
// close with their setting, comment files that stay inside Quadrelle_f/,
// and the unusable set.ini keys told once.
#include <sqlite3.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTextEdit>
#include <QtTest>
#include <memory>

#include "app/dialogs.h"
#include "app/folderguard.h"
#include "app/frmfenlei.h"
#include "app/frmmain.h"
#include "app/maintenance.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/inifile.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

namespace {

std::string S(const QString& s) { return s.toStdString(); }

TRecordData Case(int k) {
    TRecordData r = MakeRecordData();
    r.request.filled = 1;
    WriteGbkField(r.request.name, "赵" + std::to_string(k));
    WriteGbkField(r.request.question, "问事");
    r.request.year = 2006;
    r.request.month = 3;
    r.request.day = 7;
    r.request.hour = 9;
    r.request.minute = int16_t(k % 60);
    r.request.earth = 1;
    r.category = k % 2 ? "求财" : "婚姻";
    r.comment = "评语" + std::to_string(k);
    r.commentFile = "赵" + std::to_string(k) + "_f";
    return r;
}

std::string NameOf(MRecordBase& store, int id) {
    TRecordData r;
    return store.ReadCase(id, r) ? ReadGbkField(r.request.name) : std::string();
}

// Scrambles `count` pages of the database from page `first`.
void DamagePages(const QString& db, int first, int count) {
    QFile f(db);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(qint64(first) * 4096);
    f.write(QByteArray(count * 4096, '\x5a'));
}

QByteArray Digest(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                       : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList BackupsOf(const QString& home) {
    return Entries(home + "backups").filter(QStringLiteral("备份"));
}

// A complete backup folder of the automatic backups' form, dated `day` May 2020.
void OldBackup(const QString& home, int day) {
    const QString b = home + QStringLiteral("backups/澜川霁岚术_备份_2020年5月%1日9时0分0秒/").arg(day);
    QDir().mkpath(b + "Quadrelle_f");
    WriteFileText(b + "Quadrelle.db", "x");
    WriteFileText(b + "Quadrelle_f/save.txt", "save\n");
}

}  // namespace

class TCaseFolderTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString home_;
    std::unique_ptr<MRecordBase> store_;
    std::unique_ptr<TScriptedMessenger> msgs_;
    std::unique_ptr<TScriptedShell> shell_;
    std::unique_ptr<TFrmMain> w_;

    QString Db() const { return home_ + "dat/Quadrelle.db"; }

    // `n` cases with their comment files, written before any window runs.
    void Fill(int n) {
        MRecordBase s;
        QCOMPARE(s.OpenDatabase(S(Db()), S(home_), false), TOpenResult::Opened);
        QVERIFY(s.BeginBatch());
        for (int k = 1; k <= n; ++k) {
            TRecordData r = Case(k);
            QVERIFY(s.AddCaseInBatch(r) > 0);
        }
        QVERIFY(s.EndBatch());
        QVERIFY(s.RebuildCommentFiles());
    }
    // Shows a window over a fresh program-wide store and waits for its
    // integrity check; answers whether the check found damage.
    bool ShowWindow() {
        store_ = std::make_unique<MRecordBase>();
        w_ = std::make_unique<TFrmMain>(home_, store_.get());
        QSignalSpy checked(&w_->Guard(), &TCaseFolderGuard::integrityChecked);
        w_->show();
        if (!checked.wait(10000)) qFatal("no integrity check");
        return checked.first().first().toBool();
    }
    // Closes the window with Yes to "确定要关闭软件吗？".
    void CloseWindow() {
        msgs_->answers = {true};
        QVERIFY(w_->close());
        w_.reset();
        store_.reset();
    }
    bool Asked(const QString& start) const {
        for (const auto& m : msgs_->log)
            if (m.question && m.text.startsWith(start)) return true;
        return false;
    }

private slots:
    void init() {
        home_ = NewAppFolder(dir_ = QTemporaryDir(), true);
        msgs_ = std::make_unique<TScriptedMessenger>();
        shell_ = std::make_unique<TScriptedShell>();
    }
    void cleanup() {
        w_.reset();
        store_.reset();
        shell_.reset();
        msgs_.reset();
        SetCategoryChooser(nullptr);
    }

    void secondStartOnTheSameFolderOpensNoStore() {
        Fill(3);
        ShowWindow();
        MRecordBase second;
        TFrmMain w2(home_, &second);
        w2.show();
        QCOMPARE(msgs_->log.size(), 1);
        QVERIFY(msgs_->log[0].text.startsWith(QString::fromUtf8(kFolderInUseText)));
        QCOMPARE(msgs_->log[0].caption, QStringLiteral("错误"));
        QCOMPARE(shell_->ended, 1);
        QVERIFY(second.DatabasePath().empty());
        QCOMPARE(w2.CaseTree().ShownCount(), 0);
        // It closes without questions and without writing its configuration.
        QVERIFY(w2.close());
        QCOMPARE(msgs_->log.size(), 1);
        QVERIFY(!QFileInfo::exists(home_ + "dat/qdlinit.ini"));

        // The first window runs on; once it is gone the folder is free again.
        QCOMPARE(w_->Guard().Lock()->Mode(), TFolderLockMode::Write);
        CloseWindow();
        ShowWindow();
        QCOMPARE(store_->CountCases(), 3);
        QCOMPARE(shell_->ended, 1);
    }

    // Another program's compaction would renumber the cases under the
    // window's tree, and "删除课例" would then delete another case.
    void compactionByQdlIsRefusedWhileTheWindowRuns() {
        Fill(600);
        {
            MRecordBase s;
            s.OpenDatabase(S(Db()), S(home_), false);
            for (int id = 1; id <= 100; ++id) QVERIFY(s.DeleteCase(id));
        }
        ShowWindow();
        const auto qdlCompact = [this] {
            QProcess qdl;
            qdl.setProcessChannelMode(QProcess::MergedChannels);
            qdl.start(QStringLiteral(QD_QDL), {"db", "--home", home_, "compact"});
            qdl.waitForFinished(60000);
            return std::make_pair(qdl.exitCode(), QString::fromUtf8(qdl.readAll()));
        };
        const auto [code, out] = qdlCompact();
        QCOMPARE(code, 1);
        QVERIFY2(out.contains(QString::fromUtf8(kFolderInUseText)), qPrintable(out));
        QCOMPARE(NameOf(*store_, 550), std::string("赵550"));

        QVERIFY(w_->CaseTree().SelectCase(550));
        QCOMPARE(w_->CaseTree().SelectedCaseText().section(' ', 0, 0), QStringLiteral("赵550"));
        msgs_->answers = {true};
        w_->Cases().DeleteSelectedCase();
        QCOMPARE(NameOf(*store_, 550), std::string());
        QCOMPARE(NameOf(*store_, 450), std::string("赵450"));
        QCOMPARE(store_->CountCases(), 499);

        // With the window gone the same command runs.
        CloseWindow();
        QCOMPARE(qdlCompact().first, 0);
    }

    void ownCompactionNeedsTheFolderToItself() {
        Fill(520);
        ShowWindow();
        CCaseFolderLock reader(S(home_));  // another program reading the folder
        QVERIFY(reader.TryLock(TFolderLockMode::Read));
        auto* compact = w_->findChild<QAction*>("mnuCompact");
        msgs_->answers = {true};
        compact->trigger();
        QCOMPARE(msgs_->log.last().text, QString::fromUtf8(kFolderInUseText));
        QCOMPARE(shell_->ended, 0);
        QCOMPARE(w_->Guard().Lock()->Mode(), TFolderLockMode::Write);
        QCOMPARE(store_->CountCases(), 520);

        reader.Unlock();
        msgs_->answers = {true};
        compact->trigger();
        QCOMPARE(msgs_->log.last().text, QStringLiteral(" 520 个案例已经整理出来！"));
        QCOMPARE(shell_->ended, 1);
        QCOMPARE(w_->Guard().Lock()->Mode(), TFolderLockMode::Write);
    }

    void incompleteBackupIsRestoredOnlyAfterASecondYes() {
        Fill(2);
        QTemporaryDir out;
        const QString backup = out.path() + "/b/";
        {
            MRecordBase s;
            s.OpenDatabase(S(Db()), S(home_), false);
            QVERIFY(s.BackupTo(S(backup), false));
            TRecordData r = Case(3);
            QVERIFY(s.AddCase(r) > 0);
            QVERIFY(s.RebuildCommentFiles());
        }
        QVERIFY(QFile::remove(backup + "Quadrelle_f/save.txt"));
        ShowWindow();
        auto* restore = w_->findChild<QAction*>("mnuRestore");

        const QByteArray before = Digest(Db());
        msgs_->answers = {true, false};  // overwrite? Yes. Incomplete: use it? No.
        shell_->folders = {backup};
        restore->trigger();
        const auto& asked = msgs_->log.last();
        QVERIFY(asked.question);
        QVERIFY(asked.text.contains(QStringLiteral("不完整")) &&
                asked.text.contains(QStringLiteral("save.txt")));
        QCOMPARE(asked.icon, TMsgIcon::Warning);
        QCOMPARE(Digest(Db()), before);
        QCOMPARE(Entries(home_ + "Quadrelle_f").size(), 3);
        QCOMPARE(shell_->ended, 0);

        msgs_->answers = {true, true};
        shell_->folders = {backup};
        restore->trigger();
        QCOMPARE(msgs_->log.last().text, QStringLiteral("成功还原，请重新打开软件！"));
        QCOMPARE(shell_->ended, 1);
        QCOMPARE(store_->CountCases(), 2);
        QCOMPARE(Entries(home_ + "Quadrelle_f").size(), 2);
        QCOMPARE(w_->Guard().Lock()->Mode(), TFolderLockMode::Write);
    }

    void damagedDatabaseAtStartWritesNothing() {
        Fill(400);
        {
            MRecordBase s;
            s.OpenDatabase(S(Db()), S(home_), false);
            std::tm day{};
            day.tm_year = 120;
            day.tm_mon = 4;
            day.tm_mday = 1;
            QCOMPARE(s.AutoBackup(3, day), TAutoBackupResult::Written);
        }
        DamagePages(Db(), 10, 3);
        const QByteArray db = Digest(Db());
        const QStringList comments = Entries(home_ + "Quadrelle_f");
        const QStringList backups = Entries(home_ + "backups");

        QVERIFY(ShowWindow());
        QVERIFY(Asked(QString::fromUtf8(kDamagedText)));
        QVERIFY(msgs_->log.last().text.contains(QStringLiteral("澜川霁岚术_备份_2020年5月1日")));
        QVERIFY(store_->IsDamaged());
        // Saving a new case is refused before its comment file is written.
        SetCategoryChooser([](QWidget*, const std::vector<std::string>&, QString& out) {
            out = QStringLiteral("求财");
            return true;
        });
        w_->Panel().SetPanelMoment(2024, 5, 1, 9, 30);
        w_->Panel().BtnPaiClick();
        QVERIFY(w_->CastShown());
        w_->Cases().SaveCurrentCase();
        QCOMPARE(msgs_->log.last().text, QString::fromUtf8(kDamagedText));
        CloseWindow();  // no automatic backup of a damaged file
        QCOMPARE(Digest(Db()), db);
        QCOMPARE(Entries(home_ + "Quadrelle_f"), comments);
        QCOMPARE(Entries(home_ + "backups"), backups);

        // Yes restores the newest automatic backup.
        msgs_->log.clear();
        msgs_->answers = {true};
        QVERIFY(ShowWindow());
        QCOMPARE(msgs_->log.last().text, QStringLiteral("成功还原，请重新打开软件！"));
        QCOMPARE(shell_->ended, 1);
        w_.reset();
        MRecordBase again;
        QCOMPARE(again.OpenExisting(S(Db()), S(home_), true), TDatabaseCheck::Usable);
        QCOMPARE(again.CountCases(), 400);
    }

    void automaticBackupAtCloseOnceADayKeepingTheNewest() {
        Fill(2);
        for (int day = 1; day <= 3; ++day) OldBackup(home_, day);
        CIniFile(S(home_ + "dat/qdlinit.ini")).WriteInteger("backup", "keep", 2);
        ShowWindow();
        CloseWindow();
        const QStringList kept = BackupsOf(home_);
        const QString newestOld = QStringLiteral("澜川霁岚术_备份_2020年5月3日9时0分0秒");
        QCOMPARE(kept.size(), 2);
        QVERIFY(kept.contains(newestOld));
        const QString today = home_ + "backups/" + (kept[0] == newestOld ? kept[1] : kept[0]) + '/';
        QVERIFY(IsCompleteBackup(S(today)));
        QCOMPARE(Entries(today + "Quadrelle_f").size(), 3);  // two comments and save.txt

        // Once a day: the next close of the day adds none.
        ShowWindow();
        CloseWindow();
        QCOMPARE(BackupsOf(home_), kept);

        // 0 turns them off, even when one is due.
        QVERIFY(QFile::remove(home_ + "backups/last-run"));
        CIniFile(S(home_ + "dat/qdlinit.ini")).WriteInteger("backup", "keep", 0);
        ShowWindow();
        CloseWindow();
        QCOMPARE(BackupsOf(home_), kept);
    }

    void settingsDialogKeepsTheNumberOfBackups() {
        Fill(2);
        TFrmSet fresh(home_);
        QCOMPARE(fresh.LedtAutoBackup->text(), QStringLiteral("10"));
        for (const char* bad : {"-1", "x", ""}) {  // three digits do not fit
            fresh.LedtAutoBackup->setText(QString::fromLatin1(bad));
            fresh.BtnSetClick();
            QCOMPARE(msgs_->log.last().text, QStringLiteral("自动备份份数在0-99之间"));
            QCOMPARE(msgs_->log.last().caption, QStringLiteral("输入错误"));
            QVERIFY(!QFileInfo::exists(home_ + "dat/set.ini"));
        }

        // Set in the running window, it survives the window's write-back at close.
        ShowWindow();
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<TFrmSet*>(QApplication::activeModalWidget());
            if (!dlg) qFatal("no settings dialog");
            dlg->LedtAutoBackup->setText(QStringLiteral("0"));
            dlg->BtnSetClick();
        });
        w_->findChild<QAction*>("mnuSet")->trigger();
        CloseWindow();
        CIniFile ini(S(home_ + "dat/qdlinit.ini"));
        QCOMPARE(ini.ReadInteger("backup", "keep", -1), 0);
        QVERIFY(ini.KeyExists("winpos", "treewid"));
        QCOMPARE(CIniFile(S(home_ + "dat/set.ini")).ReadInteger("set", "iYueJiang", -1), 1);
        QVERIFY(!QFileInfo::exists(home_ + "backups"));
    }

    void openingTheBackupFolderNamesItWhenItCannot() {
        ShowWindow();
        auto* item = w_->findChild<QAction*>("mnuAutoBackups");
        const QString folder = home_ + "backups/";
        item->trigger();  // none yet
        QVERIFY(msgs_->log.last().text.endsWith(QDir::toNativeSeparators(folder)));
        QVERIFY(shell_->opened.isEmpty());
        QDir().mkpath(folder);
        msgs_->log.clear();
        item->trigger();
        QCOMPARE(shell_->opened, QStringList{folder});
        QVERIFY(msgs_->log.isEmpty());
        shell_->viewerWorks = false;
        item->trigger();
        QVERIFY(msgs_->log.last().text.startsWith(QStringLiteral("无法打开文件夹")));
        QVERIFY(msgs_->log.last().text.endsWith(QDir::toNativeSeparators(folder)));
    }

    // A row another program wrote may name a comment file outside the
    // comment folder; deleting or saving the case must not touch it.
    void commentFileNameThatClimbsOutTouchesNothingOutside() {
        // The application folder one level down, so that the name's target
        // lies in the scratch folder.
        const QString root = home_;
        home_ = root + "app/";
        QDir().mkpath(home_ + "dat");
        QVERIFY(QFile::copy(root + "dat/dili.ini", home_ + "dat/dili.ini"));
        Fill(2);
        const QString victim = root + "victim.rtf";
        WriteFileText(victim, "mine");
        {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(S(Db()).c_str(), &db), SQLITE_OK);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, "update case_data set remarkFile=? where id in (1, 2);", -1, &st, nullptr);
            sqlite3_bind_text(st, 1, "../../victim", -1, SQLITE_STATIC);
            QCOMPARE(sqlite3_step(st), SQLITE_DONE);
            sqlite3_finalize(st);
            sqlite3_close(db);
        }
        ShowWindow();
        // Case 2 opened, its comment changed and saved over; case 1 deleted.
        QVERIFY(w_->CaseTree().SelectCase(2));
        w_->Cases().OpenSelectedCase();
        QVERIFY(w_->CastShown());
        QVERIFY(IsInsideCommentFolder(S(home_), S(w_->Cases().CommentFilePath())));
        w_->findChild<QTextEdit*>("RedtPingYu")->setPlainText(QStringLiteral("新的评语"));
        msgs_->answers = {true};
        w_->Cases().SaveCurrentCase();
        QVERIFY(QFileInfo::exists(w_->Cases().CommentFilePath()));
        QVERIFY(w_->CaseTree().SelectCase(1));
        msgs_->answers = {true};
        w_->Cases().DeleteSelectedCase();
        QCOMPARE(store_->CountCases(), 1);
        QCOMPARE(ReadFileText(victim), QStringLiteral("mine"));
        QCOMPARE(QDir(root).entryList({"*.rtf"}), QStringList{"victim.rtf"});
    }

    void unusableSettingsAreToldOnce() {
        WriteFileText(home_ + "dat/set.ini", "[set]\r\nidate=7\r\niGui=x\r\n");
        ShowWindow();
        const auto told = [this] {
            int n = 0;
            for (const auto& m : msgs_->log) n += m.text.startsWith(QStringLiteral("排盘设置文件"));
            return n;
        };
        w_->Panel().SetPanelMoment(2024, 5, 1, 9, 30);
        w_->Panel().BtnPaiClick();
        QVERIFY(w_->CastShown());
        QCOMPARE(told(), 1);
        QVERIFY(msgs_->log.last().text.contains(QStringLiteral("\nidate=7")));
        QVERIFY(msgs_->log.last().text.contains(QStringLiteral("\niGui=x")));
        w_->Panel().BtnPaiClick();
        QCOMPARE(told(), 1);
        // A new problem is told, alone.
        WriteFileText(home_ + "dat/set.ini", "[set]\r\nidate=7\r\niGui=x\r\nleftpos=900\r\n");
        w_->Panel().BtnPaiClick();
        QCOMPARE(told(), 2);
        QVERIFY(msgs_->log.last().text.contains(QStringLiteral("\nleftpos=900")));
        QVERIFY(!msgs_->log.last().text.contains(QStringLiteral("idate")));
    }
};

QTEST_MAIN(TCaseFolderTest)
#include "tst_casefolder.moc"
