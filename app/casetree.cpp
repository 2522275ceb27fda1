#include "app/casetree.h"

#include <QApplication>
#include <QHeaderView>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/messages.h"
#include "app/treenodes.h"
#include "app/widgets.h"
#include "store/record_base.h"

namespace qd {

// The running (or last) full loading. The thread reads through a store of
// its own; it meets the tree only through events posted to it, and the tree
// waits for it before it lets go of itself.
struct TCaseLoading {
    QThread* thread = nullptr;
    std::atomic<bool> stop{false};
    ~TCaseLoading() {
        if (!thread) return;
        stop = true;
        thread->wait();
        delete thread;
    }
};

TCaseTree::TCaseTree(MRecordBase* store, QWidget* parent) : QWidget(parent), store_(store) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    tree_ = Named(new QTreeWidget(this), "Tree");
    tree_->setHeaderHidden(true);
    tree_->setDragEnabled(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setIconSize(QSize(16, 16));
    // Long node texts scroll sideways rather than being cut short.
    tree_->setTextElideMode(Qt::ElideNone);
    tree_->header()->setStretchLastSection(false);
    lay->addWidget(tree_);
    setMinimumWidth(30);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { emit contextMenuRequested(tree_->viewport()->mapToGlobal(p)); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this] { emit caseActivated(); });
}

TCaseTree::~TCaseTree() { StopLoading(); }

bool TCaseTree::RefusedWhileBusy() {
    if (!busy_) return false;
    Notice(window(), QString::fromUtf8(kLoadingBusyText));
    return true;
}

void TCaseTree::SetCount(int count) {
    shownCount_ = count;
    emit countChanged(count);
}

// ---------------------------------------------------------------- building

void TCaseTree::SetOrder(int showStyle, int sort) {
    showStyle_ = showStyle == kShowList ? kShowList : kShowClassified;
    sort_ = sort >= 0 && sort <= 4 ? sort : kSortNone;
}

void TCaseTree::ShowContent(const TTreeContent& content) {
    busy_ = true;
    tree_->setRootIsDecorated(showStyle_ == kShowClassified);
    FillTree(tree_, content, showStyle_, [this](int left) {
        window()->setWindowTitle(QString::number(left));
        QCoreApplication::processEvents();
    });
    tree_->resizeColumnToContents(0);
    busy_ = false;
    SetCount(int(content.items.size()));
    window()->setWindowTitle(QStringLiteral("澜川霁岚术1.6 "));
}

void TCaseTree::BuildTree(const std::vector<int>& ids) {
    window()->setWindowTitle(QStringLiteral("数据处理....."));
    QCoreApplication::processEvents();
    TTreeContent content;
    if (store_) CollectTreeContent(*store_, ids, sort_, content);
    ShowContent(content);
}

bool TCaseTree::SetDisplay(int showStyle, int sort) {
    if (RefusedWhileBusy()) return false;
    const std::vector<int> ids = ShownIds();  // read with the old style
    SetOrder(showStyle, sort);
    emit displayChanged();
    BuildTree(ids);
    return true;
}

void TCaseTree::RefreshTree() {
    if (RefusedWhileBusy()) return;
    BuildTree(ShownIds());
}

// ---------------------------------------------------------------- full loading

void TCaseTree::ShowAllCasesClick() {
    if (RefusedWhileBusy()) return;
    if (!store_ || store_->GetLastId() <= 0) {
        Notice(window(), QStringLiteral("没有记录，无从查找。"));
        return;
    }
    loading_.reset();  // the previous thread has ended; release it
    window()->setWindowTitle(QStringLiteral("加载....."));
    QCoreApplication::processEvents();
    busy_ = true;

    auto loading = std::make_shared<TCaseLoading>();
    TCaseLoading* L = loading.get();
    const std::string path = store_->DatabasePath(), folder = store_->AppFolder();
    const int sort = sort_;
    L->thread = QThread::create([this, L, path, folder, sort] {
        // Never the window's store: this thread reads through its own.
        MRecordBase own;
        auto content = std::make_shared<TTreeContent>();
        if (own.OpenDatabase(path, folder, false) != TOpenResult::Failed) {
            std::vector<int> ids;
            for (int id = own.ReadLastId(); id >= 1; --id) ids.push_back(id);
            CollectTreeContent(own, ids, sort, *content, &L->stop, [this](int done, int total) {
                QMetaObject::invokeMethod(
                    this, [this, left = total - done] { window()->setWindowTitle(QString::number(left)); },
                    Qt::QueuedConnection);
            });
        }
        if (L->stop) return;
        QMetaObject::invokeMethod(
            this,
            [this, L, content] {
                if (loading_.get() != L || L->stop) return;
                ShowContent(*content);
                emit loadingFinished();
                busy_ = false;
            },
            Qt::QueuedConnection);
    });
    loading_ = loading;
    L->thread->start();
}

