// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/maintenance.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTextEdit>
#include <ctime>

#include "app/frmeditclass.h"
#include "app/messages.h"
#include "store/record_base.h"

namespace qd {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QString WithSlash(QString folder) {
    if (!folder.endsWith('/') && !folder.endsWith('\\')) folder += '/';
    return folder;
}

std::tm LocalNow() {
    const QDateTime now = QDateTime::currentDateTime();
    std::tm t{};
    t.tm_year = now.date().year() - 1900;
    t.tm_mon = now.date().month() - 1;
    t.tm_mday = now.date().day();
    t.tm_hour = now.time().hour();
    t.tm_min = now.time().minute();
    t.tm_sec = now.time().second();
    return t;
}

// Progress goes to the progress view and the window's caption, with the
// pending window messages let through so that both repaint.
class CProgressShow {
public:
    explicit CProgressShow(const TMaintenance& m) : m_(m) {
        if (m_.window) title_ = m_.window->windowTitle();
        if (m_.progressView) {
            html_ = m_.progressView->toHtml();
            modified_ = m_.progressView->document()->isModified();
        }
    }
    // When the program runs on, the comment view gets its comment back: a
    // progress text left there would be saved over the case's comment.
    void RestoreView() {
        if (!m_.progressView) return;
        m_.progressView->setHtml(html_);
        m_.progressView->document()->setModified(modified_);
    }
    ~CProgressShow() {
        if (m_.window) m_.window->setWindowTitle(title_);
    }
    TProgress Callback() const {
        return [this](const std::string& text) {
            if (m_.progressView) m_.progressView->setPlainText(Q(text));
            if (m_.window) m_.window->setWindowTitle(Q(text));
            QCoreApplication::processEvents();
        };
    }

private:
    const TMaintenance& m_;
    QString title_;
    QString html_;
    bool modified_ = false;
};

// Replacing or renumbering the cases needs the case folder to itself: the
// window's lock grows to Exclusive for the store operation and returns to
// its mode afterwards. When another program holds the folder the change is
// refused, the old mode stays, and the store refuses with kFolderInUseText.
class CExclusiveUse {
public:
    explicit CExclusiveUse(CCaseFolderLock* lock) : lock_(lock) {
        if (!lock_) return;
        before_ = lock_->Mode();
        lock_->TryLock(TFolderLockMode::Exclusive);
    }
    ~CExclusiveUse() {
        if (lock_) lock_->TryLock(before_);
    }
    CExclusiveUse(const CExclusiveUse&) = delete;
    CExclusiveUse& operator=(const CExclusiveUse&) = delete;

private:
    CCaseFolderLock* lock_;
    TFolderLockMode before_ = TFolderLockMode::None;
};

// The commands must not run while the background loading uses the store.
bool Refuse(const TMaintenance& m) {
    if (!m.store) return true;
    if (m.loadingRuns) {
        Notice(m.window, QString::fromUtf8(kLoadingBusyText));
        return true;
    }
    return false;
}

// The database or the comment folder changed underneath the running
// program: it ends, keeping the window's settings.
void EndProgram(const TMaintenance& m) {
    if (m.beforeEnd) m.beforeEnd();
    Shell().EndProgram();
}

}  // namespace

QString DrawDeleteCode() {
    QString code;
    for (int i = 0; i < 4; ++i) code += QChar('0' + QRandomGenerator::global()->bounded(10));
    return code;
}

bool BackupCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    QString folder = ChooseFolder(TFileKind::Backup, m.window, QStringLiteral("请选择备份位置："));
    if (folder.isEmpty()) return false;
    const QString target = Q(BackupFolderName(S(WithSlash(folder)), LocalNow()));
    if (QFileInfo::exists(target)) {
        Notice(m.window, QStringLiteral("当前时间的文件夹已经存在，请稍后再备份！"));
        return false;
    }
    QDir().mkpath(target);
    // A backup that missed a file must not be reported as a success.
    if (!m.store->BackupTo(S(target), m.loadingRuns)) {
        Notice(m.window, Q(m.store->LastError()));
        return false;
    }
    Notice(m.window, QStringLiteral("成功备份，已保存到") + QDir::toNativeSeparators(target) +
                         QStringLiteral("目录下"));
    return true;
}

