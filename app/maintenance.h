// SPDX-License-Identifier: GPL-3.0-or-later
// The File menu's commands over the case database and the comment folder as
// wholes: back up, restore, delete all, compact, import and export. Each is a
// short dialogue on the GUI thread around one store operation.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "app/shell.h"

class QTextEdit;
class QWidget;

namespace qd {

class CCaseFolderLock;
class MRecordBase;

// What a command works on: the program-wide store, the window that owns the
// dialogue (its caption shows progress), the view the progress texts go to,
// the busy mark of the background loading, and the window's lock on the
// case folder (none in a program that holds no lock). A command that ends
// the program first runs `beforeEnd`: the window's settings outlive the data.
struct TMaintenance {
    QWidget* window = nullptr;
    MRecordBase* store = nullptr;
    QTextEdit* progressView = nullptr;
    bool loadingRuns = false;
    CCaseFolderLock* lock = nullptr;
    std::function<void()> beforeEnd;
};

// Each answers whether the store operation ran and succeeded.
bool BackupCommand(const TMaintenance& m);
bool RestoreCommand(const TMaintenance& m);
bool DeleteAllCommand(const TMaintenance& m);
bool CompactCommand(const TMaintenance& m);
bool ImportCommand(const TMaintenance& m);
bool ExportCommand(const TMaintenance& m);
// The restore's steps once the user agreed and chose `folder`: a backup
// without save.txt is used only after a second question; a successful
// restore ends the program.
bool RestoreFromFolder(const TMaintenance& m, const QString& folder);
// The database was found damaged: says so and, when there is an automatic
// backup, offers to restore the newest one (No changes nothing).
bool OfferRestoreOfDamaged(const TMaintenance& m);
// The export's steps after the category choice.
bool ExportChosen(const TMaintenance& m, const QStringList& categories, bool allCategories);

// Four decimal digits for the delete-all confirmation.
QString DrawDeleteCode();

}  // namespace qd
