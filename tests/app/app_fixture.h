// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the desktop program's tests: a messenger that records
// every message and answers questions from a script, and a scratch
// application folder.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include "app/messages.h"
#include "app/shell.h"
#include "engine/request.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTextEdit;
class QToolButton;
class QTreeView;
class QWidget;

namespace qd {
class TUpDown;
}

namespace qdtest {

class TScriptedMessenger : public qd::IMessenger {
public:
    struct TMsg {
        QString text, caption;
        qd::TMsgIcon icon = qd::TMsgIcon::None;
        bool question = false;
    };
    TScriptedMessenger() { qd::SetMessenger(this); }
    ~TScriptedMessenger() override { qd::SetMessenger(nullptr); }

    void Notice(QWidget*, const QString& text) override {
        log.append({text, QString(), qd::TMsgIcon::None, false});
    }
    qd::TMsgAnswer Box(QWidget*, const QString& text, const QString& caption, qd::TMsgIcon icon,
                       qd::TMsgButtons buttons) override {
        log.append({text, caption, icon, buttons != qd::TMsgButtons::Ok});
        if (buttons == qd::TMsgButtons::Ok) return qd::TMsgAnswer::Ok;
        // An unscripted question takes the default, No.
        if (buttons == qd::TMsgButtons::YesNoCancel)
            return choices.isEmpty() ? qd::TMsgAnswer::No : choices.takeFirst();
        const bool yes = !answers.isEmpty() && answers.takeFirst();
        return yes ? qd::TMsgAnswer::Yes : qd::TMsgAnswer::No;
    }
    bool Has(const QString& text) const {
        for (const TMsg& m : log)
            if (m.text == text) return true;
        return false;
    }
    const TMsg* Find(const QString& text) const {
        for (const TMsg& m : log)
            if (m.text == text) return &m;
        return nullptr;
    }

    QList<TMsg> log;
    // Answers to Yes/No questions, and to Yes/No/Cancel ones.
    QList<bool> answers;
    QList<qd::TMsgAnswer> choices;
};

// Answers folder and file choices and input prompts from queues; an empty
// queue cancels. An input answer "<code>" types back the delete code shown
// in the prompt's caption. Folders are "opened" while `viewerWorks`.
class TScriptedShell : public qd::IShellServices {
public:
    TScriptedShell() { qd::SetShell(this); }
    ~TScriptedShell() override { qd::SetShell(nullptr); }
    QString ChooseFolder(QWidget*, const QString& caption) override {
        captions << caption;
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    QString ChooseOpenFile(QWidget*, const QString& filter) override {
        captions << filter;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString ChooseFolderIn(QWidget* parent, const QString& caption, const QString& start) override {
        starts << start;
        return ChooseFolder(parent, caption);
    }
    QString ChooseOpenFileIn(QWidget* parent, const QString& filter, const QString& start) override {
        starts << start;
        return ChooseOpenFile(parent, filter);
    }
    bool InputQuery(QWidget*, const QString& caption, const QString& prompt, QString& value) override {
        captions << caption;
        prompts << prompt;
        if (inputs.isEmpty()) return false;
        const QString a = inputs.takeFirst();
        value = a == "<code>" ? caption.mid(4, 4) : a;
        return true;
    }
    bool OpenFolder(const QString& f) override {
        opened << f;
        return viewerWorks;
    }
    void EndProgram() override { ++ended; }

    QStringList folders, files, inputs, captions, prompts, opened, starts;
    bool viewerWorks = true;
    int ended = 0;
};

// The child of `root` with the object name `name`; a missing one ends the
// test program, as every later step would fail on it.
template <class T>
T* Find(const QObject& root, const char* name) {
    T* c = root.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

// The main window's controls, found by their component names.
struct TMainUi {
    TMainUi() = default;
    explicit TMainUi(const QWidget& window);

    QLineEdit *EdtYear = nullptr, *EdtName = nullptr, *EdtEvent = nullptr;
    qd::TUpDown* UpYear = nullptr;
    QComboBox *CboM = nullptr, *CboD = nullptr, *CboH = nullptr, *CboMinute = nullptr;
    QComboBox *CboProv = nullptr, *CboCity = nullptr, *CboGuiShen = nullptr, *CboDiFen = nullptr,
              *CboSelJiang = nullptr;
    QRadioButton *RdoGong = nullptr, *RdoNong = nullptr;
    QCheckBox* ChkRun = nullptr;
    QToolButton* SbtoSave = nullptr;
    QTreeView* Tree = nullptr;
    QTextEdit *RedtVelmark = nullptr, *RedtPingYu = nullptr;
    QMenu *Opt_Skin = nullptr, *PopRdtqdl = nullptr, *PopPingYu = nullptr, *PopGuaLi = nullptr,
          *MnuShowStyle = nullptr, *MnuMoveTo = nullptr;
    QAction *mnuSave = nullptr, *mnuCalendar = nullptr, *mnuDefault = nullptr;
    QAction *mnuRestore = nullptr, *mnuBackup = nullptr, *mnuDeleteAll = nullptr, *mnuCompact = nullptr,
            *mnuImportDb = nullptr, *mnuExportDb = nullptr;
    QAction *mnuFuzzySearch = nullptr, *mnuSearch = nullptr;
};

// A case cast at the given civil moment, asking "问事" at "未知地", with the
// comment file base <name>_f.
qd::TRecordData CaseRecord(const std::string& name, int y, int mo, int d, int h, int mi,
                           const std::string& category);

// A fresh application folder ending in '/' with dat/ (holding the shipped
// places file when `places`) and, when `skins`, the shipped skins.
QString NewAppFolder(const QTemporaryDir& dir, bool places = true, bool skins = false);
QString ReadFileText(const QString& path);
void WriteFileText(const QString& path, const QByteArray& bytes);

}  // namespace qdtest
