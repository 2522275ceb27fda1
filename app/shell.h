// SPDX-License-Identifier: GPL-3.0-or-later
// The shell services the commands need besides message boxes: the common
// dialogs, the one-line input prompt, opening a folder and ending the
// program. The tests replace them to supply answers.
#pragma once

#include <QString>

#include "app/winconfig.h"

class QWidget;

namespace qd {

class CIniFile;

class IShellServices {
public:
    virtual ~IShellServices() = default;
    // A folder chosen by the user (starting at the desktop), empty when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& caption) = 0;
    // A file chosen in an open-file dialog, empty when cancelled. `filter`
    // is in Qt's form ("all.db (*.db)").
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter) = 0;
    // A one-line input prompt starting with `value`; false when cancelled.
    virtual bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                            QString& value) = 0;
    // Shows a folder in the system's file browser; false when no viewer
    // took it (the caller then names the folder in a message).
    virtual bool OpenFolder(const QString& folder) = 0;
    // Opens a document with the system's viewer for its type; false when
    // no viewer could be started.
    virtual bool OpenDocument(const QString& path);
    // The two choices starting in `start` (empty: where they start anyway).
    virtual QString ChooseFolderIn(QWidget* parent, const QString& caption, const QString& start);
    virtual QString ChooseOpenFileIn(QWidget* parent, const QString& filter, const QString& start);
    // Ends the program without the closing questions: the database or the
    // comment folder changed underneath the running program, or another
    // program holds the case folder. Also before the event loop has started
    // (a refusal in the show step): the end takes effect once it runs.
    virtual void EndProgram() = 0;
};

// The services in use (the real dialogs unless replaced); nullptr restores them.
IShellServices& Shell();
void SetShell(IShellServices* s);

// Where the file dialogs of each kind start: the folder last chosen for that
// kind, kept in the configuration the window hands over while it is open
// (none: nothing is kept).
void SetFolderMemory(CIniFile* ini);
CIniFile* FolderMemory();
// The kept folder when it still exists, else empty.
QString LastFolder(TFileKind kind);
void RememberFolder(TFileKind kind, const QString& folder);
// The choices of the shell starting in the kind's last folder; a chosen
// folder, or a chosen file's folder, becomes the kind's last folder.
QString ChooseFolder(TFileKind kind, QWidget* parent, const QString& caption);
QString ChooseOpenFile(TFileKind kind, QWidget* parent, const QString& filter);

}  // namespace qd
