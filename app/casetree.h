// SPDX-License-Identifier: GPL-3.0-or-later
// TCaseTree: the case tree on the left of the main window. It shows the
// stored cases of a list of case ids, grouped under their categories or as
// one list, in one of five orders; it is always built from an explicit id
// list, and case nodes are known to the rest of the window only by their
// case ids. It carries the busy mark while it is filled, including the full
// loading of all cases on a thread of its own, and while a search runs off
// the GUI thread on its behalf.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/storetask.h"
#include "app/treecontent.h"

class QPoint;
class QTreeView;

namespace qd {

class MRecordBase;
class TCaseTreeModel;

class TCaseTree : public QWidget {
    Q_OBJECT
public:
    // `store` is the program-wide case store (may be null: no case file).
    explicit TCaseTree(MRecordBase* store, QWidget* parent = nullptr);
    // Stops a running loading or search.
    ~TCaseTree() override;

    // Display style (kShowClassified, kShowList) and sort order (TSortOrder).
    int ShowStyle() const { return showStyle_; }
    int SortOrder() const { return sort_; }
    // Takes both for the next build.
    void SetOrder(int showStyle, int sort);
    // The "显示样式" submenu: the shown cases again in the new style and
    // order (RebuildTree). Refused (false) while busy.
    bool SetDisplay(int showStyle, int sort);

    // Reads the listed cases from the store with one statement and shows them.
    void BuildTree(const std::vector<int>& ids);
    // Shows rows already made, in their order, with the store's category
    // list (UTF-8): what a build does after reading.
    void ShowRows(std::vector<std::string> storeCategories, TTreeRows rows);
    // Builds like BuildTree, a long list on a thread as the full loading
    // does; `then` runs once the tree is complete (not when it is stopped).
    void RebuildTree(std::vector<int> ids, std::function<void()> then = {});
    // "刷新显示": the shown cases built again.
    void RefreshTree();
    // "显示全部课例": every case, newest first, read on a thread through a
    // store of its own and shown batch by batch; busy until the tree is
    // complete.
    void ShowAllCasesClick();
    // Runs `work` off the GUI thread through a store of its own while the
    // busy mark is set; then clears the mark and calls `done` with the work's
    // error (empty on success), or `stopped` instead when StopLoading ended
    // it. Refused (false) while busy.
    bool RunWhileBusy(TStoreTask::TWork work, TStoreTask::TDone done, std::function<void()> stopped = {});
    // Sets the stop request of a running loading or search and waits for
    // its end.
    void StopLoading();

    // The busy mark: set while the tree is filled, a loading or a search runs.
    bool Busy() const { return busy_; }
    // A full loading or a build on a thread runs.
    bool Loading() const { return loading_; }
    // While busy shows "请等待案例加载完毕！" and answers true.
    bool RefusedWhileBusy();

    // Ids of the case nodes in node order, and how many cases are shown.
    std::vector<int> ShownIds() const;
    int ShownCount() const { return shownCount_; }
    // Names of the category nodes in tree order; none in list display.
    QStringList CategoryNames() const;
    // The node text of a shown case; empty when it is not shown.
    QString CaseText(int id) const;
    // The selected case, -1 when no case node is selected.
    int SelectedCaseId() const;
    QString SelectedCaseText() const;
    // Makes a shown case the selected one; false when it is not shown.
    bool SelectCase(int id);
    // The case "移动到" moves: the current case node in classified display;
    // -1 in list display or without one.
    int MovableCaseId() const;
    // Categories it can be moved to: the other category nodes, in tree order.
    QStringList MoveTargets() const;

    // The tree follows what the case commands did to the store.
    // A new case node under its category (found without regard to letter
    // case, appended when missing); the count rises by one.
    void AddCase(int id, const QString& text, int flag, const QString& category);
    // A changed case's node text and picture; false when it is not shown.
    bool UpdateCase(int id, const QString& text, int flag);
    // The selected case node goes; the count falls by one.
    void RemoveSelectedCase();
    // The movable case node goes under another category node.
    void MoveSelectedCase(const QString& category, int flag);

signals:
    // A double click on a node.
    void caseActivated();
    // A right click, at a global position.
    void contextMenuRequested(const QPoint& at);
    void countChanged(int count);
    // The display style or sort order changed.
    void displayChanged();
    // A full loading has filled the tree.
    void loadingFinished();

private:
    void SetCount(int count);
    // Empties the tree for a build in the present style.
    void ResetContent(std::vector<std::string> storeCategories);
    // Sizes the column to the widest node text from row `from` on (of the
    // rows in the order they were added), so that whole lines show, with a
    // horizontal scroll bar when they are wider than the tree.
    void FitColumn(size_t from);
    void MeasureRows(size_t from);
    void ApplyColumnWidth();
    void FinishBuild();
    // Reads every case (no list) or the listed ones on a thread and shows
    // them batch by batch; busy until the tree is complete, then `then`.
    void Load(std::optional<std::vector<int>> listed, std::function<void()> then);

    MRecordBase* store_;
    TCaseTreeModel* model_ = nullptr;
    QTreeView* view_ = nullptr;
    int showStyle_ = kShowList;
    int sort_ = kSortNone;
    bool busy_ = false;
    bool loading_ = false;
    int shownCount_ = 0;
    int widestCase_ = 0;  // the widest case node text, in pixels
    std::unique_ptr<struct TTextWidths> widths_;
    std::unique_ptr<TStoreTask> task_;
    std::function<void()> stopped_;  // what a stop of the running task undoes
};

}  // namespace qd
