// TFrmMain's case tree: building it from case ids, the display styles, the
// tree menu, moving a case, and the full loading of all cases on a thread.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/casetree.h"
#include "app/frmmain.h"
#include "app/messages.h"
#include "store/record_base.h"

namespace qd {

// The running (or last) full loading. The thread reads through a store of
// its own; it meets the window only through events posted to it, and the
// window waits for it before it lets go of itself.
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

void TFrmMain::BuildCaseCommands() {
    // The case items come before the category editor's item.
    auto add = [this](const QString& text) {
        auto* a = new QAction(text, PopGuaLi);
        PopGuaLi->insertAction(mnuEditClass, a);
        return a;
    };
    mnuOpenCase = add(QStringLiteral("查看课例"));
    MnuMoveTo = new QMenu(QStringLiteral("移动到"), PopGuaLi);
    PopGuaLi->insertMenu(mnuEditClass, MnuMoveTo);
    mnuDeleteCase = add(QStringLiteral("删除课例"));
    if (!mnuEditClass) PopGuaLi->addAction(QStringLiteral("编辑类别"))->setEnabled(false);
    PopGuaLi->addSeparator();
    mnuFuzzySearch = PopGuaLi->addAction(QStringLiteral("模糊查找"));
    mnuSearch = PopGuaLi->addAction(QStringLiteral("条件查找"));
    mnuShowAll = PopGuaLi->addAction(QStringLiteral("显示全部课例"));
    PopGuaLi->addSeparator();
    mnuRefresh = PopGuaLi->addAction(QStringLiteral("刷新显示"));
    PopGuaLi->addSeparator();
    mnuCaseCount = PopGuaLi->addAction(QStringLiteral("案例总数"));
    connect(mnuOpenCase, &QAction::triggered, this, &TFrmMain::OpenSelectedCase);
    connect(mnuDeleteCase, &QAction::triggered, this, &TFrmMain::DeleteSelectedCase);
    connect(mnuShowAll, &QAction::triggered, this, &TFrmMain::ShowAllCasesClick);
    connect(mnuFuzzySearch, &QAction::triggered, this, &TFrmMain::FuzzySearchClick);
    connect(mnuSearch, &QAction::triggered, this, &TFrmMain::SearchClick);
    connect(mnuRefresh, &QAction::triggered, this, &TFrmMain::RefreshTree);
    connect(MnuMoveTo, &QMenu::triggered, this, [this](QAction* a) { MoveSelectedCase(a->text()); });
    connect(Tree, &QWidget::customContextMenuRequested, this, [this] { FillMoveMenu(); });
    connect(Tree, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedCase(); });
    Tree->setIconSize(QSize(16, 16));
    // Long node texts scroll sideways rather than being cut short.
    Tree->setTextElideMode(Qt::ElideNone);
    Tree->header()->setStretchLastSection(false);

    mnuSave->setEnabled(true);
    connect(mnuSave, &QAction::triggered, this, &TFrmMain::SaveCurrentCase);

    // Save and new-case buttons sit below the cast button.
    if (auto* v = qobject_cast<QVBoxLayout*>(Panel2->layout())) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        SbtoSave = new QToolButton(Panel2);
        SbtoSave->setToolTip(QStringLiteral("保存卦例"));
        SbtoSave->setToolButtonStyle(Qt::ToolButtonTextOnly);
        BtoNewGua = new QPushButton(QStringLiteral("新建"), Panel2);
        BtoNewGua->setAutoDefault(false);
        for (QWidget* b : {static_cast<QWidget*>(SbtoSave), static_cast<QWidget*>(BtoNewGua)}) {
            b->setMinimumWidth(1);
            b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
            row->addWidget(b);
        }
        const int at = v->indexOf(BtnPai);
        v->insertLayout(at >= 0 ? at + 1 : v->count(), row);
        connect(SbtoSave, &QToolButton::clicked, this, &TFrmMain::SaveCurrentCase);
        connect(BtoNewGua, &QPushButton::clicked, this, &TFrmMain::NewCase);
    }
    SetSaveButton(false);
    SetCountDisplay();
}

bool TFrmMain::RefusedWhileBusy() {
    if (!treeBusy_) return false;
    Notice(this, QString::fromUtf8(kLoadingBusyText));
    return true;
}

void TFrmMain::SetCountDisplay() {
    if (mnuCaseCount) mnuCaseCount->setText(CountText(shownCount_));
}

void TFrmMain::SyncStyleChecks() {
    for (QAction* a : MnuShowStyle->actions()) {
        if (a->isSeparator()) continue;
        const QPoint d = a->data().toPoint();
        if (d.x() == 0) a->setChecked(d.y() == showStyle_);
        if (d.x() == 2) a->setChecked(d.y() == (sort_ == 0 ? 5 : sort_));
    }
}

