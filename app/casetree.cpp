#include "app/casetree.h"

#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <algorithm>
#include <cctype>

#include "base/encoding.h"
#include "base/pinyin.h"
#include "calendar/yidate.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd {

namespace {

// Case-insensitive equality of Latin letters; other bytes compare exactly.
bool SameNameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int ReferencePosition(const std::string& ch) {
    const std::string& ref = SurnameReference();
    size_t i = 0;
    for (int pos = 1; i < ref.size(); ++pos) {
        const size_t start = i;
        NextCodePoint(ref, i);
        if (ref.compare(start, i - start, ch) == 0) return pos;
    }
    return 0;
}

}  // namespace

int32_t SurnameKey(const std::string& nameUtf8, const ImCode& im) {
    if (nameUtf8.empty()) return 0;
    size_t end = 0;
    NextCodePoint(nameUtf8, end);
    const std::string ch = nameUtf8.substr(0, end);
    const std::string gbk = Utf8ToGbk(ch);
    std::string code = im.Convert(gbk, 0);
    if (gbk.size() >= 2)
        for (char& c : code) c = char(std::toupper(static_cast<unsigned char>(c)));
    const int initial = code.empty() ? 32 : int(static_cast<signed char>(code[0]));
    return initial * 1000 + ReferencePosition(ch);
}

bool CaseSortKeys(const TRecordData& r, MYiDateEx& cal, const ImCode& im, double& timeKey, int32_t& surnameKey) {
    const TCastRequest& q = r.request;
    TDateTime t{q.year, q.month, q.day, q.hour, q.minute};
    if (q.lunar) {
        TDateTime solar;
        std::string message;
        if (!cal.SolarOfLunar(t, q.leap != 0, solar, message)) return false;
        solar.hour = q.hour;
        solar.minute = q.minute;
        t = solar;
    }
    timeKey = JulianDayOfRecord(t);
    surnameKey = SurnameKey(ReadGbkField(q.name), im);
    return true;
}

bool ComesBefore(const TCusTreeItem& a, const TCusTreeItem& b, int sort) {
    switch (sort) {
    case kSortTimeDesc:
        if (a.timeKey != b.timeKey) return a.timeKey > b.timeKey;
        return a.surnameKey < b.surnameKey;
    case kSortTimeAsc:
        if (a.timeKey != b.timeKey) return a.timeKey < b.timeKey;
        return a.surnameKey < b.surnameKey;
    case kSortSurnameAsc:
        if (a.surnameKey != b.surnameKey) return a.surnameKey < b.surnameKey;
        return a.timeKey > b.timeKey;
    case kSortSurnameDesc:
        if (a.surnameKey != b.surnameKey) return a.surnameKey > b.surnameKey;
        return a.timeKey > b.timeKey;
    default:
        return false;
    }
}

void InsertSorted(std::vector<TCusTreeItem>& items, TCusTreeItem item, int sort) {
    const auto at = std::upper_bound(items.begin(), items.end(), item, [sort](const TCusTreeItem& a, const TCusTreeItem& b) {
        return ComesBefore(a, b, sort);
    });
    items.insert(at, std::move(item));
}

bool CollectTreeContent(MRecordBase& store, const std::vector<int>& ids, int sort, TTreeContent& out,
                        const std::atomic<bool>* stop, const std::function<void(int, int)>& progress) {
    out = TTreeContent();
    std::vector<std::string> all;
    store.GetCategories(all);
    std::vector<int> counts(all.size(), 0);
    MYiDateEx cal;
    const ImCode im;
    bool complete = true;
    store.BeginBatch();
    for (size_t k = 0; k < ids.size(); ++k) {
        if (stop && stop->load()) {
            complete = false;
            break;
        }
        if (progress && k % 50 == 0) progress(int(k), int(ids.size()));
        TRecordData r;
        if (!store.ReadCase(ids[k], r)) continue;
        TCusTreeItem item;
        if (sort != kSortNone && !CaseSortKeys(r, cal, im, item.timeKey, item.surnameKey)) continue;
        item.id = r.id > 0 ? r.id : ids[k];
        item.text = CaseNodeText(r);
        item.category = r.category;
        item.flag = r.request.filled;
        for (size_t c = 0; c < all.size(); ++c)
            if (SameNameNoCase(all[c], item.category)) {
                ++counts[c];
                break;
            }
        if (sort == kSortNone)
            out.items.push_back(std::move(item));
        else
            InsertSorted(out.items, std::move(item), sort);
    }
    store.EndBatch();
    for (size_t c = 0; c < all.size(); ++c)
        if (counts[c] > 0) out.categories.push_back(all[c]);
    return complete;
}

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

QString CountText(int count) { return QStringLiteral("【 %1 条案例】").arg(count); }

}  // namespace qd
