// SPDX-License-Identifier: GPL-3.0-or-later
// The modal dialogs of the main window: cast settings (TFrmSet), place
// coordinates (TFrmDiLi), direct cast by day and hour (TFrmOtherQi), help.
#pragma once

#include <QDialog>
#include <memory>

#include "base/inifile.h"
#include "engine/request.h"

class QButtonGroup;
class QComboBox;
class QLayout;
class QLineEdit;
class QPushButton;

namespace qd {

// Edits section [set] of dat/set.ini, and the number of automatic backups
// kept ([backup] keep of dat/qdlinit.ini, the program's own configuration:
// set.ini holds only what a cast reads, and qdl reads it too); writes only
// when confirmed with valid input.
class TFrmSet : public QDialog {
    Q_OBJECT
public:
    TFrmSet(const QString& appFolder, QWidget* parent = nullptr);
    ~TFrmSet() override;
    void BtnSetClick();

    QComboBox* CboSelDate = nullptr;
    QLineEdit* LedtLeftPos = nullptr;
    QButtonGroup *RdoYueJiang = nullptr, *RGrpGui = nullptr, *RGrpWang = nullptr;
    QLineEdit* LedtAutoBackup = nullptr;
    QPushButton *BtnSet = nullptr, *BtnCancel = nullptr;

private:
    void BuildAutoBackupRow(QLayout* into, const QString& appFolder);
    std::unique_ptr<CIniFile> ini_;
    std::unique_ptr<CIniFile> winIni_;  // dat/qdlinit.ini
};

// Adds, changes and deletes the cities of dat/dili.ini; every change is
// written at once.
class TFrmDiLi : public QDialog {
    Q_OBJECT
public:
    TFrmDiLi(const QString& appFolder, QWidget* parent = nullptr);
    ~TFrmDiLi() override;
    void CboShengClick();
    void CboShiClick();
    void BtoEditClick();
    void BtoAddClick();
    void BtoDelClick();

    QComboBox *CboSheng = nullptr, *CboShi = nullptr;
    QLineEdit *LedtJingDu = nullptr, *LedtJingFen = nullptr, *LedtWeiDu = nullptr, *LedtWeiFen = nullptr;
    QLineEdit* LedtShiName = nullptr;
    QPushButton *BtoEdit = nullptr, *BtoAdd = nullptr, *BtoDel = nullptr;

private:
    // Validates the four edits and writes them under `city`; false when refused.
    bool WriteCity(const std::string& city);
    std::unique_ptr<CIniFile> ini_;
};

// Collects a day, hour, month general and earth into the request's direct
// fields.
class TFrmOtherQi : public QDialog {
    Q_OBJECT
public:
    TFrmOtherQi(TCastRequest& request, QWidget* parent = nullptr);
    void BtnOkClick();

    QComboBox *CboYueJiang = nullptr, *CboRi = nullptr, *CboShi = nullptr, *CboDiFen = nullptr;
    QPushButton *BtnOk = nullptr, *BtnCancel = nullptr;

private:
    TCastRequest& request_;
};

// Fixed pages of help text.
class TFrmHelp : public QDialog {
    Q_OBJECT
public:
    explicit TFrmHelp(QWidget* parent = nullptr);
};

}  // namespace qd
