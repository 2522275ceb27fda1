// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QStandardPaths>
#include <QUrl>

namespace qd {

namespace {

class CQtShell : public IShellServices {
public:
    QString ChooseFolder(QWidget* parent, const QString& caption) override {
        return ChooseFolderIn(parent, caption, QString());
    }
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override {
        return ChooseOpenFileIn(parent, filter, QString());
    }
    QString ChooseFolderIn(QWidget* parent, const QString& caption, const QString& start) override {
        return QFileDialog::getExistingDirectory(
            parent, caption,
            start.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) : start);
    }
    QString ChooseOpenFileIn(QWidget* parent, const QString& filter, const QString& start) override {
        return QFileDialog::getOpenFileName(parent, QString(), start, filter);
    }
    bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& value) override {
        bool ok = false;
        const QString t = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
        if (ok) value = t;
        return ok;
    }
    bool OpenFolder(const QString& folder) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
    // No closing questions and no configuration write-back: the files the
    // window would save against are gone or replaced. Queued, because an
    // exit() before the event loop runs is forgotten when it starts.
    void EndProgram() override {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    }
};

CQtShell g_qtShell;
IShellServices* g_shell = &g_qtShell;
CIniFile* g_folders = nullptr;

}  // namespace

QString IShellServices::ChooseFolderIn(QWidget* parent, const QString& caption, const QString&) {
    return ChooseFolder(parent, caption);
}

QString IShellServices::ChooseOpenFileIn(QWidget* parent, const QString& filter, const QString&) {
    return ChooseOpenFile(parent, filter);
}

bool IShellServices::OpenDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

IShellServices& Shell() { return *g_shell; }
void SetShell(IShellServices* s) { g_shell = s ? s : &g_qtShell; }

void SetFolderMemory(CIniFile* ini) { g_folders = ini; }
CIniFile* FolderMemory() { return g_folders; }

QString LastFolder(TFileKind kind) {
    if (!g_folders) return QString();
    const QString folder = QString::fromStdString(ReadLastFolder(*g_folders, kind));
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberFolder(TFileKind kind, const QString& folder) {
    if (g_folders && !folder.isEmpty())
        WriteLastFolder(*g_folders, kind, QDir::cleanPath(folder).toStdString());
}

QString ChooseFolder(TFileKind kind, QWidget* parent, const QString& caption) {
    const QString folder = Shell().ChooseFolderIn(parent, caption, LastFolder(kind));
    RememberFolder(kind, folder);
    return folder;
}

QString ChooseOpenFile(TFileKind kind, QWidget* parent, const QString& filter) {
    const QString file = Shell().ChooseOpenFileIn(parent, filter, LastFolder(kind));
    if (!file.isEmpty()) RememberFolder(kind, QFileInfo(file).absolutePath());
    return file;
}

}  // namespace qd