void TCaseTree::StopLoading() {
    if (!loading_) return;
    loading_.reset();  // sets the stop request and waits for the thread
    busy_ = false;
}

// ---------------------------------------------------------------- nodes

std::vector<int> TCaseTree::ShownIds() const { return ShownCaseIds(tree_, showStyle_); }

int TCaseTree::SelectedCaseId() const {
    QTreeWidgetItem* n = tree_->currentItem();
    if (!n || !n->isSelected() || !IsCaseNode(n, showStyle_)) return -1;
    return CaseIdOf(n);
}

QString TCaseTree::SelectedCaseText() const {
    QTreeWidgetItem* n = tree_->currentItem();
    return n ? n->text(0) : QString();
}

bool TCaseTree::SelectCase(int id) {
    QTreeWidgetItem* node = FindCaseNode(tree_, id, showStyle_);
    if (!node) return false;
    tree_->setFocus();
    tree_->setCurrentItem(node);
    node->setSelected(true);
    return true;
}

int TCaseTree::MovableCaseId() const {
    QTreeWidgetItem* n = tree_->currentItem();
    if (!n || showStyle_ != kShowClassified || !IsCaseNode(n, showStyle_)) return -1;
    return CaseIdOf(n);
}

QStringList TCaseTree::MoveTargets() const {
    QStringList out;
    if (MovableCaseId() == -1) return out;
    const QString own = tree_->currentItem()->parent()->text(0);
    for (QTreeWidgetItem* c : CategoryNodes(tree_, showStyle_))
        if (c->text(0) != own) out << c->text(0);
    return out;
}

void TCaseTree::AddCase(int id, const QString& text, int flag, const QString& category) {
    SetCount(shownCount_ + 1);
    QTreeWidgetItem* parent = nullptr;
    if (showStyle_ == kShowClassified) {
        for (QTreeWidgetItem* c : CategoryNodes(tree_, showStyle_))
            if (c->text(0).compare(category, Qt::CaseInsensitive) == 0) {
                parent = c;
                break;
            }
        if (!parent) {
            parent = NewCategoryNode(category);
            tree_->addTopLevelItem(parent);
        }
    }
    QTreeWidgetItem* node = NewCaseNode(text, flag, id);
    if (parent) {
        parent->addChild(node);
        parent->setExpanded(true);
    } else {
        tree_->addTopLevelItem(node);
    }
    tree_->resizeColumnToContents(0);
}

bool TCaseTree::UpdateCase(int id, const QString& text, int flag) {
    QTreeWidgetItem* n = FindCaseNode(tree_, id, showStyle_);
    if (!n) return false;
    n->setText(0, text);
    n->setIcon(0, CaseNodeIcon(flag));
    if (n->parent()) n->parent()->setExpanded(true);
    return true;
}

void TCaseTree::RemoveSelectedCase() {
    delete tree_->currentItem();
    SetCount(shownCount_ - 1);
}

void TCaseTree::MoveSelectedCase(const QString& category, int flag) {
    if (MovableCaseId() == -1) return;
    QTreeWidgetItem* n = tree_->currentItem();
    QTreeWidgetItem* target = nullptr;
    for (QTreeWidgetItem* c : CategoryNodes(tree_, showStyle_))
        if (c->text(0) == category) {
            target = c;
            break;
        }
    if (!target) {
        target = NewCategoryNode(category);
        tree_->addTopLevelItem(target);
    }
    const QString text = n->text(0);
    const int id = CaseIdOf(n);
    delete n;
    target->addChild(NewCaseNode(text, flag, id));
}

}  // namespace qd
