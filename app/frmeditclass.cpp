// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frmeditclass.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>

#include "app/messages.h"
#include "app/shell.h"
#include "base/encoding.h"
#include "base/textclean.h"
#include "store/record_base.h"

namespace qd {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

const char* const kCleanedText =
    "类别名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。，已经处理为合适的文本！";
const char* const kExistsText = "：这个类别已经存在，请另外起一个名称！";
const char* const kNamePrompt = "请输入新的类别名称：        ";

QString Quoted(const char* before, const std::string& name, const char* after) {
    return QString::fromUtf8(before) + Q(name) + QString::fromUtf8(after);
}

}  // namespace

// ---------------------------------------------------------------- TFrmEditClass

TFrmEditClass::TFrmEditClass(MRecordBase& store, QWidget* parent) : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("编辑类别（全部案例）"));
    setSizeGripEnabled(true);
    resize(513, 575);
    auto* lay = new QVBoxLayout(this);
    LstClass = new QListWidget(this);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(16);
    LstClass->setFont(f);
    lay->addWidget(LstClass, 1);
    auto* row = new QHBoxLayout;
    auto button = [&](const char* text, void (TFrmEditClass::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        row->addWidget(b);
        return b;
    };
    BtoUp = button("▲", &TFrmEditClass::BtoUpClick);
    BtoUp->setToolTip(QStringLiteral("上移"));
    BtoDown = button("▼", &TFrmEditClass::BtoDownClick);
    BtoDown->setToolTip(QStringLiteral("下移"));
    BtoAdd = button("增加", &TFrmEditClass::BtoAddClick);
    BtoDel = button("删除", &TFrmEditClass::BtoDelClick);
    BtoRename = button("改名", &TFrmEditClass::BtoRenameClick);
    BtoMove = button("移动", &TFrmEditClass::BtoMoveClick);
    BtoReturn = new QPushButton(QStringLiteral("返回"), this);
    BtoReturn->setAutoDefault(false);
    connect(BtoReturn, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(BtoReturn);
    lay->addLayout(row);

    FillMap();
    FillList();
    int total = 0;
    for (const auto& [name, ids] : map_) total += int(ids.size());
    setWindowTitle(QStringLiteral("编辑类别（全部案例，共%1个）").arg(total));
}

bool TFrmEditClass::TGbkLess::operator()(const std::string& a, const std::string& b) const {
    const std::string ga = Utf8ToGbk(a), gb = Utf8ToGbk(b);
    return ga != gb ? ga < gb : a < b;
}

void TFrmEditClass::FillMap() {
    std::vector<std::string> stored;
    store_.GetCategories(stored);
    for (const std::string& n : stored) map_.emplace(n, std::vector<int>());
    // Grouped first, so that the GBK order is consulted once per category
    // rather than once per case.
    std::unordered_map<std::string, std::vector<int>> byCategory;
    store_.BeginBatch();
    const int last = store_.GetLastId();
    for (int id = 1; id <= last; ++id) {
        TRecordData r;
        if (store_.ReadCaseInBatch(id, r)) byCategory[r.category].push_back(id);
    }
    store_.EndBatch();
    for (auto& [name, ids] : byCategory) map_[name] = std::move(ids);
}

void TFrmEditClass::FillList() {
    std::vector<std::string> stored;
    store_.GetCategories(stored);
    std::vector<std::string> order;
    for (const std::string& n : stored)
        if (std::find(order.begin(), order.end(), n) == order.end()) order.push_back(n);
    for (const auto& [name, ids] : map_) {
        if (std::find(order.begin(), order.end(), name) != order.end()) continue;
        order.push_back(name);
        // The stored list lacks a category its cases name: closing writes it.
        changed_ = true;
    }
    for (const std::string& n : order) {
        LstClass->addItem(QString());
        SetLine(LstClass->count() - 1, n);
    }
}

void TFrmEditClass::SetLine(int row, const std::string& name) {
    QListWidgetItem* item = LstClass->item(row);
    std::string text = name;
    while (GbkLength(text) < 12) text += ' ';
    const auto it = map_.find(name);
    const int n = it == map_.end() ? 0 : int(it->second.size());
    item->setText(Q(text) + QStringLiteral("  %1 案例").arg(n));
    item->setSizeHint(QSize(0, LstClass->font().pixelSize() * 3 / 2));
}

QString TFrmEditClass::LineName(const QString& line) { return line.section(' ', 0, 0); }

QStringList TFrmEditClass::Names() const {
    QStringList out;
    for (int i = 0; i < LstClass->count(); ++i) out << LineName(LstClass->item(i)->text());
    return out;
}

std::vector<int> TFrmEditClass::Cases(const QString& name) const {
    const auto it = map_.find(S(name));
    return it == map_.end() ? std::vector<int>() : it->second;
}

int TFrmEditClass::RowOf(const std::string& name) const {
    for (int i = 0; i < LstClass->count(); ++i)
        if (S(LineName(LstClass->item(i)->text())) == name) return i;
    return -1;
}

std::string TFrmEditClass::SelectedName() const {
    const int row = LstClass->currentRow();
    if (row < 0 || !LstClass->item(row)->isSelected()) return std::string();
    return S(LineName(LstClass->item(row)->text()));
}

bool TFrmEditClass::AskName(const QString& caption, const QString& prompt, std::string& name) {
    QString value = Q(name);
    if (!Shell().InputQuery(this, caption, prompt, value)) return false;
    name = S(value);
    if (CleanText(name, 10)) Notice(this, QString::fromUtf8(kCleanedText));
    return true;
}

void TFrmEditClass::MoveLine(int step) {
    const int row = LstClass->currentRow();
    if (SelectedName().empty()) {
        Notice(this, QStringLiteral("请先点击选择一个类别！"));
        LstClass->setFocus();
        return;
    }
    const int to = row + step;
    if (to < 0 || to >= LstClass->count()) {
        Notice(this, QStringLiteral("移动超出列表范围！"));
        LstClass->setFocus();
        return;
    }
    QListWidgetItem* item = LstClass->takeItem(row);
    LstClass->insertItem(to, item);
    LstClass->setCurrentRow(to);
    changed_ = true;
}

void TFrmEditClass::BtoAddClick() {
    std::string name;
    if (!AskName(QStringLiteral("新类别"), QString::fromUtf8(kNamePrompt), name)) return;
    if (map_.count(name)) {
        Notice(this, Q(name) + QString::fromUtf8(kExistsText));
        return;
    }
    map_.emplace(name, std::vector<int>());
    LstClass->addItem(QString());
    SetLine(LstClass->count() - 1, name);
    changed_ = true;
    Notice(this, QStringLiteral("新增完成！"));
}

void TFrmEditClass::BtoDelClick() {
    const std::string name = SelectedName();
    if (name.empty()) {
        Notice(this, QStringLiteral("没有选择的类别可以删除！"));
        return;
    }
    if (!AskYes(this, Quoted("确定要删除“", name, "”这个类别吗？"), QStringLiteral("注意"),
                TMsgIcon::Warning))
        return;
    BtoDel->setEnabled(false);
    std::vector<int>& ids = map_[name];
    std::vector<int> failed;
    if (store_.BeginBatch()) {
        for (int id : ids)
            if (!store_.DeleteCaseInBatch(id)) failed.push_back(id);
        // A lost batch deleted nothing.
        if (!store_.EndBatch()) failed = ids;
    } else {
        failed = ids;
    }
    const int row = RowOf(name);
    if (failed.empty()) {
        map_.erase(name);
        delete LstClass->takeItem(row);
        changed_ = true;
        Notice(this, QStringLiteral("删除完成！"));
        BtoDel->setEnabled(true);
        setWindowTitle(QStringLiteral("编辑类别（全部案例）"));
        return;
    }
    Notice(this, Q(name) + QStringLiteral("：这个类别的案例没有删除完！"));
    ids = failed;
    SetLine(row, name);
    BtoDel->setEnabled(true);
}

std::vector<int> TFrmEditClass::Recategorize(const std::vector<int>& ids, const std::string& target) {
    std::vector<int> failed;
    if (!store_.BeginBatch()) return ids;
    for (int id : ids) {
        TRecordData r;
        if (!store_.ReadCaseInBatch(id, r)) {
            failed.push_back(id);
            continue;
        }
        r.category = target;
        if (!store_.UpdateCaseInBatch(id, r)) failed.push_back(id);
    }
    // A lost batch changed nothing.
    if (!store_.EndBatch()) return ids;
    return failed;
}

void TFrmEditClass::BtoRenameClick() {
    const std::string old = SelectedName();
    if (old.empty()) {
        Notice(this, QStringLiteral("没有选择的类别可以修改！"));
        return;
    }
    if (!AskYes(this, Quoted("确定要修改“", old, "”这个类别吗？"), QStringLiteral("注意"), TMsgIcon::Warning))
        return;
    std::string name = old;
    if (!AskName(QStringLiteral("新类别"), QString::fromUtf8(kNamePrompt), name)) return;
    if (name == old) {
        Notice(this, QStringLiteral("类别名称没有改变，请输入新的名称！"));
        return;
    }
    if (map_.count(name)) {
        Notice(this, Q(name) + QString::fromUtf8(kExistsText));
        return;
    }
    const std::vector<int> ids = map_[old];
    const std::vector<int> failed = Recategorize(ids, name);
    const int row = RowOf(old);
    if (failed.empty()) {
        map_.erase(old);
        map_[name] = ids;
        SetLine(row, name);
        changed_ = true;
        Notice(this, QStringLiteral("改名完成！"));
        return;
    }
    // The cases that did change are the store's; the list keeps the old
    // category with the failed ones, as a failed delete or move does.
    Notice(this, Q(old) + QStringLiteral("：这个类别的案例没有修改完！"));
    map_[old] = failed;
    SetLine(row, old);
}

void TFrmEditClass::BtoMoveClick() {
    const std::string source = SelectedName();
    if (source.empty()) {
        Notice(this, QStringLiteral("没有选择的类别可以移动！"));
        return;
    }
    if (map_[source].empty()) {
        Notice(this, QStringLiteral("这个类别没有案例可以移动！"));
        return;
    }
    if (!AskYes(this, Quoted("确定要移动“", source, "”这个类别吗？"), QStringLiteral("注意"),
                TMsgIcon::Warning))
        return;
    std::string target;
    if (!AskName(QStringLiteral("目的类别"), QStringLiteral("请输入要移动到目的类别名称：        "), target))
        return;
    if (target == source) {
        Notice(this, QStringLiteral("同组类别不能移动，请输入已经存在的其他类别名称！"));
        return;
    }
    const int from = RowOf(source);
    int to = -1;
    for (int i = 0; i < LstClass->count(); ++i)
        if (i != from && S(LineName(LstClass->item(i)->text())) == target) to = i;
    if (to < 0) {
        Notice(this, QStringLiteral("请输入已经存在的类别名称，如果不存在可以先新建一个。"));
        return;
    }
    BtoMove->setEnabled(false);
    const std::vector<int> ids = map_[source];
    const std::vector<int> failed = Recategorize(ids, target);
    if (!failed.empty()) Notice(this, Q(source) + QStringLiteral("：这个类别的案例没有移动完！"));
    std::vector<int>& dest = map_[target];
    for (int id : ids)
        if (std::find(failed.begin(), failed.end(), id) == failed.end()) dest.push_back(id);
    std::sort(dest.begin(), dest.end());
    map_[source] = failed;
    SetLine(from, source);
    SetLine(to, target);
    changed_ = true;
    Notice(this, QStringLiteral("移动完成！"));
    BtoMove->setEnabled(true);
}

void TFrmEditClass::done(int r) {
    if (changed_ && !written_) {
        written_ = true;
        std::vector<std::string> list;
        for (const QString& n : Names()) list.push_back(S(n));
        store_.SetCategories(list);
    }
    QDialog::done(r);
}

bool EditCategories(MRecordBase& store, bool loadingRuns, QWidget* parent) {
    if (loadingRuns) {
        Notice(parent, QString::fromUtf8(kLoadingBusyText));
        return false;
    }
    TFrmEditClass dlg(store, parent);
    dlg.exec();
    return dlg.Changed();
}

// ---------------------------------------------------------------- TFrmExportClass

TFrmExportClass::TFrmExportClass(const QStringList& categories, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("选择导出类别："));
    auto* lay = new QVBoxLayout(this);
    LstClass = new QListWidget(this);
    for (const QString& c : categories) {
        auto* item = new QListWidgetItem(c, LstClass);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    lay->addWidget(LstClass, 1);
    auto* row = new QHBoxLayout;
    ChkAll = new QCheckBox(QStringLiteral("全部 "), this);
    ChkAll->setChecked(true);
    connect(ChkAll, &QCheckBox::clicked, this, &TFrmExportClass::ChkAllClick);
    row->addWidget(ChkAll);
    row->addStretch(1);
    BtnOk = new QPushButton(QStringLiteral("确定导出"), this);
    BtnCancel = new QPushButton(QStringLiteral("返回"), this);
    connect(BtnOk, &QPushButton::clicked, this, &TFrmExportClass::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(BtnOk);
    row->addWidget(BtnCancel);
    lay->addLayout(row);
}

void TFrmExportClass::ChkAllClick() {
    const Qt::CheckState s = ChkAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < LstClass->count(); ++i) LstClass->item(i)->setCheckState(s);
}

QStringList TFrmExportClass::Chosen() const {
    QStringList out;
    for (int i = 0; i < LstClass->count(); ++i)
        if (LstClass->item(i)->checkState() == Qt::Checked) out << LstClass->item(i)->text();
    return out;
}

int TFrmExportClass::Count() const { return LstClass->count(); }

void TFrmExportClass::BtnOkClick() {
    if (Chosen().isEmpty()) {
        Notice(this, QStringLiteral("没有选择要导出的类别！"));
        return;
    }
    accept();
}

}  // namespace qd
