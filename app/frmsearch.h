// SPDX-License-Identifier: GPL-3.0-or-later
// TFrmSearch: the conditions of a search over every stored case. The dialog
// reads and writes the main window's criteria record and runs the store's
// search itself, so that it stays open when nothing matches. The search
// runs off the GUI thread through a store of its own.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/storetask.h"
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
    // Stops a running search.
    ~TFrmSearch() override;
    void BtoAllClick();
    // Starts the search when the criteria are valid; the dialog accepts
    // when it ends with at least one case. Meanwhile the busy bar runs, the
    // buttons are disabled and the dialog does not close.
    void BtnSearchClick();
    bool Searching() const { return task_ && task_->Running(); }
    const std::vector<int>& Hits() const { return hits_; }
    void reject() override;

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
    void SearchDone(const TSearchCriteria& used, std::vector<int> hits, const std::string& error);

    TSearchCriteria& criteria_;
    MRecordBase& store_;
    std::vector<int> hits_;
    std::unique_ptr<TStoreTask> task_;
};

// Runs a one-use search or hit-list dialog modally. Tests replace the loop
// by a function that works the dialog and answers its result.
using TDialogRunner = std::function<int(QDialog&)>;
int RunDialog(QDialog& dlg);
void SetDialogRunner(TDialogRunner runner);

}  // namespace qd
