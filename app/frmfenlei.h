// SPDX-License-Identifier: GPL-3.0-or-later
// TFrmFenLei: picks the category a new case is saved into. Only a category
// that already exists is accepted; new ones come from the category editor.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace qd {

class TFrmFenLei : public QDialog {
    Q_OBJECT
public:
    TFrmFenLei(const std::vector<std::string>& categories, QWidget* parent = nullptr);
    void BtnOkClick();
    // The chosen name, trimmed, in the spelling typed.
    const QString& Result() const { return result_; }

    QComboBox* CboFenLei = nullptr;
    QPushButton *BtnOk = nullptr, *BtnCancel = nullptr;

private:
    QString result_;
};

// Asks for the category of a new case; false when cancelled. Tests replace
// the dialog by a chooser of their own (nullptr restores the dialog).
using TCategoryChooser = std::function<bool(QWidget*, const std::vector<std::string>&, QString&)>;
bool ChooseCategory(QWidget* parent, const std::vector<std::string>& categories, QString& chosen);
void SetCategoryChooser(TCategoryChooser chooser);

}  // namespace qd
