// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu's case file maintenance dialogues and the category dialogs,
// with scripted answers to every question, folder choice and input prompt.
#include <sqlite3.h>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>
#include <optional>

#include "app/frmeditclass.h"
#include "app/frmmain.h"
#include "app/maintenance.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/inifile.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

namespace {

TRecordData Case(const std::string& name, const std::string& category, int minute = 5) {
    TRecordData r = MakeRecordData();
    r.request.filled = 1;
    WriteGbkField(r.request.name, name);
    r.request.year = 2006;
    r.request.month = 3;
    r.request.day = 7;
    r.request.hour = 9;
    r.request.minute = static_cast<int16_t>(minute);
    WriteGbkField(r.request.question, "问事");
    r.category = category;
    r.comment = "评语" + name;
    r.commentFile = name + "_" + std::to_string(minute);
    return r;
}

using TCases = std::vector<std::pair<std::string, std::string>>;

// A store in a scratch application folder with cases of the given categories.
struct TStoreSetup {
    explicit TStoreSetup(const TCases& cases) {
        home = NewAppFolder(dir, false);
        QDir().mkpath(home + "Quadrelle_f");
        store.OpenDatabase((home + "dat/Quadrelle.db").toStdString(), home.toStdString(), false);
        int k = 0;
        for (const auto& [name, cat] : cases) {
            TRecordData r = Case(name, cat, k++);
            store.AddCase(r);
        }
        store.RebuildCommentFiles();
        m = TMaintenance{&view, &store, &view, false, {}, {}};
        view.setPlainText(QStringLiteral("我的评语"));
    }
    int Cases() { return store.CountCases(); }
    QString Db() const { return home + "dat/Quadrelle.db"; }

    QTemporaryDir dir;
    QString home;
    MRecordBase store;
    QTextEdit view;
    TMaintenance m;
};

// Makes the database refuse the statements `when` names, as a full disk or
// a locked file would.
bool Refuse(const QString& path, const char* when) {
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) return false;
    const std::string sql =
        std::string("create trigger refuse ") + when + " begin select raise(abort, 'refused'); end;";
    const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QStringList Texts(const TScriptedMessenger& msgs) {
    QStringList out;
    for (const auto& x : msgs.log) out << x.text;
    return out;
}

}  // namespace

