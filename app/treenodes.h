// The nodes of the case tree's QTreeWidget: category nodes at the top level
// in classified display, case nodes holding their case id, the pictures, and
// filling and searching the widget. Used only by TCaseTree (and the tests).
#pragma once

#include <QIcon>
#include <QString>
#include <functional>
#include <vector>

#include "app/treecontent.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace qd {

// Tree pictures: 0 and 1 a page, 2 a folder, 3 a closed book, 4 a page with
// a red mark.
const QIcon& TreeImage(int index);
// A case node's icon: its flag's page, the red-marked page when selected.
QIcon CaseNodeIcon(int flag);

// Roles of the node data.
constexpr int kCaseIdRole = Qt::UserRole + 1;

QTreeWidgetItem* NewCategoryNode(const QString& name);
QTreeWidgetItem* NewCaseNode(const QString& text, int flag, int id);
// Removes all nodes and adds the content; `progress` gets the number of
// items still to add, every 50 items.
void FillTree(QTreeWidget* tree, const TTreeContent& content, int showStyle,
              const std::function<void(int left)>& progress = {});
bool IsCaseNode(const QTreeWidgetItem* node, int showStyle);
std::vector<int> ShownCaseIds(const QTreeWidget* tree, int showStyle);
int CaseIdOf(const QTreeWidgetItem* node);
QTreeWidgetItem* FindCaseNode(const QTreeWidget* tree, int id, int showStyle);
// Level-0 nodes in classified display; none in list display.
std::vector<QTreeWidgetItem*> CategoryNodes(const QTreeWidget* tree, int showStyle);

}  // namespace qd
