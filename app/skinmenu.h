// SPDX-License-Identifier: GPL-3.0-or-later
// TSkinMenu: the "界面风格" submenu. One item per skins/*.skn file (named up
// to its first dot), then "系统默认"; choosing an item loads that skin or
// switches skinning off and records the choice in [window] of the
// configuration at once.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace qd {

class CIniFile;

class TSkinMenu : public QObject {
    Q_OBJECT
public:
    // `appFolder` ends with '/'; `window` is repainted and owns the menu.
    TSkinMenu(QMenu* menu, const QString& appFolder, QWidget* window);

    // Lists the skin files (once per run) and applies the configured skin:
    // `skinname` when `skined`, else none with "系统默认" checked. Choices
    // are written to `ini`, which must outlive the menu's use.
    void Build(CIniFile& ini, bool skined, const QString& skinname);
    // A click on an item.
    void ChooseSkin(QAction* item);

signals:
    // A skin's style sheet, or none, was applied: controls that colour
    // themselves set their colours again.
    void skinApplied();

private:
    void ApplySkin(const QString& path, bool on);

    QMenu* menu_;
    QString appFolder_;
    QWidget* window_;
    CIniFile* ini_ = nullptr;
    QActionGroup* group_ = nullptr;
};

}  // namespace qd
