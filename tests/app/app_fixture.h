// Shared pieces of the desktop program's tests: a messenger that records
// every message and answers questions from a script, and a scratch
// application folder.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include "app/messages.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTextEdit;
class QToolButton;
class QTreeWidget;
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

    void Notice(QWidget*, const QString& text) override { log.append({text, QString(), qd::TMsgIcon::None, false}); }
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
    QTreeWidget* Tree = nullptr;
    QTextEdit *RedtVelmark = nullptr, *RedtPingYu = nullptr;
    QMenu *Opt_Skin = nullptr, *PopRdtqdl = nullptr, *PopPingYu = nullptr, *PopGuaLi = nullptr,
          *MnuShowStyle = nullptr, *MnuMoveTo = nullptr;
    QAction *mnuSave = nullptr, *mnuCalendar = nullptr, *mnuDefault = nullptr;
    QAction *mnuRestore = nullptr, *mnuBackup = nullptr, *mnuDeleteAll = nullptr, *mnuCompact = nullptr,
            *mnuImportDb = nullptr, *mnuExportDb = nullptr;
    QAction *mnuFuzzySearch = nullptr, *mnuSearch = nullptr;
};

// A fresh application folder ending in '/' with dat/ (holding the shipped
// places file when `places`) and, when `skins`, the shipped skins.
QString NewAppFolder(const QTemporaryDir& dir, bool places = true, bool skins = false);
QString ReadFileText(const QString& path);
void WriteFileText(const QString& path, const QByteArray& bytes);

}  // namespace qdtest
