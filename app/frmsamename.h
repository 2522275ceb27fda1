// SPDX-License-Identifier: GPL-3.0-or-later
// TFrmSameName: the cases a search found, one line each; the case picked is
// merged into the tree and opened by the main window.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace qd {

class MRecordBase;
struct TCaseSummary;

// "张三     2004-05-01 婚姻": the name padded to 8 GBK bytes, the stored date
// (years without a year 0) and the category.
std::string SameNameLine(const TCaseSummary& c);

class TFrmSameName : public QDialog {
    Q_OBJECT
public:
    // Reads the hits with one statement; a line's row is its hit's position
    // (a hit without a row gets an empty line).
    TFrmSameName(MRecordBase& store, const std::vector<int>& hits, QWidget* parent = nullptr);
    // Accepts when a line is selected.
    void BtnSeeClick();
    // The id of the selected line's case, or -1.
    int PickedId() const;

    QListWidget* LstRecord = nullptr;
    QCheckBox *ChkShow = nullptr, *ChkClear = nullptr;
    QPushButton *BtnSee = nullptr, *BtnReturn = nullptr;

private:
    std::vector<int> hits_;
};

// The tree's new id list after a pick: `base` followed by the hits it lacks,
// in hit order.
std::vector<int> MergeHits(const std::vector<int>& base, const std::vector<int>& hits);

}  // namespace qd
