// SPDX-License-Identifier: GPL-3.0-or-later
// TCaseSearch: the tree menu's searches over every stored case, the keyword
// search ("模糊查找") and the conditional search ("条件查找"). The hits are
// listed; the picked one joins the tree (alone or with the other hits, added
// to or replacing what it shows) and is opened.
#pragma once

#include <QObject>
#include <vector>

#include "store/criteria.h"

class QWidget;

namespace qd {

class MRecordBase;
class TCaseCommands;
class TCaseTree;

class TCaseSearch : public QObject {
    Q_OBJECT
public:
    // `store` may be null (no case file); dialogs and messages belong to
    // `window`, which also owns the search.
    TCaseSearch(MRecordBase* store, TCaseTree& tree, TCaseCommands& cases, QWidget* window);

    // The keyword search runs off the GUI thread; its hits are listed when
    // it ends (the tree is busy until then).
    void FuzzySearchClick();
    void SearchClick();
    // The hit list; its pick joins the tree and is opened.
    void ShowHits(const std::vector<int>& hits);
    // The conditions of the last conditional search, offered again by the
    // next; the first offers every province.
    TSearchCriteria& Criteria() { return criteria_; }

private:
    MRecordBase* store_;
    TCaseTree& tree_;
    TCaseCommands& cases_;
    QWidget* window_;
    TSearchCriteria criteria_{};
};

}  // namespace qd
