#include "app/treenodes.h"

#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <algorithm>

namespace qd {

// ---------------------------------------------------------------- pictures

namespace {

QPixmap Page(bool redMark) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(90, 90, 90));
    g.setBrush(Qt::white);
    g.drawRect(2, 1, 11, 13);
    g.setPen(QColor(70, 110, 170));
    for (int y = 4; y <= 11; y += 2) g.drawLine(4, y, 11, y);
    if (redMark) {
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(220, 20, 20));
        g.drawEllipse(QPoint(12, 12), 3, 3);
    }
    return p;
}

QPixmap Folder() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(150, 110, 20));
    g.setBrush(QColor(240, 200, 80));
    g.drawRect(1, 3, 6, 3);
    g.drawRect(1, 5, 13, 9);
    return p;
}

QPixmap Book() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setPen(QColor(60, 30, 30));
    g.setBrush(QColor(150, 40, 40));
    g.drawRect(3, 1, 10, 13);
    g.setPen(QColor(230, 200, 120));
    g.drawLine(5, 1, 5, 14);
    return p;
}

}  // namespace

const QIcon& TreeImage(int index) {
    static const std::vector<QIcon> images = {QIcon(Page(false)), QIcon(Page(false)), QIcon(Folder()),
                                              QIcon(Book()), QIcon(Page(true))};
    return images[size_t(std::clamp(index, 0, 4))];
}

QIcon CaseNodeIcon(int flag) {
    QIcon icon;
    icon.addPixmap(TreeImage(flag ? 1 : 0).pixmap(16, 16), QIcon::Normal);
    icon.addPixmap(TreeImage(4).pixmap(16, 16), QIcon::Selected);
    return icon;
}

// ---------------------------------------------------------------- nodes

QTreeWidgetItem* NewCategoryNode(const QString& name) {
    auto* n = new QTreeWidgetItem(QStringList{name});
    n->setIcon(0, TreeImage(2));
    return n;
}

QTreeWidgetItem* NewCaseNode(const QString& text, int flag, int id) {
    auto* n = new QTreeWidgetItem(QStringList{text});
    n->setIcon(0, CaseNodeIcon(flag));
    n->setData(0, kCaseIdRole, id);
    return n;
}

void FillTree(QTreeWidget* tree, const TTreeContent& content, int showStyle, const std::function<void(int)>& progress) {
    tree->clear();
    const bool classified = showStyle == kShowClassified;
    if (classified)
        for (const std::string& c : content.categories) tree->addTopLevelItem(NewCategoryNode(QString::fromStdString(c)));
    tree->setEnabled(false);
    tree->setUpdatesEnabled(false);
    const int n = int(content.items.size());
    for (int k = 0; k < n; ++k) {
        if (progress && k % 50 == 0) progress(n - k);
        const TCusTreeItem& it = content.items[size_t(k)];
        QTreeWidgetItem* node = NewCaseNode(QString::fromStdString(it.text), it.flag, it.id);
        if (!classified) {
            tree->addTopLevelItem(node);
            continue;
        }
        const QString cat = QString::fromStdString(it.category);
        QTreeWidgetItem* parent = nullptr;
        for (int i = 0; i < tree->topLevelItemCount() && !parent; ++i)
            if (tree->topLevelItem(i)->text(0) == cat) parent = tree->topLevelItem(i);
        if (!parent) {
            parent = NewCategoryNode(cat);
            tree->addTopLevelItem(parent);
        }
        parent->addChild(node);
    }
    tree->setUpdatesEnabled(true);
    tree->setEnabled(true);
}

bool IsCaseNode(const QTreeWidgetItem* node, int showStyle) {
    if (!node) return false;
    const int level = node->parent() ? 1 : 0;
    return level == (showStyle == kShowClassified ? 1 : 0);
}

int CaseIdOf(const QTreeWidgetItem* node) { return node ? node->data(0, kCaseIdRole).toInt() : -1; }

std::vector<int> ShownCaseIds(const QTreeWidget* tree, int showStyle) {
    std::vector<int> ids;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        if (showStyle == kShowClassified) {
            for (int j = 0; j < top->childCount(); ++j) ids.push_back(CaseIdOf(top->child(j)));
        } else {
            ids.push_back(CaseIdOf(top));
        }
    }
    return ids;
}

QTreeWidgetItem* FindCaseNode(const QTreeWidget* tree, int id, int showStyle) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree->topLevelItem(i);
        if (showStyle == kShowClassified) {
            for (int j = 0; j < top->childCount(); ++j)
                if (CaseIdOf(top->child(j)) == id) return top->child(j);
        } else if (CaseIdOf(top) == id) {
            return top;
        }
    }
    return nullptr;
}

std::vector<QTreeWidgetItem*> CategoryNodes(const QTreeWidget* tree, int showStyle) {
    std::vector<QTreeWidgetItem*> nodes;
    if (showStyle != kShowClassified) return nodes;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) nodes.push_back(tree->topLevelItem(i));
    return nodes;
}

}  // namespace qd
