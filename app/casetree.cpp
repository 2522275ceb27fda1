// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/casetree.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <unordered_map>

#include "app/casetreemodel.h"
#include "app/messages.h"
#include "app/widgets.h"
#include "base/encoding.h"
#include "store/case_rows.h"
#include "store/record_base.h"

namespace qd {

namespace {

// Rows per batch of the full loading: a batch costs the GUI thread well
// under a millisecond to take, and the view one layout and paint.
constexpr size_t kBatchRows = 4096;
// Longer lists are built on a thread (RebuildTree): a build on the GUI
// thread costs it about 5 ms per 1000 cases.
constexpr size_t kSyncBuildRows = 5000;

QString Caption() { return QStringLiteral("澜川霁岚术1.6 "); }

}  // namespace

// Widths of node texts in the tree's font, summed from the advances of
// their characters: measuring each of 100 000 lines exactly would take
// seconds, the sum a few milliseconds. Ideographs share one advance.
struct TTextWidths {
    explicit TTextWidths(const QFont& f) : font(f), metrics(f) {
        for (int c = 0; c < 128; ++c) ascii[c] = metrics.horizontalAdvance(QChar(c));
        ideograph = metrics.horizontalAdvance(QChar(0x4E2D));
    }
    int Of(std::string_view s) {
        int w = 0;
        for (size_t i = 0; i < s.size();) {
            const unsigned char b = static_cast<unsigned char>(s[i]);
            if (b < 0x80) {
                w += ascii[b];
                ++i;
                continue;
            }
            const char32_t cp = NextCodePoint(s, i);
            if (cp >= 0x4E00 && cp <= 0x9FFF) {
                w += ideograph;
                continue;
            }
            auto [at, fresh] = other.try_emplace(cp, 0);
            if (fresh) at->second = metrics.horizontalAdvance(QString::fromUcs4(&cp, 1));
            w += at->second;
        }
        return w;
    }

