// TCaseTree: the case tree on the left of the main window. It shows the
// stored cases of a list of case ids, grouped under their categories or as
// one list, in one of five orders; it is always built from an explicit id
// list, and case nodes are known to the rest of the window only by their
// case ids. It carries the busy mark while it is filled, including the full
// loading of all cases on a thread of its own.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/treecontent.h"

class QPoint;
class QTreeWidget;

namespace qd {

class MRecordBase;

class TCaseTree : public QWidget {
    Q_OBJECT
public:
    // `store` is the program-wide case store (may be null: no case file).
    explicit TCaseTree(MRecordBase* store, QWidget* parent = nullptr);
    // Waits for a running loading to end.
    ~TCaseTree() override;

    // Display style (kShowClassified, kShowList) and sort order (TSortOrder).
    int ShowStyle() const { return showStyle_; }
    int SortOrder() const { return sort_; }
    // Takes both for the next build.
    void SetOrder(int showStyle, int sort);
    // The "显示样式" submenu: the shown cases again in the new style and
    // order. Refused (false) while busy.
    bool SetDisplay(int showStyle, int sort);

    // Reads the listed cases from the store in one batch and shows them.
    void BuildTree(const std::vector<int>& ids);
    // "刷新显示": the shown cases built again.
    void RefreshTree();
    // "显示全部课例": every case, newest first, read on a thread through a
    // store of its own; busy until the tree is complete.
    void ShowAllCasesClick();
    // Sets the stop request of a running loading and waits for its end.
    void StopLoading();

    // The busy mark: set while the tree is filled or a loading runs.
    bool Busy() const { return busy_; }
    // While busy shows "请等待案例加载完毕！" and answers true.
    bool RefusedWhileBusy();

    // Ids of the case nodes in node order, and how many cases are shown.
    std::vector<int> ShownIds() const;
    int ShownCount() const { return shownCount_; }
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
    void ShowContent(const TTreeContent& content);
    void SetCount(int count);

    MRecordBase* store_;
    QTreeWidget* tree_ = nullptr;
    int showStyle_ = kShowList;
    int sort_ = kSortNone;
    bool busy_ = false;
    int shownCount_ = 0;
    std::shared_ptr<struct TCaseLoading> loading_;
};

}  // namespace qd
