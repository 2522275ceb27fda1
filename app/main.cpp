// SPDX-License-Identifier: GPL-3.0-or-later
// quadrelle: the desktop workbench.
#include <QApplication>
#include <QTimer>

#include "app/appfolder.h"
#include "app/frmmain.h"
#include "store/record_base.h"

int main(int argc, char** argv) {
    // The case store exists before any window and outlives them all.
    qd::MRecordBase store;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quadrelle"));
    QApplication::setOrganizationName(QStringLiteral("quadrelle"));
    // No display name: the platform would append it to every window title,
    // and the main window's caption already is the program's name.
    qd::InstallDesktopIdentity(app);
    qd::InstallQtTranslations(app);
    qd::InstallFontSubstitutes();
    qd::TFrmMain w(qd::ApplicationFolder(), &store);
    w.show();

    // Documentation hook: QUADRELLE_SCREENSHOT=file.png casts the panel's
    // moment (QUADRELLE_MOMENT=YYYY-MM-DD-HH-MM), saves the window and quits.
    const QString shot = qEnvironmentVariable("QUADRELLE_SCREENSHOT");
    if (!shot.isEmpty()) {
        QTimer::singleShot(800, &w, [&w, shot] {
            const QStringList m = qEnvironmentVariable("QUADRELLE_MOMENT").split('-');
            if (m.size() == 5)
                w.SetPanelMoment(m[0].toInt(), m[1].toInt(), m[2].toInt(), m[3].toInt(), m[4].toInt());
            w.BtnPaiClick();
            QTimer::singleShot(800, &w, [&w, shot] {
                w.grab().save(shot);
                QApplication::exit(0);
            });
        });
    }
    return app.exec();
}
