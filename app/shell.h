// The shell services the commands need besides message boxes: the common
// dialogs, the one-line input prompt, opening a folder and ending the
// program. The tests replace them to supply answers.
#pragma once

#include <QString>

class QWidget;

namespace qd {

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
    // Opens a document with the system's viewer for its type; false when
    // no viewer could be started.
    virtual bool OpenDocument(const QString& path);
    // Ends the program without the closing questions: the database or the
    // comment folder changed underneath the running program.
    virtual void EndProgram() = 0;
};

// The services in use (the real dialogs unless replaced); nullptr restores them.
IShellServices& Shell();
void SetShell(IShellServices* s);

}  // namespace qd
