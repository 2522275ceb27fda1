// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/messages.h"

#include <QMessageBox>

#include "app/appfolder.h"

namespace qd {
namespace {

class CBoxMessenger : public IMessenger {
public:
    void Notice(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, AppTitle(), text, QMessageBox::Ok, parent);
        box.exec();
    }
    TMsgAnswer Box(QWidget* parent, const QString& text, const QString& caption, TMsgIcon icon,
                   TMsgButtons buttons) override {
        const QMessageBox::Icon qi = icon == TMsgIcon::Information ? QMessageBox::Information
                                     : icon == TMsgIcon::Warning   ? QMessageBox::Warning
                                     : icon == TMsgIcon::Error     ? QMessageBox::Critical
                                                                   : QMessageBox::NoIcon;
        if (buttons == TMsgButtons::Ok) {
            QMessageBox box(qi, caption, text, QMessageBox::Ok, parent);
            box.exec();
            return TMsgAnswer::Ok;
        }
        const bool cancel = buttons == TMsgButtons::YesNoCancel;
        QMessageBox box(
            qi, caption, text,
            QMessageBox::Yes | QMessageBox::No | (cancel ? QMessageBox::Cancel : QMessageBox::NoButton),
            parent);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(cancel ? QMessageBox::Cancel : QMessageBox::No);
        const int r = box.exec();
        return r == QMessageBox::Yes      ? TMsgAnswer::Yes
               : r == QMessageBox::Cancel ? TMsgAnswer::Cancel
                                          : TMsgAnswer::No;
    }
};

CBoxMessenger g_boxes;
IMessenger* g_messenger = &g_boxes;

}  // namespace

IMessenger& Messenger() { return *g_messenger; }
void SetMessenger(IMessenger* m) { g_messenger = m ? m : &g_boxes; }

}  // namespace qd
