// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/casetreemodel.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cctype>

namespace qd {

// ---------------------------------------------------------------- pictures

namespace {

// A 16 by 16 picture drawn by `draw` on a transparent ground.
template <class F>
QPixmap Picture(F draw) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    draw(g);
    return p;
}

QPixmap Page(bool redMark) {
    return Picture([redMark](QPainter& g) {
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
    });
}

QPixmap Folder() {
    return Picture([](QPainter& g) {
        g.setPen(QColor(150, 110, 20));
        g.setBrush(QColor(240, 200, 80));
        g.drawRect(1, 3, 6, 3);
        g.drawRect(1, 5, 13, 9);
    });
}

QPixmap Book() {
    return Picture([](QPainter& g) {
        g.setPen(QColor(60, 30, 30));
        g.setBrush(QColor(150, 40, 40));
        g.drawRect(3, 1, 10, 13);
        g.setPen(QColor(230, 200, 120));
        g.drawLine(5, 1, 5, 14);
    });
}

QIcon CaseIcon(int image) {
    QIcon icon;
    icon.addPixmap(TreeImage(image).pixmap(16, 16), QIcon::Normal);
    icon.addPixmap(TreeImage(4).pixmap(16, 16), QIcon::Selected);
    return icon;
}

// Letter case folded as the categories are matched: Latin letters only.
std::string Folded(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

const QIcon& TreeImage(int index) {
    static const std::vector<QIcon> images = {QIcon(Page(false)), QIcon(Page(false)), QIcon(Folder()),
                                              QIcon(Book()), QIcon(Page(true))};
    return images[size_t(std::clamp(index, 0, 4))];
}

const QIcon& CaseNodeIcon(int flag) {
    static const QIcon icons[2] = {CaseIcon(0), CaseIcon(1)};
    return icons[flag ? 1 : 0];
}

// ---------------------------------------------------------------- content

// Node indices: a top-level row has the internal id 0; a case under a
// category node has its node's number + 1, which stays the same when other
// category nodes are inserted before it.

TCaseTreeModel::TCaseTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void TCaseTreeModel::Reset(int showStyle, std::vector<std::string> storeCategories) {
    beginResetModel();
    style_ = showStyle == kShowClassified ? kShowClassified : kShowList;
    rows_ = TTreeRows();
    list_ = {};
    nodes_ = {};
    order_ = {};
    position_ = {};
    nodeOfCategory_ = {};
    store_ = std::move(storeCategories);
    storeNode_.assign(store_.size(), kNone);
    storeIndex_.clear();
    for (size_t s = 0; s < store_.size(); ++s) storeIndex_.try_emplace(Folded(store_[s]), int(s));
    endResetModel();
}

uint32_t TCaseTreeModel::InsertNode(const QString& name, int position) {
    const uint32_t node = uint32_t(nodes_.size());
    beginInsertRows({}, position, position);
    nodes_.push_back({name, {}});
    order_.insert(order_.begin() + position, node);
    position_.push_back(0);
    for (size_t p = size_t(position); p < order_.size(); ++p) position_[order_[p]] = uint32_t(p);
    endInsertRows();
    return node;
}

uint32_t TCaseTreeModel::NodeOf(uint32_t category) {
    if (category >= nodeOfCategory_.size()) nodeOfCategory_.resize(rows_.categories.size(), kNone);
    if (nodeOfCategory_[category] != kNone) return nodeOfCategory_[category];
    const std::string& name = rows_.categories[category];
    // The store's category this one counts for gets its node first, among
    // the other store categories in stored order.
    const auto s = storeIndex_.find(Folded(name));
    if (s != storeIndex_.end() && storeNode_[size_t(s->second)] == kNone) {
        int position = 0;
        for (int k = 0; k < s->second; ++k) position += storeNode_[size_t(k)] != kNone;
        storeNode_[size_t(s->second)] =
            InsertNode(QString::fromStdString(store_[size_t(s->second)]), position);
    }
    const QString qname = QString::fromStdString(name);
    uint32_t node = kNone;
    for (uint32_t n : order_)
        if (nodes_[n].name == qname) {
            node = n;
            break;
        }
    if (node == kNone) node = InsertNode(qname, int(order_.size()));
    nodeOfCategory_[category] = node;
    return node;
}

void TCaseTreeModel::Append(TTreeRows rows) {
    if (rows.items.empty()) return;
    const uint32_t first = uint32_t(rows_.items.size());
    rows_.AddAll(rows);
    rows = TTreeRows();
    const uint32_t end = uint32_t(rows_.items.size());
    if (!Classified()) {
        beginInsertRows({}, int(list_.size()), int(list_.size() + (end - first)) - 1);
        for (uint32_t r = first; r < end; ++r) list_.push_back(r);
        endInsertRows();
        return;
    }
    // Each node's new children in one insertion, nodes in the order the
    // rows first reach them.
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> added;
    std::vector<int> slot;
    for (uint32_t r = first; r < end; ++r) {
        const uint32_t node = NodeOf(rows_.items[r].category);
        if (node >= slot.size()) slot.resize(nodes_.size(), -1);
        if (slot[node] < 0) {
            slot[node] = int(added.size());
            added.push_back({node, {}});
        }
        added[size_t(slot[node])].second.push_back(r);
    }
    for (auto& [node, members] : added) {
        std::vector<uint32_t>& m = nodes_[node].members;
        beginInsertRows(index(PositionOf(node), 0), int(m.size()), int(m.size() + members.size()) - 1);
        m.insert(m.end(), members.begin(), members.end());
        endInsertRows();
    }
}

// ---------------------------------------------------------------- reading

const std::vector<uint32_t>* TCaseTreeModel::SiblingsOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return nullptr;
    if (!Classified()) return &list_;
    if (index.internalId() == 0) return nullptr;
    return &nodes_[index.internalId() - 1].members;
}

std::vector<uint32_t>* TCaseTreeModel::SiblingsOf(const QModelIndex& index) {
    return const_cast<std::vector<uint32_t>*>(std::as_const(*this).SiblingsOf(index));
}

const TCusTreeItem* TCaseTreeModel::ItemOf(const QModelIndex& index) const {
    const std::vector<uint32_t>* rows = SiblingsOf(index);
    if (!rows || index.row() < 0 || size_t(index.row()) >= rows->size()) return nullptr;
    return &rows_.items[(*rows)[size_t(index.row())]];
}

int TCaseTreeModel::CaseCount() const {
    if (!Classified()) return int(list_.size());
    size_t n = 0;
    for (const TNode& node : nodes_) n += node.members.size();
    return int(n);
}

std::vector<int> TCaseTreeModel::CaseIds() const {
    std::vector<int> ids;
    ids.reserve(size_t(CaseCount()));
    auto take = [&](const std::vector<uint32_t>& rows) {
        for (uint32_t r : rows) ids.push_back(rows_.items[r].id);
    };
    if (!Classified()) take(list_);
    for (uint32_t n : order_) take(nodes_[n].members);
    return ids;
}

bool TCaseTreeModel::IsCase(const QModelIndex& index) const { return ItemOf(index) != nullptr; }

int TCaseTreeModel::CaseId(const QModelIndex& index) const {
    const TCusTreeItem* it = ItemOf(index);
    return it ? it->id : -1;
}

QString TCaseTreeModel::Text(const QModelIndex& index) const {
    if (const TCusTreeItem* it = ItemOf(index)) {
        const std::string_view t = rows_.Text(*it);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    if (index.isValid() && Classified() && index.internalId() == 0 && size_t(index.row()) < order_.size())
        return nodes_[order_[size_t(index.row())]].name;
    return {};
}

QModelIndex TCaseTreeModel::FindCase(int id) const {
    auto find = [&](const std::vector<uint32_t>& rows, const QModelIndex& parent) -> QModelIndex {
        for (size_t k = 0; k < rows.size(); ++k)
            if (rows_.items[rows[k]].id == id) return index(int(k), 0, parent);
        return {};
    };
    if (!Classified()) return find(list_, {});
    for (size_t p = 0; p < order_.size(); ++p) {
        const QModelIndex found = find(nodes_[order_[p]].members, index(int(p), 0));
        if (found.isValid()) return found;
    }
    return {};
}

QStringList TCaseTreeModel::CategoryNames() const {
    QStringList names;
    if (Classified())
        for (uint32_t n : order_) names << nodes_[n].name;
    return names;
}

QModelIndex TCaseTreeModel::FindCategory(const QString& name, Qt::CaseSensitivity cs) const {
    if (!Classified()) return {};
    for (size_t p = 0; p < order_.size(); ++p)
        if (nodes_[order_[p]].name.compare(name, cs) == 0) return index(int(p), 0);
    return {};
}

// ---------------------------------------------------------------- changes

uint32_t TCaseTreeModel::NewRow(int id, const QString& text, int flag) {
    TCusTreeItem& it = rows_.Add(text.toStdString(), std::string_view());
    it.id = id;
    it.flag = uint8_t(flag ? 1 : 0);
    return uint32_t(rows_.items.size() - 1);
}

QModelIndex TCaseTreeModel::AddCategory(const QString& name) {
    if (!Classified()) return {};
    return index(PositionOf(InsertNode(name, int(order_.size()))), 0);
}

QModelIndex TCaseTreeModel::AddCase(int id, const QString& text, int flag, const QModelIndex& category) {
    QModelIndex parent;
    std::vector<uint32_t>* rows = &list_;
    if (Classified()) {
        if (!category.isValid() || category.model() != this || category.internalId() != 0) return {};
        parent = category;
        rows = &nodes_[order_[size_t(parent.row())]].members;
    }
    const uint32_t r = NewRow(id, text, flag);
    beginInsertRows(parent, int(rows->size()), int(rows->size()));
    rows->push_back(r);
    endInsertRows();
    return index(int(rows->size()) - 1, 0, parent);
}

void TCaseTreeModel::SetCase(const QModelIndex& index, const QString& text, int flag) {
    std::vector<uint32_t>* rows = SiblingsOf(index);
    if (!rows || size_t(index.row()) >= rows->size()) return;
    // The old text stays unused in the packed texts until the next build.
    TCusTreeItem& it = rows_.items[(*rows)[size_t(index.row())]];
    const std::string t = text.toStdString();
    it.textAt = uint32_t(rows_.texts.size());
    it.textLen = uint16_t(std::min<size_t>(t.size(), UINT16_MAX));
    rows_.texts.append(t, 0, it.textLen);
    it.flag = uint8_t(flag ? 1 : 0);
    emit dataChanged(index, index);
}

void TCaseTreeModel::RemoveCase(const QModelIndex& index) {
    std::vector<uint32_t>* rows = SiblingsOf(index);
    if (!rows || size_t(index.row()) >= rows->size()) return;
    beginRemoveRows(index.parent(), index.row(), index.row());
    rows->erase(rows->begin() + index.row());
    endRemoveRows();
}

// ---------------------------------------------------------------- the model

QModelIndex TCaseTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) {
        const size_t n = Classified() ? order_.size() : list_.size();
        return size_t(row) < n ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    }
    if (!Classified() || parent.internalId() != 0 || size_t(parent.row()) >= order_.size()) return {};
    const uint32_t node = order_[size_t(parent.row())];
    if (size_t(row) >= nodes_[node].members.size()) return {};
    return createIndex(row, 0, quintptr(node) + 1);
}

QModelIndex TCaseTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) return {};
    return createIndex(PositionOf(uint32_t(child.internalId() - 1)), 0, quintptr(0));
}

int TCaseTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return int(Classified() ? order_.size() : list_.size());
    if (!Classified() || parent.internalId() != 0 || size_t(parent.row()) >= order_.size()) return 0;
    return int(nodes_[order_[size_t(parent.row())]].members.size());
}

int TCaseTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TCaseTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant TCaseTreeModel::data(const QModelIndex& index, int role) const {
    const TCusTreeItem* it = ItemOf(index);
    switch (role) {
        case Qt::DisplayRole: return Text(index);
        case Qt::DecorationRole:
            if (it) return CaseNodeIcon(it->flag);
            return index.isValid() ? TreeImage(2) : QVariant();
        case kCaseIdRole: return it ? QVariant(it->id) : QVariant();
        default: return {};
    }
}

Qt::ItemFlags TCaseTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The view lays out a row without asking about children it cannot have.
    return IsCase(index) ? f | Qt::ItemNeverHasChildren : f;
}

}  // namespace qd
