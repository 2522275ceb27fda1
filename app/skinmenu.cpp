// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/skinmenu.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "app/messages.h"
#include "app/winconfig.h"

namespace qd {

namespace {

// What the program's own controls need under any skin, put before the
// skin's rules so that a skin may restyle them: the panel's tool buttons
// keep a frame (skins draw tool buttons flat, for the toolbar), and the
// save button shows a stored case in blue.
const char* const kBaseRules =
    "QToolButton#SbtoSave, QToolButton#SbtoNow, QToolButton#SbtoOther {"
    " border: 1px solid palette(mid); border-radius: 3px; padding: 2px 6px; }\n"
    "QToolButton#SbtoSave[stored=\"true\"] { color: rgb(0, 0, 255); }\n";

}  // namespace

TSkinMenu::TSkinMenu(QMenu* menu, const QString& appFolder, QWidget* window)
    : QObject(window), menu_(menu), appFolder_(appFolder), window_(window) {
    // Under a style sheet Qt stops handing a parent's font down to its
    // children unless told to: every re-polish (another skin, a control
    // restyled by a property, the way back to no skin) then left controls
    // in the application's font, with other sizes, instead of the window's.
    QCoreApplication::setAttribute(Qt::AA_UseStyleSheetPropagationInWidgetStyles);
}

void TSkinMenu::Build(CIniFile& ini, bool skined, const QString& skinname) {
    ini_ = &ini;
    menu_->clear();
    group_ = new QActionGroup(this);
    group_->setExclusive(true);
    const QStringList files = QDir(appFolder_ + "skins").entryList({"*.skn"}, QDir::Files, QDir::Name);
    for (const QString& f : files) {
        QAction* a = menu_->addAction(f.section('.', 0, 0));
        a->setCheckable(true);
        group_->addAction(a);
    }
    if (!files.isEmpty()) {
        menu_->addSeparator();
        QAction* def = menu_->addAction(QStringLiteral("系统默认"));
        def->setCheckable(true);
        def->setData(true);
        QFont bold = def->font();
        bold.setBold(true);
        def->setFont(bold);
        group_->addAction(def);
    }
    connect(group_, &QActionGroup::triggered, this, &TSkinMenu::ChooseSkin);

    if (skined) {
        for (QAction* a : menu_->actions()) a->setChecked(a->text() == skinname);
        ApplySkin(appFolder_ + "skins/" + skinname + ".skn", true);
    } else {
        ApplySkin(QString(), false);
        const QList<QAction*> items = menu_->actions();
        if (items.size() >= 2) items.last()->setChecked(true);
    }
}

void TSkinMenu::ApplySkin(const QString& path, bool on) {
    if (!on) {
        qApp->setStyleSheet(QString());
        emit skinApplied();
        return;
    }
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromLatin1(kBaseRules) + QString::fromUtf8(f.readAll()));
    emit skinApplied();
}

void TSkinMenu::ChooseSkin(QAction* item) {
    item->setChecked(true);
    if (item->data().toBool()) {
        ApplySkin(QString(), false);
        window_->update();
        WriteSkinOff(*ini_);
        return;
    }
    const QString path = appFolder_ + "skins/" + item->text() + ".skn";
    if (!QFileInfo::exists(path)) {
        Notice(window_, QStringLiteral("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
        return;
    }
    ApplySkin(path, true);
    WriteSkinChoice(*ini_, item->text().toStdString());
}

}  // namespace qd
