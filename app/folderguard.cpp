// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/folderguard.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <ctime>

#include "app/messages.h"
#include "app/shell.h"
#include "store/folder_lock.h"
#include "store/record_base.h"

namespace qd {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

std::tm LocalNow() {
    const std::time_t t = std::time(nullptr);
    std::tm now{};
    localtime_r(&t, &now);
    return now;
}

// True when the database at `path` is damaged. Reads through a store of
// this thread's own, opened for reading only; a file that cannot be read at
// all is no damage found here (the opening at start has reported it).
bool FoundDamage(const std::string& path, const std::string& appFolder) {
    MRecordBase own;
    switch (own.OpenExisting(path, appFolder, false)) {
        case TDatabaseCheck::Damaged: return true;
        case TDatabaseCheck::Usable: return !own.CheckIntegrity() && own.IsDamaged();
        default: return false;
    }
}

}  // namespace

TCaseFolderGuard::TCaseFolderGuard(const QString& appFolder, MRecordBase* store, QWidget* window)
    : QObject(window), appFolder_(appFolder), store_(store), window_(window) {}

TCaseFolderGuard::~TCaseFolderGuard() {
    WaitForCheck();
    delete check_;
    if (store_ && lock_) store_->UseFolderLock(nullptr);
}

bool TCaseFolderGuard::TakeFolder() {
    if (!store_ || lock_) return true;
    lock_ = std::make_unique<CCaseFolderLock>(S(appFolder_));
    if (lock_->TryLock(TFolderLockMode::Write)) {
        store_->UseFolderLock(lock_.get());
        return true;
    }
    refused_ = true;
    const bool inUse = lock_->ErrorText() == kFolderInUseText;
    QString text = Q(lock_->ErrorText()) + QStringLiteral("\n\n") + QDir::toNativeSeparators(appFolder_) +
                   QStringLiteral("\n\n");
    if (inUse)
        text += QStringLiteral(
            "这个文件夹的案例已经在另一个澜川霁岚术窗口或qdl命令中打开。"
            "请先关闭它，再重新打开软件。");
    text += QStringLiteral("软件现在退出。");
    lock_.reset();
    ShowBox(window_, text, QStringLiteral("错误"), TMsgIcon::Error);
    Shell().EndProgram();
    return false;
}

void TCaseFolderGuard::StartIntegrityCheck() {
    if (!store_ || refused_ || check_) return;
    const std::string path = store_->DatabasePath();
    const std::string folder = store_->AppFolder();
    check_ = QThread::create([this, path, folder] {
        checkFoundDamage_ = FoundDamage(path, folder);
        QMetaObject::invokeMethod(this, &TCaseFolderGuard::CheckAnswered, Qt::QueuedConnection);
    });
    check_->start();
}

void TCaseFolderGuard::WaitForCheck() {
    if (check_) check_->wait();
}

void TCaseFolderGuard::CheckAnswered() {
    WaitForCheck();
    bool damaged = false;
    // The window's store checks for itself: that marks it damaged, so it
    // refuses every write, and a passing doubt of the thread is no alarm.
    if (checkFoundDamage_ && store_) damaged = !store_->CheckIntegrity() && store_->IsDamaged();
    if (damaged) emit damagedFound();
    emit integrityChecked(damaged);
}

TAutoBackupResult TCaseFolderGuard::BackupAtClose(int keep) {
    if (!store_ || refused_ || keep <= 0) return TAutoBackupResult::Off;
    WaitForCheck();
    // The user has been told; a backup of a damaged file would be refused
    // anyway, after creating the backup folder for nothing.
    if (checkFoundDamage_ || store_->IsDamaged()) return TAutoBackupResult::Failed;

    // The copy runs on a thread with a store of its own, so that the
    // progress dialog paints; the window's store stays on this thread.
    const std::string path = store_->DatabasePath();
    const std::string folder = store_->AppFolder();
    const std::tm now = LocalNow();
    TAutoBackupResult result = TAutoBackupResult::Failed;
    std::string error;
    QEventLoop loop;
    QThread* run = QThread::create([&] {
        MRecordBase own;
        if (own.OpenExisting(path, folder, false) != TDatabaseCheck::Usable) {
            error = own.LastError();
            return;
        }
        result = own.AutoBackup(keep, now);
        if (result == TAutoBackupResult::Failed) error = own.LastError();
    });
    connect(run, &QThread::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress(QStringLiteral("正在自动备份案例数据，请稍候……"), QString(), 0, 0, window_);
    progress.setWindowTitle(QStringLiteral("自动备份"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(1000);
    progress.setValue(0);
    run->start();
    // finished reaches the loop queued, so an early end is not missed.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    run->wait();
    delete run;
    progress.reset();
    if (result == TAutoBackupResult::Failed)
        ShowBox(window_, QStringLiteral("自动备份没有完成：") + Q(error), QStringLiteral("自动备份"),
                TMsgIcon::Warning);
    return result;
}

void TCaseFolderGuard::OpenBackupFolder() {
    const QString folder = Q(AutoBackupFolderOf(S(appFolder_)));
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir()) {
        ShowBox(window_, QStringLiteral("还没有自动备份。关闭软件时每天自动备份一次，保存在：\n") + shown,
                QStringLiteral("自动备份"), TMsgIcon::Information);
        return;
    }
    if (!Shell().OpenFolder(folder))
        ShowBox(window_, QStringLiteral("无法打开文件夹。自动备份保存在：\n") + shown,
                QStringLiteral("自动备份"), TMsgIcon::Information);
}

}  // namespace qd
