// SPDX-License-Identifier: GPL-3.0-or-later
// The category dialogs: TFrmEditClass edits the categories of all cases,
// TFrmExportClass picks the categories an export takes.
#pragma once

#include <QDialog>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace qd {

class MRecordBase;

// Adds, deletes, renames and reorders categories and moves all cases of one
// category into another. Case records change in the store at once; the
// category list is written when the dialog closes with its changed mark set.
class TFrmEditClass : public QDialog {
    Q_OBJECT
public:
    TFrmEditClass(MRecordBase& store, QWidget* parent = nullptr);

    void BtoUpClick() { MoveLine(-1); }
    void BtoDownClick() { MoveLine(1); }
    void BtoAddClick();
    void BtoDelClick();
    void BtoRenameClick();
    void BtoMoveClick();

    bool Changed() const { return changed_; }
    // The category of a line (its text up to the first space).
    static QString LineName(const QString& line);
    // Category names in line order, and the case ids of one category.
    QStringList Names() const;
    std::vector<int> Cases(const QString& name) const;

    void done(int r) override;

    QListWidget* LstClass = nullptr;
    QPushButton *BtoUp = nullptr, *BtoDown = nullptr, *BtoAdd = nullptr, *BtoDel = nullptr;
    QPushButton *BtoRename = nullptr, *BtoMove = nullptr, *BtoReturn = nullptr;

private:
    void FillMap();
    void FillList();
    void SetLine(int row, const std::string& name);
    void MoveLine(int step);
    // The selected line's name, empty when none is selected.
    std::string SelectedName() const;
    // Asks for a name and cleans it; false when cancelled.
    bool AskName(const QString& caption, const QString& prompt, std::string& name);
    // Sets the category of the cases to `target`; answers the ids that failed.
    std::vector<int> Recategorize(const std::vector<int>& ids, const std::string& target);
    int RowOf(const std::string& name) const;

    // Category names in the order of their GBK bytes, the order the stored
    // files and the list have always used; UTF-8 bytes break ties between
    // names GBK cannot tell apart.
    struct TGbkLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };

    MRecordBase& store_;
    std::map<std::string, std::vector<int>, TGbkLess> map_;
    bool changed_ = false;
    bool written_ = false;
};

// Shows TFrmEditClass over the store (refused while the background loading
// runs); answers its changed mark, after which the tree needs a refresh.
bool EditCategories(MRecordBase& store, bool loadingRuns, QWidget* parent);

// Ticks the categories to export; "全部 " ticks or unticks them all.
class TFrmExportClass : public QDialog {
    Q_OBJECT
public:
    TFrmExportClass(const QStringList& categories, QWidget* parent = nullptr);

    void ChkAllClick();
    void BtnOkClick();
    // The ticked names in list order (valid after OK).
    QStringList Chosen() const;
    int Count() const;

    QListWidget* LstClass = nullptr;
    QCheckBox* ChkAll = nullptr;
    QPushButton *BtnOk = nullptr, *BtnCancel = nullptr;
};

}  // namespace qd
