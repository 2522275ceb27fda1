// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box of the program goes through one messenger, so that the
// tests can read the messages and answer the questions.
#pragma once

#include <QString>

class QWidget;

namespace qd {

enum class TMsgIcon { None, Information, Warning, Error };
enum class TMsgButtons { Ok, YesNo, YesNoCancel };
enum class TMsgAnswer { Ok, Yes, No, Cancel };

class IMessenger {
public:
    virtual ~IMessenger() = default;
    // A plain notice under the application title.
    virtual void Notice(QWidget* parent, const QString& text) = 0;
    // A message box; a Yes/No or Yes/No/Cancel question defaults to No.
    virtual TMsgAnswer Box(QWidget* parent, const QString& text, const QString& caption, TMsgIcon icon,
                           TMsgButtons buttons) = 0;
};

// The messenger in use (QMessageBox unless replaced); nullptr restores it.
IMessenger& Messenger();
void SetMessenger(IMessenger* m);

inline void Notice(QWidget* parent, const QString& text) { Messenger().Notice(parent, text); }
inline void ShowBox(QWidget* parent, const QString& text, const QString& caption, TMsgIcon icon) {
    Messenger().Box(parent, text, caption, icon, TMsgButtons::Ok);
}
inline bool AskYes(QWidget* parent, const QString& text, const QString& caption, TMsgIcon icon) {
    return Messenger().Box(parent, text, caption, icon, TMsgButtons::YesNo) == TMsgAnswer::Yes;
}

}  // namespace qd
