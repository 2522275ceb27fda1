// SPDX-License-Identifier: GPL-3.0-or-later
// The hit list of both searches.
#include "app/frmsamename.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/messages.h"
#include "base/encoding.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd {

std::string SameNameLine(const TCaseSummary& c) {
    std::string line = c.name;
    for (size_t n = GbkLength(line); n < 8; ++n) line += ' ';
    char date[48];
    std::snprintf(date, sizeof date, " %04d-%02d-%02d ", DisplayYear(c.year), c.time.month, c.time.day);
    return line + date + c.category;
}

std::vector<int> MergeHits(const std::vector<int>& base, const std::vector<int>& hits) {
    std::vector<int> out = base;
    for (int id : hits)
        if (std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    return out;
}

TFrmSameName::TFrmSameName(MRecordBase& store, const std::vector<int>& hits, QWidget* parent)
    : QDialog(parent), hits_(hits) {
    LstRecord = new QListWidget(this);
    ChkShow = new QCheckBox(QStringLiteral("全部显示到列表"), this);
    ChkClear = new QCheckBox(QStringLiteral("清空现有列表 "), this);
    BtnSee = new QPushButton(QStringLiteral("查看案例"), this);
    BtnReturn = new QPushButton(QStringLiteral("返回"), this);
    BtnSee->setDefault(true);
    BtnReturn->setAutoDefault(false);

    auto* v = new QVBoxLayout(this);
    v->addWidget(LstRecord, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(ChkShow);
    checks->addWidget(ChkClear);
    v->addLayout(checks);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnSee);
    buttons->addWidget(BtnReturn);
    v->addLayout(buttons);

    // A line for every hit, so that a row stays its hit's position: the
    // reading passes over ids without a row.
    QStringList lines;
    lines.reserve(qsizetype(hits_.size()));
    auto line = [&](const TCaseSummary& c) {
        while (size_t(lines.size()) < hits_.size() && hits_[size_t(lines.size())] != c.id) lines << QString();
        if (size_t(lines.size()) < hits_.size()) lines << QString::fromStdString(SameNameLine(c));
        return true;
    };
    // The searches find ids in ascending order: one pass over the range of
    // many close ids reads them faster than looking each one up.
    if (hits_.size() >= 1024 && std::is_sorted(hits_.begin(), hits_.end()) &&
        std::adjacent_find(hits_.begin(), hits_.end()) == hits_.end() &&
        double(hits_.back()) - double(hits_.front()) < 4.0 * double(hits_.size())) {
        ForEachCaseSummary(store, CaseRange(hits_.front(), hits_.back()), [&](const TCaseSummary& c) {
            return std::binary_search(hits_.begin(), hits_.end(), c.id) ? line(c) : true;
        });
    } else {
        ForEachCaseSummary(store, ListedCases(hits_), line);
    }
    while (size_t(lines.size()) < hits_.size()) lines << QString();
    LstRecord->setUniformItemSizes(true);
    LstRecord->addItems(lines);
    setWindowTitle(QString::number(LstRecord->count()) + QStringLiteral("个案例"));
    if (LstRecord->count() > 0) {
        LstRecord->setCurrentRow(0);
        LstRecord->setFocus();
    }

    connect(BtnSee, &QPushButton::clicked, this, &TFrmSameName::BtnSeeClick);
    connect(LstRecord, &QListWidget::itemDoubleClicked, this, [this] { BtnSeeClick(); });
    connect(BtnReturn, &QPushButton::clicked, this, &QDialog::reject);
}

int TFrmSameName::PickedId() const {
    const int row = LstRecord->currentRow();
    if (row < 0 || row >= int(hits_.size()) || !LstRecord->item(row)->isSelected()) return -1;
    return hits_[size_t(row)];
}

void TFrmSameName::BtnSeeClick() {
    if (PickedId() == -1) {
        Notice(this, QStringLiteral("请点击选择要查看的案例！"));
        return;
    }
    accept();
}

}  // namespace qd