bool RestoreCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    if (!AskYes(m.window, QStringLiteral("执行此操作将覆盖现有的案例数据，要继续吗？"),
                QStringLiteral("注意了"), TMsgIcon::Warning))
        return false;
    QString folder = ChooseFolder(TFileKind::Backup, m.window, QStringLiteral("请选择要还原的数据位置："));
    if (folder.isEmpty()) return false;
    folder = WithSlash(folder);
    if (!QFileInfo::exists(folder + "Quadrelle.db")) {
        Notice(m.window, QStringLiteral("没有要还原的的db数据文件！"));
        return false;
    }
    if (!QFileInfo(folder + "Quadrelle_f").isDir()) {
        Notice(m.window, QStringLiteral("没有要还原的评语文件夹！"));
        return false;
    }
    // A backup lies beside the others: the next choice starts among them.
    RememberFolder(TFileKind::Backup, QFileInfo(folder + "..").absoluteFilePath());
    return RestoreFromFolder(m, folder);
}

bool RestoreFromFolder(const TMaintenance& m, const QString& folder) {
    // save.txt is written last: without it the backup stopped half-way and
    // may lack comment files.
    const bool incomplete = !IsCompleteBackup(S(folder));
    if (incomplete &&
        !AskYes(m.window,
                QStringLiteral("这个备份不完整（没有save.txt，备份时可能被中断），其中的评语文件可能不全。\n"
                               "仍要用它覆盖现有的案例数据吗？"),
                QStringLiteral("注意了"), TMsgIcon::Warning))
        return false;
    // RestoreFrom replaces the old data only after all its checks, so a
    // failed restore keeps it.
    bool restored = false;
    {
        CExclusiveUse exclusive(m.lock);
        restored = m.store->RestoreFrom(S(folder), m.loadingRuns, incomplete);
    }
    if (!restored) {
        Notice(m.window, Q(m.store->LastError()));
        return false;
    }
    Notice(m.window, QStringLiteral("成功还原，请重新打开软件！"));
    EndProgram(m);
    return true;
}

bool OfferRestoreOfDamaged(const TMaintenance& m) {
    if (!m.store) return false;
    const QString backup = Q(NewestAutoBackup(m.store->AppFolder()));
    if (backup.isEmpty()) {
        ShowBox(m.window, QString::fromUtf8(kDamagedText), QStringLiteral("错误"), TMsgIcon::Error);
        return false;
    }
    const QString name = QDir(backup).dirName();
    if (!AskYes(m.window,
                QString::fromUtf8(kDamagedText) + QStringLiteral("\n\n最新的自动备份是“%1”。\n"
                                                                 "要用它覆盖现有的案例数据和评语文件吗？")
                                                      .arg(name),
                QStringLiteral("案例数据库已损坏"), TMsgIcon::Warning))
        return false;
    return RestoreFromFolder(m, backup);
}

bool DeleteAllCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    if (!AskYes(m.window, QStringLiteral("确定要删除所有案例吗？"), QStringLiteral("删除所有案例"),
                TMsgIcon::Warning))
        return false;
    const QString code = DrawDeleteCode();
    QString typed;
    // The code stands in the prompt as well: some window managers shorten or
    // hide a dialog's caption.
    const QString caption = QStringLiteral("删除码：%1 ").arg(code);
    if (!Shell().InputQuery(m.window, caption,
                            caption.trimmed() + '\n' + QStringLiteral("请输入删除码：      "), typed))
        return false;
    if (typed != code) {
        Notice(m.window, QStringLiteral("删除码错误，无法删除！"));
        return false;
    }
    bool deleted = false;
    {
        CExclusiveUse exclusive(m.lock);
        deleted = m.store->DeleteAllData(m.loadingRuns);
    }
    if (!deleted) {
        Notice(m.window, Q(m.store->LastError()));
        return false;
    }
    Notice(m.window, QStringLiteral("成功删除所有记录，请重新打开软件！"));
    EndProgram(m);
    return true;
}

