// SPDX-License-Identifier: GPL-3.0-or-later
// TCaseFolderGuard: what keeps the window's case folder from losing a case.
//
// - It holds the folder for writing for the whole run (store/folder_lock.h)
//   and attaches that lock to the program-wide store. A second start on the
//   same folder is refused before it opens the store, and another program's
//   compaction or restore is refused while the window runs: either would
//   renumber or replace the cases under the window's tree.
// - After the window shows, a thread runs SQLite's quick check with a store
//   of its own (60-80 ms at 100 000 cases, too long for the start-up). A
//   damaged file is checked again on the window's store, which from then on
//   refuses every write, and `damagedFound` is emitted.
// - At close it writes the automatic backup, at most once a day, keeping the
//   newest ones; a progress dialog shows when that takes over a second.
//
// The other readers of this process (the full loading, the searches) open
// stores of their own and take no lock: the folder lock is per open file
// description, so a second CCaseFolderLock in this process would conflict
// with the window's like another program's. Reading needs none, as the
// window's lock covers the folder for the whole process.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "store/auto_backup.h"

class QThread;
class QWidget;

namespace qd {

class CCaseFolderLock;
class MRecordBase;

class TCaseFolderGuard : public QObject {
    Q_OBJECT
public:
    // `appFolder` ends with '/'; `store` may be null (no case file: nothing
    // to guard). Messages go to `window`, which owns the guard.
    TCaseFolderGuard(const QString& appFolder, MRecordBase* store, QWidget* window);
    // Waits for a running check and detaches the lock from the store.
    ~TCaseFolderGuard() override;

    // Takes the case folder for writing before the store is opened. When
    // another program holds it: says so, ends the program and answers false;
    // the store must then not be opened.
    bool TakeFolder();
    // True after TakeFolder was refused: the window closes without asking
    // and writes nothing.
    bool Refused() const { return refused_; }
    // The window's lock; null without a store or after a refusal.
    CCaseFolderLock* Lock() const { return lock_.get(); }

    // Starts the integrity check of the opened database on its own thread.
    void StartIntegrityCheck();
    // Waits for a running check (the commands that replace the database,
    // the close).
    void WaitForCheck();

    // The automatic backup at close into backups/ of the application folder,
    // keeping the newest `keep` (0: off). A failure is shown; a damaged
    // database is never backed up.
    TAutoBackupResult BackupAtClose(int keep);
    // "打开自动备份文件夹": the folder in the system's file browser, or a
    // message naming it when there is none yet or no viewer opened it.
    void OpenBackupFolder();

signals:
    // The window's store found its database damaged.
    void damagedFound();
    // The check has ended (after `damagedFound`, when it was emitted).
    void integrityChecked(bool damaged);

private:
    void CheckAnswered();

    QString appFolder_;
    MRecordBase* store_;
    QWidget* window_;
    std::unique_ptr<CCaseFolderLock> lock_;
    bool refused_ = false;
    QThread* check_ = nullptr;
    std::atomic<bool> checkFoundDamage_{false};
};

}  // namespace qd
