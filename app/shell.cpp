#include "app/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QStandardPaths>
#include <QUrl>

namespace qd {

namespace {

class CQtShell : public IShellServices {
public:
    QString ChooseFolder(QWidget* parent, const QString& caption) override {
        return QFileDialog::getExistingDirectory(
            parent, caption, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    }
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    }
    bool InputQuery(QWidget* parent, const QString& caption, const QString& prompt, QString& value) override {
        bool ok = false;
        const QString t = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
        if (ok) value = t;
        return ok;
    }
    void OpenFolder(const QString& folder) override { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }
    // No closing questions and no configuration write-back: the files the
    // window would save against are gone or replaced.
    void EndProgram() override { QCoreApplication::exit(0); }
};

CQtShell g_qtShell;
IShellServices* g_shell = &g_qtShell;

}  // namespace

bool IShellServices::OpenDocument(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

IShellServices& Shell() { return *g_shell; }
void SetShell(IShellServices* s) { g_shell = s ? s : &g_qtShell; }

}  // namespace qd