std::vector<int> TFrmMain::ShownIds() const { return ShownCaseIds(Tree, showStyle_); }

int TFrmMain::SelectedCaseId() const {
    QTreeWidgetItem* n = Tree->currentItem();
    if (!n || !n->isSelected() || !IsCaseNode(n, showStyle_)) return -1;
    return CaseIdOf(n);
}

void TFrmMain::ShowTreeContent(const TTreeContent& content) {
    treeBusy_ = true;
    Tree->setRootIsDecorated(showStyle_ == kShowClassified);
    FillTree(Tree, content, showStyle_, [this](int left) {
        setWindowTitle(QString::number(left));
        QCoreApplication::processEvents();
    });
    Tree->resizeColumnToContents(0);
    treeBusy_ = false;
    shownCount_ = int(content.items.size());
    SetCountDisplay();
    setWindowTitle(QStringLiteral("澜川霁岚术1.6 "));
}

void TFrmMain::BuildTree(const std::vector<int>& ids) {
    setWindowTitle(QStringLiteral("数据处理....."));
    QCoreApplication::processEvents();
    TTreeContent content;
    if (store_) CollectTreeContent(*store_, ids, sort_, content);
    ShowTreeContent(content);
}

void TFrmMain::SetDisplay(int showStyle, int sort) {
    if (RefusedWhileBusy()) {
        SyncStyleChecks();
        return;
    }
    const std::vector<int> ids = ShownIds();  // read with the old style
    showStyle_ = showStyle == kShowList ? kShowList : kShowClassified;
    sort_ = sort >= 0 && sort <= 4 ? sort : 0;
    SyncStyleChecks();
    BuildTree(ids);
}

void TFrmMain::RefreshTree() {
    if (RefusedWhileBusy()) return;
    BuildTree(ShownIds());
}

void TFrmMain::FillMoveMenu() {
    MnuMoveTo->clear();
    QTreeWidgetItem* n = Tree->currentItem();
    if (!n || showStyle_ != kShowClassified || !IsCaseNode(n, showStyle_)) return;
    const QString own = n->parent()->text(0);
    for (QTreeWidgetItem* c : CategoryNodes(Tree, showStyle_))
        if (c->text(0) != own) MnuMoveTo->addAction(c->text(0));
}

void TFrmMain::MoveSelectedCase(const QString& category) {
    if (RefusedWhileBusy()) return;
    QTreeWidgetItem* n = Tree->currentItem();
    if (!store_ || !n || showStyle_ != kShowClassified || !IsCaseNode(n, showStyle_)) return;
    const int id = CaseIdOf(n);
    TRecordData r;
    if (!store_->ReadCase(id, r)) {
        Notice(this, QString::fromStdString(store_->LastError()));
        return;
    }
    r.category = category.toStdString();
    if (!store_->UpdateCase(id, r)) {
        Notice(this, QString::fromStdString(store_->LastError()));
        return;
    }
    QTreeWidgetItem* target = nullptr;
    for (QTreeWidgetItem* c : CategoryNodes(Tree, showStyle_))
        if (c->text(0) == category) {
            target = c;
            break;
        }
    if (!target) {
        target = NewCategoryNode(category);
        Tree->addTopLevelItem(target);
    }
    const QString text = n->text(0);
    delete n;
    if (id == currentId_ && storedCase_) storedCopy_.category = r.category;
    target->addChild(NewCaseNode(text, r.request.filled, id));
}

// ---------------------------------------------------------------- full loading

void TFrmMain::ShowAllCasesClick() {
    if (RefusedWhileBusy()) return;
    if (!store_ || store_->GetLastId() <= 0) {
        Notice(this, QStringLiteral("没有记录，无从查找。"));
        return;
    }
    loading_.reset();  // the previous thread has ended; release it
    stopLoading_ = false;
    setWindowTitle(QStringLiteral("加载....."));
    QCoreApplication::processEvents();
    treeBusy_ = true;

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
                    this, [this, left = total - done] { setWindowTitle(QString::number(left)); },
                    Qt::QueuedConnection);
            });
        }
        if (L->stop) return;
        QMetaObject::invokeMethod(
            this,
            [this, L, content] {
                if (loading_.get() != L || L->stop) return;
                ShowTreeContent(*content);
                if (savedState_ != -1) {
                    if (savedState_ == 2) setWindowState(windowState() | Qt::WindowMaximized);
                    if (savedState_ == 1) setWindowState(windowState() | Qt::WindowMinimized);
                    savedState_ = -1;
                }
                treeBusy_ = false;
            },
            Qt::QueuedConnection);
    });
    loading_ = loading;
    L->thread->start();
}

void TFrmMain::StopLoading() {
    if (!loading_) return;
    loading_.reset();  // sets the stop request and waits for the thread
    treeBusy_ = false;
}

}  // namespace qd