bool CompactCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    const int before = m.store->GetLastId();
    if (before < 500) {
        Notice(m.window, QStringLiteral("案例数据过少，无需整理！"));
        return false;
    }
    if (!AskYes(m.window,
                QStringLiteral(
                    "只有数据库案例较多，并且经过频繁删除、改名等操作，才需要整理数据。确定要整理吗？"),
                QStringLiteral("整理数据"), TMsgIcon::Warning))
        return false;
    int n = 0;
    bool changed = false;
    {
        CProgressShow show(m);
        CExclusiveUse exclusive(m.lock);
        n = m.store->CompactDatabase(show.Callback(), m.loadingRuns);
        // A store without cases compacts to an empty database: that too changed it.
        changed = n > 0 || m.store->GetLastId() != before;
        if (!changed) show.RestoreView();
    }
    if (n > 0 || changed)
        Notice(m.window, QStringLiteral(" %1 个案例已经整理出来！").arg(n));
    else
        Notice(m.window, Q(m.store->LastError()));
    // A failed compaction leaves the database as it was; the program can go on.
    if (changed) EndProgram(m);
    return changed;
}

bool ImportCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    const QString path = ChooseOpenFile(TFileKind::CaseDatabase, m.window, QStringLiteral("all.db (*.db)"));
    if (path.isEmpty()) return false;
    if (!QFileInfo::exists(path)) {
        Notice(m.window, QStringLiteral("不存在这个数据库文件，无法导入！"));
        return false;
    }
    int n = 0;
    {
        CProgressShow show(m);
        n = m.store->ImportDatabase(S(path), show.Callback(), m.loadingRuns);
        if (n <= 0) show.RestoreView();
    }
    if (n <= 0) {
        Notice(m.window, Q(m.store->LastError()));
        return false;
    }
    Notice(m.window, QStringLiteral("共导入 %1 个案例！").arg(n) + QStringLiteral("请重启软件！"));
    EndProgram(m);
    return true;
}

bool ExportChosen(const TMaintenance& m, const QStringList& categories, bool all) {
    if (Refuse(m)) return false;
    QString folder = ChooseFolder(TFileKind::CaseDatabase, m.window, QStringLiteral("请选择存放位置："));
    if (folder.isEmpty()) return false;
    const QString file = Q(ExportFileName(S(WithSlash(folder)), LocalNow()));
    if (QFileInfo::exists(file)) {
        Notice(m.window, QStringLiteral("当前时间的数据库文件已经存在，请稍后再导出！"));
        return false;
    }
    std::vector<std::string> chosen;
    for (const QString& c : categories) chosen.push_back(S(c));
    int n = 0;
    {
        // The program runs on after an export: the comment view gets its
        // comment back once the progress is over.
        QString html;
        bool modified = false;
        if (m.progressView) {
            html = m.progressView->toHtml();
            modified = m.progressView->document()->isModified();
        }
        CProgressShow show(m);
        n = m.store->ExportDatabase(S(file), chosen, all, show.Callback(), m.loadingRuns);
        if (m.progressView) {
            m.progressView->setHtml(html);
            m.progressView->document()->setModified(modified);
        }
    }
    if (n <= 0) {
        Notice(m.window,
               QStringLiteral("没有可以导出的案例，或者无法创建导出数据库，导出失败，请重启软件再次试试！"));
        return false;
    }
    const QString shown = QDir::toNativeSeparators(file);
    if (AskYes(m.window,
               QStringLiteral(" %1 个案例文件已经保存到：%2，要打开所在文件夹吗？").arg(n).arg(shown),
               QStringLiteral("打开文件夹"), TMsgIcon::Information))
        Shell().OpenFolder(QFileInfo(file).absolutePath());
    return true;
}

bool ExportCommand(const TMaintenance& m) {
    if (Refuse(m)) return false;
    std::vector<std::string> list;
    m.store->GetCategories(list);
    QStringList categories;
    for (const std::string& c : list) categories << Q(c);
    QStringList chosen;
    bool all = false;
    {
        TFrmExportClass dlg(categories, m.window);
        if (dlg.exec() != QDialog::Accepted) return false;
        chosen = dlg.Chosen();
        all = chosen.size() == dlg.Count();
    }
    return ExportChosen(m, chosen, all);
}

}  // namespace qd
