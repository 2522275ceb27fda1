// SPDX-License-Identifier: GPL-3.0-or-later
// TCaseTreeModel: the case tree's rows for a QTreeView. In list display the
// cases are the top-level rows; in classified display the top-level rows
// are category nodes and the cases their children. The rows live in one
// compact array (TTreeRows), appended to batch by batch while a loading
// runs; the nodes hold only indices into it.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QStringList>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/treecontent.h"

namespace qd {

// Tree pictures: 0 and 1 a page, 2 a folder, 3 a closed book, 4 a page with
// a red mark.
const QIcon& TreeImage(int index);
// A case node's icon: its flag's page, the red-marked page when selected.
const QIcon& CaseNodeIcon(int flag);

class TCaseTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The case id of a case node (an int); none for a category node.
    static constexpr int kCaseIdRole = Qt::UserRole + 1;

    explicit TCaseTreeModel(QObject* parent = nullptr);

    int Style() const { return style_; }
    // Empties the tree and takes the display style (kShowClassified, kShowList)
    // and the store's category list (UTF-8) for the rows to come.
    void Reset(int showStyle, std::vector<std::string> storeCategories);
    // Adds rows after those shown. In classified display a row goes under
    // the first category node of exactly its category's name. The category
    // nodes are the store's categories that hold a row (matched without
    // regard to letter case), in stored order, followed by nodes for the
    // names no such node has, in the order they first appear.
    void Append(TTreeRows rows);

    // Case nodes, in node order.
    int CaseCount() const;
    std::vector<int> CaseIds() const;
    bool IsCase(const QModelIndex& index) const;
    // The case id of a case node, -1 for anything else.
    int CaseId(const QModelIndex& index) const;
    QString Text(const QModelIndex& index) const;
    // The first case node of the id.
    QModelIndex FindCase(int id) const;
    // Names of the category nodes in tree order; none in list display.
    QStringList CategoryNames() const;
    // The first category node of the name, compared exactly or without
    // regard to letter case.
    QModelIndex FindCategory(const QString& name, Qt::CaseSensitivity cs) const;

    // A case node added as the last child of the category node `category`
    // (classified display) or at the end (list display).
    QModelIndex AddCase(int id, const QString& text, int flag, const QModelIndex& category);
    // A new category node after the others (classified display).
    QModelIndex AddCategory(const QString& name);
    void SetCase(const QModelIndex& index, const QString& text, int flag);
    void RemoveCase(const QModelIndex& index);

    // Node texts of the rows, in the order they were added (for measuring),
    // and whether they are the children of category nodes.
    size_t RowCount() const { return rows_.items.size(); }
    std::string_view RowText(size_t k) const { return rows_.Text(rows_.items[k]); }

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // A category node; its children are indices into rows_.items.
    struct TNode {
        QString name;
        std::vector<uint32_t> members;
    };
    static constexpr uint32_t kNone = UINT32_MAX;

    bool Classified() const { return style_ == kShowClassified; }
    // The node of a category name of rows_ (by index), made when missing.
    uint32_t NodeOf(uint32_t category);
    uint32_t InsertNode(const QString& name, int position);
    int PositionOf(uint32_t node) const { return int(position_[node]); }
    // The list of rows a node index stands in: the top level in list display
    // or a category node's children; null for a category node itself.
    const std::vector<uint32_t>* SiblingsOf(const QModelIndex& index) const;
    std::vector<uint32_t>* SiblingsOf(const QModelIndex& index);
    const TCusTreeItem* ItemOf(const QModelIndex& index) const;
    uint32_t NewRow(int id, const QString& text, int flag);

    int style_ = kShowList;
    TTreeRows rows_;
    std::vector<uint32_t> list_;                       // list display: the top-level rows
    std::vector<TNode> nodes_;                         // category nodes in the order they were made
    std::vector<uint32_t> order_;                      // tree position → node
    std::vector<uint32_t> position_;                   // node → tree position
    std::vector<uint32_t> nodeOfCategory_;             // category of rows_ → node, kNone while unknown
    std::vector<std::string> store_;                   // the store's category list
    std::vector<uint32_t> storeNode_;                  // its node, kNone while it holds no row
    std::unordered_map<std::string, int> storeIndex_;  // folded name → first list position
};

}  // namespace qd
