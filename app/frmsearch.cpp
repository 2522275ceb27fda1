// SPDX-License-Identifier: GPL-3.0-or-later
// The conditional search dialog and the modal runner shared with the hit
// list.
#include "app/frmsearch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/places.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd {

namespace {

TDialogRunner& Runner() {
    static TDialogRunner r;
    return r;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

int RunDialog(QDialog& dlg) { return Runner() ? Runner()(dlg) : dlg.exec(); }
void SetDialogRunner(TDialogRunner runner) { Runner() = std::move(runner); }

TFrmSearch::TFrmSearch(TSearchCriteria& criteria, MRecordBase& store, QWidget* parent)
    : QDialog(parent), criteria_(criteria), store_(store) {
    setWindowTitle(QStringLiteral("查找案例"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto* form = new QFormLayout;

    CboProv = new QComboBox(this);
    CboProv->addItem(QStringLiteral("全部省份"));
    for (int i = 0; i < kProvinceCount; ++i) CboProv->addItem(QString::fromUtf8(kProvinces[i]));
    form->addRow(QStringLiteral("省份"), CboProv);

    auto* sexBox = new QGroupBox(QStringLiteral("性别"), this);
    auto* sexRow = new QHBoxLayout(sexBox);
    RdoSex = new QButtonGroup(this);
    int n = 0;
    for (const char* t : {"无", "男", "女"}) {
        auto* b = new QRadioButton(QString::fromUtf8(t), sexBox);
        RdoSex->addButton(b, n++);
        sexRow->addWidget(b);
    }
    form->addRow(sexBox);

    auto* years = new QHBoxLayout;
    LedtY1 = new QLineEdit(this);
    LedtY2 = new QLineEdit(this);
    for (QLineEdit* e : {LedtY1, LedtY2}) e->setMaxLength(4);
    years->addWidget(LedtY1);
    years->addWidget(new QLabel(QStringLiteral("到"), this));
    years->addWidget(LedtY2);
    form->addRow(QStringLiteral("起课年从"), years);

    LedtComment = new QLineEdit(this);
    LedtComment->setMaxLength(40);
    form->addRow(QStringLiteral("评语"), LedtComment);
    LedtQuestion = new QLineEdit(this);
    LedtQuestion->setMaxLength(200);
    form->addRow(QStringLiteral("占问事宜"), LedtQuestion);

    auto* cls = new QHBoxLayout;
    CboClass = new QComboBox(this);
    CboClass->setEditable(true);
    CboClass->setInsertPolicy(QComboBox::NoInsert);
    CboClass->lineEdit()->setMaxLength(20);
    ChkClass = new QCheckBox(QStringLiteral("全字匹配"), this);
    cls->addWidget(CboClass, 1);
    cls->addWidget(ChkClass);
    form->addRow(QStringLiteral("类别"), cls);

    auto* name = new QHBoxLayout;
    LedtName = new QLineEdit(this);
    LedtName->setMaxLength(20);
    ChkName = new QCheckBox(QStringLiteral("全字匹配"), this);
    name->addWidget(LedtName, 1);
    name->addWidget(ChkName);
    form->addRow(QStringLiteral("姓名"), name);

    AniBusy = new QProgressBar(this);
    AniBusy->setRange(0, 0);  // an endless busy bar
    AniBusy->setTextVisible(false);
    AniBusy->hide();

    auto* buttons = new QHBoxLayout;
    BtoAll = new QPushButton(QStringLiteral("清空"), this);
    BtnSearch = new QPushButton(QStringLiteral("查找"), this);
    BtoCancel = new QPushButton(QStringLiteral("关闭"), this);
    BtoAll->setAutoDefault(false);
    BtoCancel->setAutoDefault(false);
    BtnSearch->setDefault(true);
    buttons->addWidget(AniBusy, 1);
    buttons->addWidget(BtoAll);
    buttons->addWidget(BtnSearch);
    buttons->addWidget(BtoCancel);

    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);

    connect(BtoAll, &QPushButton::clicked, this, &TFrmSearch::BtoAllClick);
    connect(BtnSearch, &QPushButton::clicked, this, &TFrmSearch::BtnSearchClick);
    connect(BtoCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

TFrmSearch::~TFrmSearch() = default;

void TFrmSearch::FormShow() {
    std::vector<std::string> categories;
    store_.GetCategories(categories);
    for (const std::string& c : categories) CboClass->addItem(Q(c));
    const TSearchCriteria& c = criteria_;
    const int prov = c.province == -1 ? 0 : c.province + 1;
    CboProv->setCurrentIndex(prov >= 0 && prov < CboProv->count() ? prov : 0);
    RdoSex->button(c.sexGiven ? (c.sex == 1 ? 1 : 2) : 0)->setChecked(true);
    if (c.yearsGiven) {
        LedtY1->setText(QString::number(DisplayYear(c.yearFrom)));
        LedtY2->setText(QString::number(DisplayYear(c.yearTo)));
    } else {
        LedtY1->clear();
        LedtY2->clear();
    }
    ChkName->setChecked(c.nameMode == 2);
    ChkClass->setChecked(c.categoryMode == 2);
    LedtName->setText(c.nameMode != 0 ? Q(c.name) : QString());
    CboClass->setEditText(c.categoryMode != 0 ? Q(c.category) : QString());
    LedtComment->setText(c.commentGiven ? Q(c.comment) : QString());
    LedtQuestion->setText(c.questionGiven ? Q(c.question) : QString());
}

void TFrmSearch::BtoAllClick() {
    if (!AskYes(this, QStringLiteral("这将清除所有输入的条件参数，确定吗？"), QStringLiteral("提示"),
                TMsgIcon::Information))
        return;
    RdoSex->button(0)->setChecked(true);
    LedtY1->clear();
    LedtY2->clear();
    LedtName->clear();
    CboClass->setEditText(QString());
    LedtComment->clear();
    LedtQuestion->clear();
    ChkName->setChecked(false);
    ChkClass->setChecked(false);
    CboProv->setCurrentIndex(0);
}

bool TFrmSearch::CollectCriteria() {
    TSearchCriteria& c = criteria_;
    c.province = int16_t(CboProv->currentIndex() - 1);
    const int sex = RdoSex->checkedId();
    c.sexGiven = sex > 0 ? 1 : 0;
    if (sex > 0) c.sex = sex == 1 ? 1 : 0;

    const QString y1 = LedtY1->text(), y2 = LedtY2->text();
    if (y1.isEmpty() && y2.isEmpty()) {
        c.yearsGiven = 0;
    } else {
        const int from = IntOrDefault(y1.toStdString(), -1000), to = IntOrDefault(y2.toStdString(), -1000);
        auto bad = [](int y) { return y < -850 || y > 2100 || y == 0; };
        if (bad(from) || bad(to)) {
            ShowBox(
                this,
                QStringLiteral(
                    "年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120"),
                QStringLiteral("年份错误"), TMsgIcon::Warning);
            return false;
        }
        if (to < from) {
            ShowBox(this, QStringLiteral("结束年必须大于或等于起始年"), QStringLiteral("年份错误"),
                    TMsgIcon::Warning);
            return false;
        }
        c.yearsGiven = 1;
        // Stored without the missing year 0: 1 BC is year 0.
        c.yearFrom = int16_t(from < 0 ? from + 1 : from);
        c.yearTo = int16_t(to < 0 ? to + 1 : to);
    }

    const QString name = LedtName->text().trimmed();
    c.nameMode = name.isEmpty() ? 0 : (ChkName->isChecked() ? 2 : 1);
    if (!name.isEmpty()) c.name = name.toStdString();
    const QString category = CboClass->currentText().trimmed();
    c.categoryMode = category.isEmpty() ? 0 : (ChkClass->isChecked() ? 2 : 1);
    if (!category.isEmpty()) c.category = category.toStdString();
    c.comment = LedtComment->text().trimmed().toStdString();
    c.commentGiven = c.comment.empty() ? 0 : 1;
    c.question = LedtQuestion->text().trimmed().toStdString();
    c.questionGiven = c.question.empty() ? 0 : 1;
    return true;
}

void TFrmSearch::SetButtonsEnabled(bool on) {
    for (QPushButton* b : {BtoAll, BtnSearch, BtoCancel}) b->setEnabled(on);
}

void TFrmSearch::BtnSearchClick() {
    if (Searching() || !CollectCriteria()) return;
    if (store_.GetLastId() == 0) {
        Notice(this, QStringLiteral("没有记录，无从查找。"));
        return;
    }
    SetButtonsEnabled(false);
    AniBusy->show();
    hits_.clear();
    struct TSearch {
        TSearchCriteria criteria;
        std::vector<int> hits;
    };
    auto search = std::make_shared<TSearch>(TSearch{criteria_, {}});
    task_.reset();  // the previous search has ended; release its thread
    task_ = std::make_unique<TStoreTask>(
        store_, this,
        [search](MRecordBase& own, const TStoreTask::TPost&, const std::atomic<bool>&) {
            own.FindCases(search->criteria, search->hits);
        },
        [this, search](const std::string& error) {
            SearchDone(search->criteria, std::move(search->hits), error);
        });
}

void TFrmSearch::SearchDone(const TSearchCriteria& used, std::vector<int> hits, const std::string& error) {
    AniBusy->hide();
    SetButtonsEnabled(true);
    criteria_.sexGiven = used.sexGiven;  // the search clears it
    if (!error.empty()) {
        ShowBox(this, QString::fromStdString(error), QStringLiteral("错误"), TMsgIcon::Error);
        return;
    }
    hits_ = std::move(hits);
    if (hits_.empty()) {
        ShowBox(this, QStringLiteral("没有找到符合条件的案例。"), QStringLiteral("信息"),
                TMsgIcon::Information);
        return;
    }
    accept();
}

void TFrmSearch::reject() {
    if (Searching()) return;
    QDialog::reject();
}

}  // namespace qd