class TMaintenanceTest : public QObject {
    Q_OBJECT
private slots:
    void backupThenRestoreRoundTrip() {
        TStoreSetup s(TCases{{"张三", "求财"}, {"李四", "婚姻"}});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        QTemporaryDir out;
        shell.folders = {out.path()};
        QVERIFY(BackupCommand(s.m));
        QCOMPARE(shell.captions.last(), QStringLiteral("请选择备份位置："));
        const QStringList made = QDir(out.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QVERIFY(made[0].startsWith(QStringLiteral("澜川霁岚术_备份_")));
        const QString backup = out.path() + '/' + made[0] + '/';
        QVERIFY(QFileInfo::exists(backup + "Quadrelle.db"));
        QVERIFY(QFileInfo::exists(backup + "Quadrelle_f/save.txt"));
        QVERIFY(msgs.log.last().text.startsWith(QStringLiteral("成功备份，已保存到")));
        QVERIFY(msgs.log.last().text.endsWith(QStringLiteral("目录下")));

        TRecordData extra = Case("王五", "求财", 30);
        s.store.AddCase(extra);
        QCOMPARE(s.Cases(), 3);

        // No to the question, then a folder without a database: nothing changes.
        shell.folders = {out.path()};
        QVERIFY(!RestoreCommand(s.m));
        QCOMPARE(msgs.log.last().caption, QStringLiteral("注意了"));
        QCOMPARE(msgs.log.last().icon, TMsgIcon::Warning);
        QVERIFY(msgs.log.last().question);
        msgs.answers = {true};
        QVERIFY(!RestoreCommand(s.m));
        QCOMPARE(msgs.log.last().text, QStringLiteral("没有要还原的的db数据文件！"));
        QCOMPARE(s.Cases(), 3);

        msgs.answers = {true};
        shell.folders = {out.path() + '/' + made[0]};
        QVERIFY(RestoreCommand(s.m));
        QCOMPARE(shell.captions.last(), QStringLiteral("请选择要还原的数据位置："));
        QCOMPARE(msgs.log.last().text, QStringLiteral("成功还原，请重新打开软件！"));
        QCOMPARE(shell.ended, 1);
        MRecordBase again;
        QCOMPARE(again.OpenDatabase(s.Db().toStdString(), s.home.toStdString(), false),
                 qd::TOpenResult::Opened);
        QCOMPARE(again.CountCases(), 2);
    }

    void dialogsStartWhereTheLastOfTheirKindWasChosen() {
        TStoreSetup s(TCases{{"张三", "求财"}});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        CIniFile ini((s.home + "dat/qdlinit.ini").toStdString());
        SetFolderMemory(&ini);
        const auto kept = [&ini](const char* key) {
            return QString::fromStdString(ini.ReadString("folders", key, ""));
        };
        QTemporaryDir backups, exports;

        // Backups: the folder chosen for them, also after restoring one.
        shell.folders = {backups.path()};
        QVERIFY(BackupCommand(s.m));
        QCOMPARE(shell.starts.last(), QString());
        QCOMPARE(kept("backup"), backups.path());
        const QString made = QDir(backups.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
        msgs.answers = {true};
        shell.folders = {backups.path() + '/' + made};
        QVERIFY(RestoreCommand(s.m));
        QCOMPARE(shell.starts.last(), backups.path());
        QCOMPARE(kept("backup"), backups.path());

        // Case databases: where the export went, the import starts.
        shell.folders = {exports.path()};
        QVERIFY(ExportChosen(s.m, {QStringLiteral("求财")}, true));
        QCOMPARE(kept("db"), exports.path());
        shell.files = {};
        QVERIFY(!ImportCommand(s.m));
        QCOMPARE(shell.starts.last(), exports.path());

        // A folder gone since starts the dialog where it would start anyway;
        // a name the GBK file cannot hold is not kept.
        QVERIFY(QDir(exports.path()).removeRecursively());
        QVERIFY(!ImportCommand(s.m));
        QCOMPARE(shell.starts.last(), QString());
        RememberFolder(TFileKind::ViewText, QStringLiteral("/tmp/文件夹😀"));
        QVERIFY(!ini.KeyExists("folders", "text"));
        SetFolderMemory(nullptr);
        QCOMPARE(LastFolder(TFileKind::Backup), QString());
    }

    void backupFailureIsNotReportedAsSuccess() {
        TStoreSetup s(TCases{{"张三", "求财"}});
        for (const QString& f : QDir(s.home + "Quadrelle_f").entryList({"*.rtf"}))
            QFile::remove(s.home + "Quadrelle_f/" + f);
        TScriptedMessenger msgs;
        TScriptedShell shell;
        QTemporaryDir out;
        shell.folders = {out.path()};
        QVERIFY(!BackupCommand(s.m));
        QCOMPARE(Texts(msgs), QStringList{QStringLiteral("找不到评语文件！")});
    }

    void deleteAllNeedsTheCode() {
        TStoreSetup s(TCases{{"张三", "求财"}});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        msgs.answers = {true};
        shell.inputs = {"x"};
        QVERIFY(!DeleteAllCommand(s.m));
        QCOMPARE(msgs.log[0].caption, QStringLiteral("删除所有案例"));
        QVERIFY(
            QRegularExpression(QStringLiteral("^删除码：\\d{4} $")).match(shell.captions.last()).hasMatch());
        // The prompt shows the code too, above the question.
        QCOMPARE(shell.prompts.last(),
                 shell.captions.last().trimmed() + QStringLiteral("\n请输入删除码：      "));
        QCOMPARE(msgs.log.last().text, QStringLiteral("删除码错误，无法删除！"));
        QVERIFY(QFileInfo::exists(s.Db()));
        QCOMPARE(shell.ended, 0);

        msgs.answers = {true};
        shell.inputs = {"<code>"};
        QVERIFY(DeleteAllCommand(s.m));
        QCOMPARE(msgs.log.last().text, QStringLiteral("成功删除所有记录，请重新打开软件！"));
        QVERIFY(!QFileInfo::exists(s.Db()));
        QVERIFY(QDir(s.home + "Quadrelle_f").entryList({"*.rtf"}).isEmpty());
        QCOMPARE(shell.ended, 1);
    }

    void compaction() {
        TStoreSetup s(TCases{{"张三", "求财"}});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        QVERIFY(!CompactCommand(s.m));
        QCOMPARE(Texts(msgs), QStringList{QStringLiteral("案例数据过少，无需整理！")});

        s.store.BeginBatch();
        for (int i = 0; i < 520; ++i) {
            TRecordData r = Case("赵" + std::to_string(i), i % 2 ? "求财" : "婚姻", i % 60);
            s.store.AddCaseInBatch(r);
        }
        for (int id = 2; id <= 21; ++id) s.store.DeleteCaseInBatch(id);
        s.store.EndBatch();
        s.view.window()->setWindowTitle(QStringLiteral("标题"));
        msgs.answers = {true};
        QVERIFY(CompactCommand(s.m));
        QCOMPARE(msgs.log.last().text, QStringLiteral(" 501 个案例已经整理出来！"));
        QCOMPARE(s.view.toPlainText(), QStringLiteral("整理进度：100％"));
        QCOMPARE(s.view.windowTitle(), QStringLiteral("标题"));
        QCOMPARE(s.store.GetLastId(), 501);
        QCOMPARE(shell.ended, 1);
    }

    void exportChosenCategoriesThenImport() {
        TStoreSetup s(TCases{{"张三", "求财"}, {"李四", "婚姻"}, {"王五", "求财"}});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        QTemporaryDir out;
        shell.folders = {out.path()};
        QVERIFY(ExportChosen(s.m, {QStringLiteral("求财")}, false));
        QCOMPARE(shell.captions.last(), QStringLiteral("请选择存放位置："));
        const QStringList dbs = QDir(out.path()).entryList({"*.db"});
        QCOMPARE(dbs.size(), 1);
        const QString file = out.path() + '/' + dbs[0];
        QVERIFY(msgs.log.last().text.startsWith(QStringLiteral(" 2 个案例文件已经保存到：")));
        QCOMPARE(msgs.log.last().caption, QStringLiteral("打开文件夹"));
        QVERIFY(shell.opened.isEmpty());
        // The comment view has its comment back.
        QCOMPARE(s.view.toPlainText(), QStringLiteral("我的评语"));
        {
            MRecordBase e;
            QCOMPARE(e.OpenDatabase(file.toStdString(), s.home.toStdString(), false),
                     qd::TOpenResult::Opened);
            QCOMPARE(e.CountCases(), 2);
            std::vector<std::string> cats;
            e.GetCategories(cats);
            QCOMPARE(cats, std::vector<std::string>{"求财"});
        }

        shell.files = {s.home + "missing.db"};
        QVERIFY(!ImportCommand(s.m));
        QCOMPARE(msgs.log.last().text, QStringLiteral("不存在这个数据库文件，无法导入！"));
        shell.files = {file};
        QVERIFY(ImportCommand(s.m));
        QCOMPARE(shell.captions.last(), QStringLiteral("all.db (*.db)"));
        QCOMPARE(msgs.log.last().text, QStringLiteral("共导入 2 个案例！请重启软件！"));
        QCOMPARE(s.Cases(), 5);
        QCOMPARE(shell.ended, 1);
    }

    void failedImportGivesTheCommentViewBack() {
        TStoreSetup s(TCases{{"张三", "求财"}});
        QTemporaryDir out;
        const QString other = out.path() + "/other.db";
        {
            MRecordBase o;
            QCOMPARE(o.OpenDatabase(other.toStdString(), s.home.toStdString(), false),
                     qd::TOpenResult::Opened);
            TRecordData r = Case("李四", "婚姻");
            QVERIFY(o.AddCase(r) > 0);
        }
        // Every insert into the program-wide store is refused, after the
        // copy loop has shown "导入进度：0％" in the comment view.
        QVERIFY(Refuse(s.Db(), "before insert on case_data"));
        s.view.document()->setModified(true);
        TScriptedMessenger msgs;
        TScriptedShell shell;
        shell.files = {other};
        QVERIFY(!ImportCommand(s.m));
        QCOMPARE(shell.ended, 0);
        // The program runs on: a progress text left in the view would be
        // saved as the case's comment.
        QCOMPARE(s.view.toPlainText(), QStringLiteral("我的评语"));
        QVERIFY(s.view.document()->isModified());
        QCOMPARE(s.Cases(), 1);
    }

    void exportDialogTicks() {
        TScriptedMessenger msgs;
        TFrmExportClass dlg({QStringLiteral("求财"), QStringLiteral("婚姻")});
        QCOMPARE(dlg.Chosen(), (QStringList{QStringLiteral("求财"), QStringLiteral("婚姻")}));
        dlg.ChkAll->click();
        QVERIFY(dlg.Chosen().isEmpty());
        dlg.BtnOkClick();
        QCOMPARE(Texts(msgs), QStringList{QStringLiteral("没有选择要导出的类别！")});
        QVERIFY(dlg.result() != QDialog::Accepted);
        dlg.LstClass->item(1)->setCheckState(Qt::Checked);
        dlg.BtnOkClick();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Chosen(), QStringList{QStringLiteral("婚姻")});
    }

    void exportWithEveryCategoryTickedTakesUnlistedOnes() {
        TStoreSetup s(TCases{{"张三", "求财"}, {"李四", "婚姻"}, {"赵六", "旧类"}});
        s.store.SetCategories({"求财", "婚姻"});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        QTemporaryDir out;
        shell.folders = {out.path()};
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<TFrmExportClass*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            for (int i = 0; i < dlg->LstClass->count(); ++i) listed << dlg->LstClass->item(i)->text();
            dlg->BtnOk->click();
        });
        QVERIFY(ExportCommand(s.m));
        QCOMPARE(listed, (QStringList{"求财", "婚姻"}));
        QVERIFY(msgs.log.last().text.startsWith(QStringLiteral(" 3 个案例文件已经保存到：")));
    }

    void categoryEditorListsUnlistedCategoriesInGbkOrder() {
        TStoreSetup s(TCases{{"甲", "中"}, {"乙", "Zz"}, {"丙", "啊"}, {"丁", "aa"}, {"戊", "婚姻"}});
        s.store.SetCategories({"婚姻"});
        TScriptedMessenger msgs;
        TFrmEditClass dlg(s.store);
        // GBK puts 啊 (B0A1) before 中 (D6D0), unlike the code points.
        const QStringList order{"婚姻", "Zz", "aa", "啊", "中"};
        QCOMPARE(dlg.Names(), order);
        dlg.accept();
        std::vector<std::string> stored;
        s.store.GetCategories(stored);
        QCOMPARE(stored, (std::vector<std::string>{"婚姻", "Zz", "aa", "啊", "中"}));
    }

    void aRenameThatFailsPartWayKeepsTheFailedCasesOnly() {
        TStoreSetup s(TCases{{"张三", "求财"}, {"李四", "求财"}, {"王五", "求财"}, {"赵六", "婚姻"}});
        s.store.SetCategories({"求财", "婚姻"});
        // The store refuses to change case 2.
        QVERIFY(Refuse(s.Db(), "before update on case_data when old.id = 2"));
        TScriptedMessenger msgs;
        TScriptedShell shell;
        TFrmEditClass dlg(s.store);
        QVERIFY(!dlg.Changed());
        dlg.LstClass->setCurrentRow(0);
        msgs.answers = {true};
        shell.inputs = {"财运"};
        dlg.BtoRenameClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("求财：这个类别的案例没有修改完！"));
        QCOMPARE(dlg.Names(), (QStringList{"求财", "婚姻"}));
        QCOMPARE(dlg.Cases("求财"), std::vector<int>{2});
        QVERIFY(dlg.Cases("财运").empty());
        QVERIFY(!dlg.Changed());
        // The cases that did change are changed in the store.
        TRecordData r;
        QVERIFY(s.store.ReadCase(1, r));
        QCOMPARE(r.category, std::string("财运"));
        QVERIFY(s.store.ReadCase(2, r));
        QCOMPARE(r.category, std::string("求财"));
    }

    void categoryEditor() {
        TStoreSetup s(TCases{{"张三", "求财"}, {"李四", "婚姻"}, {"王五", "求财"}, {"赵六", "旧类"}});
        s.store.SetCategories({"临时保存", "求财", "婚姻"});
        TScriptedMessenger msgs;
        TScriptedShell shell;
        TFrmEditClass dlg(s.store);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("编辑类别（全部案例，共4个）"));
        QCOMPARE(dlg.Names(), (QStringList{"临时保存", "求财", "婚姻", "旧类"}));
        QCOMPARE(dlg.LstClass->item(1)->text(), QStringLiteral("求财          2 案例"));
        QVERIFY(dlg.Changed());  // 旧类 is missing from the stored list

        // Reordering.
        dlg.BtoUpClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("请先点击选择一个类别！"));
        dlg.LstClass->setCurrentRow(0);
        dlg.BtoUpClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("移动超出列表范围！"));
        dlg.BtoDownClick();
        QCOMPARE(dlg.Names().first(), QStringLiteral("求财"));
        QCOMPARE(dlg.LstClass->currentRow(), 1);

        // Adding, with the cleaning of names.
        const QString cleaned =
            QStringLiteral("类别名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。，已经处理为合适的文本！");
        const struct {
            QString typed, added;
            bool cleaned;
        } adds[] = {{"a/b:c", "abc", true},
                    {"", "甲", true},
                    {"一二三四五六七八九十百千", "一二三四五六七八九十", true},
                    {"ABC", "ABC", false}};
        for (const auto& a : adds) {
            msgs.log.clear();
            shell.inputs = {a.typed};
            dlg.BtoAddClick();
            QCOMPARE(shell.captions.last(), QStringLiteral("新类别"));
            QCOMPARE(msgs.log.first().text == cleaned, a.cleaned);
            QCOMPARE(msgs.log.last().text, QStringLiteral("新增完成！"));
            QCOMPARE(dlg.Names().last(), a.added);
        }
        shell.inputs = {"求财"};
        dlg.BtoAddClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("求财：这个类别已经存在，请另外起一个名称！"));

        // Renaming writes the cases at once.
        dlg.LstClass->setCurrentRow(0);
        msgs.answers = {true};
        shell.inputs = {"求财"};
        dlg.BtoRenameClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("类别名称没有改变，请输入新的名称！"));
        msgs.answers = {true};
        shell.inputs = {"财运"};
        dlg.BtoRenameClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("改名完成！"));
        QCOMPARE(dlg.Names().first(), QStringLiteral("财运"));
        TRecordData r;
        QVERIFY(s.store.ReadCase(1, r));
        QCOMPARE(r.category, std::string("财运"));

        // Moving 婚姻 (row 2): into itself and into a missing line are refused.
        dlg.LstClass->setCurrentRow(2);
        for (const char* t : {"婚姻", "不存在"}) {
            msgs.answers = {true};
            shell.inputs = {QString::fromUtf8(t)};
            dlg.BtoMoveClick();
        }
        QCOMPARE(msgs.log[msgs.log.size() - 3].text,
                 QStringLiteral("同组类别不能移动，请输入已经存在的其他类别名称！"));
        QCOMPARE(msgs.log.last().text,
                 QStringLiteral("请输入已经存在的类别名称，如果不存在可以先新建一个。"));
        msgs.answers = {true};
        shell.inputs = {"财运"};
        dlg.BtoMoveClick();
        QCOMPARE(msgs.log.last().text, QStringLiteral("移动完成！"));
        QCOMPARE(dlg.Cases("财运"), (std::vector<int>{1, 2, 3}));
        QVERIFY(dlg.Cases("婚姻").empty());

        // Deleting 旧类 deletes its case.
        dlg.LstClass->setCurrentRow(dlg.Names().indexOf("旧类"));
        msgs.answers = {true};
        dlg.BtoDelClick();
        QCOMPARE(msgs.log[msgs.log.size() - 2].text, QStringLiteral("确定要删除“旧类”这个类别吗？"));
        QCOMPARE(msgs.log.last().text, QStringLiteral("删除完成！"));
        QVERIFY(!s.store.ReadCase(4, r));

        dlg.accept();
        std::vector<std::string> stored;
        s.store.GetCategories(stored);
        std::vector<std::string> shown;
        for (const QString& n : dlg.Names()) shown.push_back(n.toStdString());
        QCOMPARE(stored, shown);
    }

    void mainWindowMenuRefusesAWrongCodeAndKeepsTheSettingsWhenItEnds() {
        QTemporaryDir dir;
        const QString home = NewAppFolder(dir);
        MRecordBase store;
        TScriptedMessenger msgs;
        TScriptedShell shell;
        TFrmMain w(home, &store);
        const TMainUi ui(w);
        w.show();
        for (QAction* a :
             {ui.mnuRestore, ui.mnuBackup, ui.mnuDeleteAll, ui.mnuCompact, ui.mnuImportDb, ui.mnuExportDb})
            QVERIFY(a->isEnabled());
        msgs.log.clear();
        msgs.answers = {true};
        shell.inputs = {"wrong"};
        ui.mnuDeleteAll->trigger();
        QCOMPARE(msgs.log.last().text, QStringLiteral("删除码错误，无法删除！"));
        QVERIFY(QFileInfo::exists(home + "dat/Quadrelle.db"));
        QVERIFY(!QFileInfo::exists(home + "dat/qdlinit.ini"));

        // A command that ends the program writes the window's settings first.
        w.Panel().SelectPlace(1, 2);
        w.CaseTree().SetDisplay(0, 3);
        msgs.answers = {true};
        shell.inputs = {"<code>"};
        ui.mnuDeleteAll->trigger();
        QCOMPARE(shell.ended, 1);
        CIniFile ini((home + "dat/qdlinit.ini").toStdString());
        QCOMPARE(ini.ReadInteger("winpos", "sheng", -1), 1);
        QCOMPARE(ini.ReadInteger("winpos", "shi", -1), 2);
        QCOMPARE(ini.ReadInteger("winpos", "treewid", -1), w.TreeWidth());
        QCOMPARE(ini.ReadInteger("tree", "showStyle", -1), 0);
        QCOMPARE(ini.ReadInteger("tree", "sort", -1), 3);
    }
};

QTEST_MAIN(TMaintenanceTest)
#include "tst_maintenance.moc"