    QFont font;
    QFontMetrics metrics;
    int ascii[128];
    int ideograph;
    std::unordered_map<char32_t, int> other;
};

TCaseTree::TCaseTree(MRecordBase* store, QWidget* parent) : QWidget(parent), store_(store) {
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    model_ = new TCaseTreeModel(this);
    view_ = Named(new QTreeView(this), "Tree");
    view_->setHeaderHidden(true);
    view_->setUniformRowHeights(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    view_->setIconSize(QSize(16, 16));
    // Long node texts scroll sideways rather than being cut short; the
    // column is as wide as the widest line (FitColumn).
    view_->setTextElideMode(Qt::ElideNone);
    view_->header()->setStretchLastSection(false);
    view_->setModel(model_);
    lay->addWidget(view_);
    setMinimumWidth(30);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { emit contextMenuRequested(view_->viewport()->mapToGlobal(p)); });
    connect(view_, &QTreeView::doubleClicked, this, [this] { emit caseActivated(); });
}

// Only the thread is stopped here: the window the signals go to is being
// taken apart.
TCaseTree::~TCaseTree() {
    if (task_) task_->Stop();
}

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

void TCaseTree::ResetContent(std::vector<std::string> storeCategories) {
    model_->Reset(showStyle_, std::move(storeCategories));
    view_->setRootIsDecorated(showStyle_ == kShowClassified);
    widestCase_ = 0;
}

void TCaseTree::MeasureRows(size_t from) {
    if (!widths_ || widths_->font != view_->font()) {
        widths_ = std::make_unique<TTextWidths>(view_->font());
        widestCase_ = 0;
        from = 0;
    }
    int widest = widestCase_;
    size_t best = SIZE_MAX;
    for (size_t k = from; k < model_->RowCount(); ++k) {
        const int w = widths_->Of(model_->RowText(k));
        if (w > widest) {
            widest = w;
            best = k;
        }
    }
    // The widest line measured exactly too, in case shaping makes it wider.
    if (best != SIZE_MAX) {
        const std::string_view t = model_->RowText(best);
        widest = std::max(
            widest, widths_->metrics.horizontalAdvance(QString::fromUtf8(t.data(), qsizetype(t.size()))));
    }
    widestCase_ = widest;
}

void TCaseTree::ApplyColumnWidth() {
    int widestCategory = 0;
    for (const QString& name : model_->CategoryNames())
        widestCategory = std::max(widestCategory, widths_->metrics.horizontalAdvance(name));
    // The picture and margins the item delegate puts around a text.
    const QModelIndex probe = model_->index(0, 0);
    const int around = probe.isValid() ? view_->sizeHintForIndex(probe).width() -
                                             widths_->metrics.horizontalAdvance(model_->Text(probe))
                                       : 0;
    // Case nodes are indented one step in classified display, and the
    // branch decoration takes one step before every node there.
    const int step = showStyle_ == kShowClassified ? view_->indentation() : 0;
    const int width = std::max(widestCase_ + 2 * step, widestCategory + step) + std::max(around, 0);
    view_->header()->resizeSection(0, width);
}

void TCaseTree::FitColumn(size_t from) {
    MeasureRows(from);
    ApplyColumnWidth();
}

void TCaseTree::FinishBuild() {
    SetCount(model_->CaseCount());
    window()->setWindowTitle(Caption());
}

void TCaseTree::BuildTree(const std::vector<int>& ids) {
    window()->setWindowTitle(QStringLiteral("数据处理....."));
    QCoreApplication::processEvents();
    busy_ = true;
    std::vector<std::string> categories;
    TTreeRows rows;
    if (store_) {
        store_->GetCategories(categories);
        CollectTreeRows(*store_, ListedCases(ids), sort_, rows);
    }
    ShowRows(std::move(categories), std::move(rows));
    busy_ = false;
}

void TCaseTree::ShowRows(std::vector<std::string> storeCategories, TTreeRows rows) {
    ResetContent(std::move(storeCategories));
    model_->Append(std::move(rows));
    FitColumn(0);
    FinishBuild();
}

bool TCaseTree::SetDisplay(int showStyle, int sort) {
    if (RefusedWhileBusy()) return false;
    std::vector<int> ids = ShownIds();  // read with the old style
    SetOrder(showStyle, sort);
    emit displayChanged();
    RebuildTree(std::move(ids));
    return true;
}

void TCaseTree::RefreshTree() {
    if (RefusedWhileBusy()) return;
    RebuildTree(ShownIds());
}

// ---------------------------------------------------------------- off the GUI thread

bool TCaseTree::RunWhileBusy(TStoreTask::TWork work, TStoreTask::TDone done, std::function<void()> stopped) {
    if (RefusedWhileBusy()) return false;
    if (!store_) return false;
    task_.reset();  // the previous task has ended; release its thread
    busy_ = true;
    stopped_ = std::move(stopped);
    task_ = std::make_unique<TStoreTask>(*store_, this, std::move(work),
                                         [this, done = std::move(done)](const std::string& error) {
                                             busy_ = false;
                                             stopped_ = nullptr;
                                             done(error);
                                         });
    return true;
}

void TCaseTree::ShowAllCasesClick() {
    if (RefusedWhileBusy()) return;
    if (!store_ || store_->GetLastId() <= 0) {
        Notice(window(), QStringLiteral("没有记录，无从查找。"));
        return;
    }
    Load(std::nullopt, [this] { emit loadingFinished(); });
}

void TCaseTree::RebuildTree(std::vector<int> ids, std::function<void()> then) {
    if (ids.size() <= kSyncBuildRows || !store_) {
        BuildTree(ids);
        if (then) then();
        return;
    }
    Load(std::move(ids), std::move(then));
}

void TCaseTree::Load(std::optional<std::vector<int>> listed, std::function<void()> then) {
    window()->setWindowTitle(listed ? QStringLiteral("数据处理.....") : QStringLiteral("加载....."));
    QCoreApplication::processEvents();

    // The tree shown stays until the first batch arrives; that batch brings
    // the category list read by the thread.
    auto shown = std::make_shared<bool>(false);  // GUI thread only
    auto ids = listed ? std::make_shared<const std::vector<int>>(std::move(*listed)) : nullptr;
    const int sort = sort_;
    auto work = [this, sort, shown, ids](MRecordBase& own, const TStoreTask::TPost& post,
                                         const std::atomic<bool>& stop) {
        std::optional<std::vector<std::string>> categories(std::in_place);
        own.GetCategories(*categories);
        auto hand = [&](TTreeRows rows, size_t left) {
            auto batch = std::make_shared<TTreeRows>(std::move(rows));
            post([this, shown, batch, left, first = std::move(categories)]() mutable {
                if (first) ResetContent(std::move(*first));
                *shown = true;
                const size_t from = model_->RowCount();
                model_->Append(std::move(*batch));
                FitColumn(from);
                window()->setWindowTitle(QString::number(left));
            });
            categories.reset();
        };
        const size_t total = ids ? ids->size() : size_t(std::max(own.GetLastId(), 0));
        const TCaseSelection which = ids ? ListedCases(*ids) : NewestCases(own.GetLastId());
        if (!ids && sort == kSortNone) {
            // Every case newest first, as it is read.
            CTreeRowMaker maker(sort);
            TTreeRows rows;
            size_t read = 0;
            ForEachCaseSummary(own, which, [&](const TCaseSummary& c) {
                if (stop) return false;
                maker.Add(c, rows);
                if (++read % kBatchRows == 0) {
                    hand(std::move(rows), total - std::min(total, read));
                    rows = TTreeRows();
                }
                return true;
            });
            if (!stop && !rows.items.empty()) hand(std::move(rows), 0);
            return;
        }
        // Sorted or listed: read everything, then hand slices in order.
        TTreeRows rows;
        CollectTreeRows(own, which, sort, rows, &stop, [&](size_t read) {
            post([this, left = total - std::min(total, read)] {
                window()->setWindowTitle(QString::number(left));
            });
        });
        const size_t n = rows.items.size();
        for (size_t from = 0; from < n && !stop; from += kBatchRows)
            hand(RowsSlice(rows, from, from + kBatchRows), n - std::min(n, from + kBatchRows));
    };
    auto done = [this, shown, then = std::move(then)](const std::string& error) {
        if (!*shown) ResetContent({});
        loading_ = false;
        FinishBuild();
        if (!error.empty()) Notice(window(), QString::fromStdString(error));
        if (then) then();
    };
    if (!RunWhileBusy(std::move(work), std::move(done))) return;
    loading_ = true;
}

void TCaseTree::StopLoading() {
    if (!task_) return;
    const bool running = task_->Running();
    task_->Stop();
    task_.reset();
    if (!running) return;
    busy_ = false;
    // What a stopped loading showed stays, and so does its count.
    if (loading_) FinishBuild();
    loading_ = false;
    if (auto stopped = std::move(stopped_)) stopped();
    stopped_ = nullptr;
}

// ---------------------------------------------------------------- nodes

std::vector<int> TCaseTree::ShownIds() const { return model_->CaseIds(); }

QStringList TCaseTree::CategoryNames() const { return model_->CategoryNames(); }

QString TCaseTree::CaseText(int id) const { return model_->Text(model_->FindCase(id)); }

int TCaseTree::SelectedCaseId() const {
    const QModelIndex n = view_->currentIndex();
    if (!n.isValid() || !view_->selectionModel()->isSelected(n)) return -1;
    return model_->CaseId(n);
}

QString TCaseTree::SelectedCaseText() const { return model_->Text(view_->currentIndex()); }

bool TCaseTree::SelectCase(int id) {
    const QModelIndex n = model_->FindCase(id);
    if (!n.isValid()) return false;
    view_->setFocus();
    view_->setCurrentIndex(n);
    view_->selectionModel()->select(n, QItemSelectionModel::ClearAndSelect);
    return true;
}

int TCaseTree::MovableCaseId() const {
    if (showStyle_ != kShowClassified) return -1;
    return model_->CaseId(view_->currentIndex());
}

QStringList TCaseTree::MoveTargets() const {
    QStringList out;
    if (MovableCaseId() == -1) return out;
    const QString own = model_->Text(view_->currentIndex().parent());
    for (const QString& c : model_->CategoryNames())
        if (c != own) out << c;
    return out;
}

void TCaseTree::AddCase(int id, const QString& text, int flag, const QString& category) {
    SetCount(shownCount_ + 1);
    QModelIndex parent;
    if (showStyle_ == kShowClassified) {
        parent = model_->FindCategory(category, Qt::CaseInsensitive);
        if (!parent.isValid()) parent = model_->AddCategory(category);
    }
    const size_t from = model_->RowCount();
    model_->AddCase(id, text, flag, parent);
    if (parent.isValid()) view_->expand(parent);
    FitColumn(from);
}

bool TCaseTree::UpdateCase(int id, const QString& text, int flag) {
    const QModelIndex n = model_->FindCase(id);
    if (!n.isValid()) return false;
    model_->SetCase(n, text, flag);
    if (n.parent().isValid()) view_->expand(n.parent());
    MeasureRows(model_->RowCount());
    widestCase_ = std::max(widestCase_, widths_->metrics.horizontalAdvance(text));
    ApplyColumnWidth();
    return true;
}

void TCaseTree::RemoveSelectedCase() {
    model_->RemoveCase(view_->currentIndex());
    SetCount(shownCount_ - 1);
}

void TCaseTree::MoveSelectedCase(const QString& category, int flag) {
    const int id = MovableCaseId();
    if (id == -1) return;
    const QString text = model_->Text(view_->currentIndex());
    model_->RemoveCase(view_->currentIndex());
    QModelIndex target = model_->FindCategory(category, Qt::CaseSensitive);
    if (!target.isValid()) target = model_->AddCategory(category);
    const size_t from = model_->RowCount();
    model_->AddCase(id, text, flag, target);
    FitColumn(from);
}

}  // namespace qd
