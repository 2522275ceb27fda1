// The File menu's commands over the case database and the comment folder as
// wholes: back up, restore, delete all, compact, import and export. Each is a
// short dialogue on the GUI thread around one store operation.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QTextEdit;
class QWidget;

namespace qd {

class MRecordBase;

// The shell services the commands need besides message boxes: the common
// dialogs, the one-line input prompt, opening a folder and ending the
// program. The tests replace them to supply answers.
class IShellServices {
public:
    virtual ~IShellServices() = default;
    // A folder chosen by the user (starting at the desktop), empty when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& caption) = 0;
    // A file chosen in an open-file dialog, empty when cancelled. `filter`
    // is in Qt's form ("all.db (*.db)").
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter) = 0;
    // A one-line input prompt starting with `value`; false when cancelled.
    virtual bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& value) = 0;
    // Shows a folder in the system's file browser.
    virtual void OpenFolder(const QString& folder) = 0;
    // Ends the program without the closing questions: the database or the
    // comment folder changed underneath the running program.
    virtual void EndProgram() = 0;
};

// The services in use (the real dialogs unless replaced); nullptr restores them.
IShellServices& Shell();
void SetShell(IShellServices* s);

// What a command works on: the program-wide store, the window that owns the
// dialogue (its caption shows progress), the view the progress texts go to
// and the busy mark of the background loading.
struct TMaintenance {
    QWidget* window = nullptr;
    MRecordBase* store = nullptr;
    QTextEdit* progressView = nullptr;
    bool loadingRuns = false;
};

// Each answers whether the store operation ran and succeeded.
bool BackupCommand(const TMaintenance& m);
bool RestoreCommand(const TMaintenance& m);
bool DeleteAllCommand(const TMaintenance& m);
bool CompactCommand(const TMaintenance& m);
bool ImportCommand(const TMaintenance& m);
bool ExportCommand(const TMaintenance& m);
// The export's steps after the category choice.
bool ExportChosen(const TMaintenance& m, const QStringList& categories, bool allCategories);

// Four decimal digits for the delete-all confirmation.
QString DrawDeleteCode();

}  // namespace qd
