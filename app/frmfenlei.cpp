// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmfenlei.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/messages.h"

namespace qd {

TFrmFenLei::TFrmFenLei(const std::vector<std::string>& categories, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("分类保存"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("保存类别"), this));
    CboFenLei = new QComboBox(this);
    CboFenLei->setEditable(true);
    CboFenLei->setInsertPolicy(QComboBox::NoInsert);
    CboFenLei->lineEdit()->setMaxLength(13);
    for (const std::string& c : categories) CboFenLei->addItem(QString::fromStdString(c));
    if (CboFenLei->count() > 0)
        CboFenLei->setCurrentIndex(0);
    else
        CboFenLei->setEditText(QString());
    QPalette pal = CboFenLei->palette();
    pal.setColor(QPalette::Text, Qt::blue);
    pal.setColor(QPalette::ButtonText, Qt::blue);
    CboFenLei->setPalette(pal);
    v->addWidget(CboFenLei);
    auto* row = new QHBoxLayout;
    BtnOk = new QPushButton(QStringLiteral("确定"), this);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    BtnOk->setDefault(true);
    row->addWidget(BtnOk);
    row->addWidget(BtnCancel);
    v->addLayout(row);
    connect(BtnOk, &QPushButton::clicked, this, &TFrmFenLei::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

namespace {

// The text without leading and trailing blanks and control characters; a
// full-width blank (U+3000) is part of the name.
QString TrimBlanks(const QString& s) {
    qsizetype from = 0, to = s.size();
    while (from < to && s[from].unicode() <= 0x20) ++from;
    while (to > from && s[to - 1].unicode() <= 0x20) --to;
    return s.mid(from, to - from);
}

// Equal but for the case of Latin letters A to Z; other scripts and the
// full-width letters keep their case.
bool SameIgnoringLatinCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (lower(a[i].unicode()) != lower(b[i].unicode())) return false;
    return true;
}

}  // namespace

void TFrmFenLei::BtnOkClick() {
    const QString text = TrimBlanks(CboFenLei->currentText());
    for (int i = 0; i < CboFenLei->count(); ++i) {
        if (SameIgnoringLatinCase(CboFenLei->itemText(i), text)) {
            result_ = text;
            accept();
            return;
        }
    }
    ShowBox(
        this,
        QStringLiteral("请输入已经存在的类别名！如果要增加一个新的类别，请到案例列表上按鼠标右键-编辑类别！"),
        QStringLiteral("错误"), TMsgIcon::Error);
}

static TCategoryChooser& Chooser() {
    static TCategoryChooser chooser;
    return chooser;
}

void SetCategoryChooser(TCategoryChooser chooser) { Chooser() = std::move(chooser); }

bool ChooseCategory(QWidget* parent, const std::vector<std::string>& categories, QString& chosen) {
    if (Chooser()) return Chooser()(parent, categories, chosen);
    TFrmFenLei dlg(categories, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    chosen = dlg.Result();
    return true;
}

}  // namespace qd
