// TFrmSearch: the conditions of a search over every stored case. The dialog
// reads and writes the main window's criteria record and runs the store's
// search itself, so that it stays open when nothing matches.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "store/criteria.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace qd {

class MRecordBase;

class TFrmSearch : public QDialog {
    Q_OBJECT
public:
    TFrmSearch(TSearchCriteria& criteria, MRecordBase& store, QWidget* parent = nullptr);
    void BtoAllClick();
    // Accepts when the criteria are valid and at least one case matches.
    void BtnSearchClick();
    const std::vector<int>& Hits() const { return hits_; }

    QComboBox* CboProv = nullptr;
    QButtonGroup* RdoSex = nullptr;  // ids 0 无, 1 男, 2 女
    QLineEdit *LedtY1 = nullptr, *LedtY2 = nullptr;
    QLineEdit *LedtComment = nullptr, *LedtQuestion = nullptr, *LedtName = nullptr;
    QComboBox* CboClass = nullptr;
    QCheckBox *ChkClass = nullptr, *ChkName = nullptr;
    QProgressBar* AniBusy = nullptr;
    QPushButton *BtoAll = nullptr, *BtnSearch = nullptr, *BtoCancel = nullptr;

private:
    void FormShow();
    bool CollectCriteria();
    void SetButtonsEnabled(bool on);

    TSearchCriteria& criteria_;
    MRecordBase& store_;
    std::vector<int> hits_;
};

// Runs a one-use search or hit-list dialog modally. Tests replace the loop
// by a function that works the dialog and answers its result.
using TDialogRunner = std::function<int(QDialog&)>;
int RunDialog(QDialog& dlg);
void SetDialogRunner(TDialogRunner runner);

}  // namespace qd
