// SPDX-License-Identifier: GPL-3.0-or-later
// The case tree's model and view: the five orders and both styles against a
// reference build, the full loading and long rebuilds batch by batch, whole
// case lines, and the node pictures.
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeView>
#include <QtTest>
#include <algorithm>
#include <cctype>
#include <memory>

#include "app/casetree.h"
#include "app/casetreemodel.h"
#include "app/frmmain.h"
#include "app_fixture.h"
#include "base/encoding.h"
#include "base/pinyin.h"
#include "calendar/julian.h"
#include "calendar/yidate.h"
#include "store/record_base.h"

using namespace qd;
using namespace qdtest;

namespace {

const std::vector<std::string> kStoreCategories = {"婚姻", "财运", "Money"};

// ---------------------------------------------------------------- reference

// A case as the reference build sees it.
struct TRef {
    int id = 0;
    std::string category;
    double time = 0;
    int32_t surname = 0;
};

// Sorted insertion as the tree once did it: a binary search on the main
// key; among equal main keys, after every item that the tie rule does not
// put after the new one.
void ReferenceInsert(std::vector<TRef>& items, const TRef& item, int sort) {
    const bool byTime = sort == kSortTimeDesc || sort == kSortTimeAsc;
    // < 0: a belongs before b by the main key, > 0 after, 0 equal.
    auto main = [&](const TRef& a, const TRef& b) {
        if (byTime) {
            if (a.time == b.time) return 0;
            return (sort == kSortTimeDesc ? a.time > b.time : a.time < b.time) ? -1 : 1;
        }
        if (a.surname == b.surname) return 0;
        return (sort == kSortSurnameAsc ? a.surname < b.surname : a.surname > b.surname) ? -1 : 1;
    };
    // x comes after `item` by the tie rule: surname ascending, or time descending.
    auto tieAfter = [&](const TRef& x) { return byTime ? x.surname > item.surname : x.time < item.time; };
    int low = 0, high = int(items.size()) - 1;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const int c = main(item, items[size_t(mid)]);
        if (c < 0) {
            high = mid - 1;
        } else if (c > 0) {
            low = mid + 1;
        } else {
            int k = mid;
            while (k > 0 && main(items[size_t(k - 1)], item) == 0) --k;
            while (k < int(items.size()) && main(items[size_t(k)], item) == 0 && !tieAfter(items[size_t(k)]))
                ++k;
            items.insert(items.begin() + k, item);
            return;
        }
    }
    items.insert(items.begin() + low, item);
}

bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The ids a build shows: each listed case read on its own, its keys from
// the calendar directly, inserted one by one; in classified display under
// the store's categories that hold a case, then the others as they come.
std::vector<int> ReferenceIds(MRecordBase& store, const std::vector<int>& ids, int style, int sort) {
    MYiDateEx cal;
    const ImCode im;
    std::vector<TRef> items;
    store.BeginBatch();
    for (int id : ids) {
        TRecordData r;
        if (!store.ReadCaseInBatch(id, r)) continue;
        const TCastRequest& q = r.request;
        TRef it{id, r.category, 0, 0};
        if (sort != kSortNone) {
            TDateTime t{q.year, q.month, q.day, q.hour, q.minute};
            if (q.lunar) {
                TDateTime solar;
                std::string message;
                if (!cal.SolarOfLunar(t, q.leap != 0, solar, message)) continue;
                t = {solar.year, solar.month, solar.day, q.hour, q.minute};
            }
            it.time = JulianDayOfRecord(t);
            it.surname = SurnameKey(ReadGbkField(q.name), im);
        }
        if (sort == kSortNone)
            items.push_back(it);
        else
            ReferenceInsert(items, it, sort);
    }
    store.EndBatch();
    std::vector<int> out;
    if (style == kShowList) {
        for (const TRef& it : items) out.push_back(it.id);
        return out;
    }
    std::vector<std::string> nodes;
    for (const std::string& c : kStoreCategories)
        if (std::any_of(items.begin(), items.end(), [&](const TRef& it) {
                // A case counts for the first store category of its name.
                const auto first =
                    std::find_if(kStoreCategories.begin(), kStoreCategories.end(),
                                 [&](const std::string& s) { return SameNoCase(s, it.category); });
                return first != kStoreCategories.end() && *first == c;
            }))
            nodes.push_back(c);
    for (const TRef& it : items)
        if (std::find(nodes.begin(), nodes.end(), it.category) == nodes.end()) nodes.push_back(it.category);
    for (const std::string& n : nodes)
        for (const TRef& it : items)
            if (it.category == n) out.push_back(it.id);
    return out;
}

// ---------------------------------------------------------------- cases

TRecordData Case(const std::string& name, bool lunar, int y, int mo, int d, int h, int mi, bool leap,
                 const std::string& category, const std::string& question = "问事") {
    TRecordData r = CaseRecord(name, y, mo, d, h, mi, category);
    WriteGbkField(r.request.question, question);
    r.request.lunar = lunar;
    r.request.leap = leap;
    return r;
}

// Case k of a set full of ties: few distinct minutes, surnames of equal
// keys, lunar dates (some that do not exist) landing on the same minutes as
// civil ones, Latin, unknown and missing initials.
TRecordData VariedCase(int k) {
    static const char* const kNames[] = {"李四", "李二", "刘五", "张三", "张",   "a",      "abc", "A",
                                         "Zed",  " x",   "",     "①号",  "乙丙", "欧阳修", "李",  "赵"};
    static const char* const kCategories[] = {"婚姻", "财运", "Money", "money", "其他"};
    uint32_t seed = uint32_t(k) * 2654435761u + 7;
    auto pick = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    const std::string name = kNames[pick(16)];
    const std::string category = kCategories[pick(5)];
    const int minute = int(pick(2)) * 30;
    switch (pick(6)) {
        case 0:  // the lunar new year 2000 is 2000-02-05
            return Case(name, true, 2000, 1, 1, 10, minute, false, category);
        case 1: return Case(name, false, 2000, 2, 5, 10, minute, false, category);
        case 2:  // 2001 has a leap fourth month, 2000 none; 2000's twelfth month has 29 days
            switch (pick(4)) {
                case 0: return Case(name, true, 2001, 4, 10, 10, minute, false, category);
                case 1: return Case(name, true, 2001, 4, 10, 10, minute, true, category);
                case 2: return Case(name, true, 2000, 4, 10, 10, minute, true, category);
                default: return Case(name, true, 2000, 12, 30, 10, minute, false, category);
            }
        default:
            return Case(name, false, 2000 + int(pick(2)), 1 + int(pick(2)), 1, 10, minute, false, category);
    }
}

}  // namespace

class TCaseTreeTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<MRecordBase> store_;
    std::unique_ptr<TScriptedMessenger> msgs_;

    void AddCases(int count, TRecordData (*make)(int)) {
        QVERIFY(store_->BeginBatch());
        for (int k = 0; k < count; ++k) {
            TRecordData r = make(k);
            QVERIFY(store_->AddCaseInBatch(r) > 0);
        }
        QVERIFY(store_->EndBatch());
    }

private slots:
    void init() {
        folder_ = NewAppFolder(dir_ = QTemporaryDir(), true);
        msgs_ = std::make_unique<TScriptedMessenger>();
        store_ = std::make_unique<MRecordBase>();
        QCOMPARE(
            store_->OpenDatabase((folder_ + "dat/Quadrelle.db").toStdString(), folder_.toStdString(), false),
            TOpenResult::Opened);
        QVERIFY(store_->SetCategories(kStoreCategories));
    }
    void cleanup() {
        store_.reset();
        msgs_.reset();
    }

    void ordersAndStylesMatchTheReference() {
        AddCases(1200, VariedCase);
        // Every id scrambled, one listed twice and one without a row: read
        // in one pass over the range. A short list: read id by id.
        std::vector<int> all;
        for (int id = 1; id <= 1200; ++id) all.push_back(int((id * 7919L) % 1201));
        all.push_back(all[17]);
        all.push_back(1300);
        const std::vector<int> some(all.begin() + 100, all.begin() + 400);
        TCaseTree tree(store_.get());
        for (const std::vector<int>* ids : std::initializer_list<const std::vector<int>*>{&all, &some})
            for (int style : {kShowClassified, kShowList})
                for (int sort = kSortNone; sort <= kSortSurnameDesc; ++sort) {
                    tree.SetOrder(style, sort);
                    tree.BuildTree(*ids);
                    const std::vector<int> expected = ReferenceIds(*store_, *ids, style, sort);
                    QVERIFY2(tree.ShownIds() == expected,
                             qPrintable(QStringLiteral("style %1, order %2, %3 ids")
                                            .arg(style)
                                            .arg(sort)
                                            .arg(ids->size())));
                    QCOMPARE(tree.ShownCount(), int(expected.size()));
                }
        // The lunar dates that do not exist are shown only without an order.
        tree.SetOrder(kShowList, kSortTimeDesc);
        tree.BuildTree(all);
        const int sorted = tree.ShownCount();
        tree.SetOrder(kShowList, kSortNone);
        tree.BuildTree(all);
        QVERIFY(sorted < tree.ShownCount());
        // In classified display "money" gets a node of its own after the
        // others, while its cases count for the stored "Money".
        tree.SetOrder(kShowClassified, kSortNone);
        tree.BuildTree(all);
        QCOMPARE(tree.CategoryNames(), QStringList({"婚姻", "财运", "Money", "money", "其他"}));
    }

    void loadingAndLongRebuildsGoBatchByBatch_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("sort");
        QTest::newRow("list, as read") << int(kShowList) << int(kSortNone);
        QTest::newRow("classified, as read") << int(kShowClassified) << int(kSortNone);
        QTest::newRow("classified, surnames") << int(kShowClassified) << int(kSortSurnameAsc);
        QTest::newRow("list, time") << int(kShowList) << int(kSortTimeDesc);
    }
    void loadingAndLongRebuildsGoBatchByBatch() {
        QFETCH(int, style);
        QFETCH(int, sort);
        AddCases(9000, VariedCase);
        TCaseTree tree(store_.get());
        tree.show();
        tree.SetOrder(style, sort);
        tree.BuildTree({1, 2, 3});
        const QAbstractItemModel* m = Find<QTreeView>(tree, "Tree")->model();
        int resets = 0, inserts = 0, appendedElsewhere = 0, whileIdle = 0;
        connect(m, &QAbstractItemModel::modelReset, this, [&] { ++resets; });
        connect(m, &QAbstractItemModel::layoutChanged, this, [&] { ++appendedElsewhere; });
        connect(m, &QAbstractItemModel::rowsAboutToBeInserted, this,
                [&](const QModelIndex& parent, int first) {
                    ++inserts;
                    whileIdle += !tree.Busy();
                    // Case rows go after those shown; only category nodes
                    // may come between others.
                    if (m->rowCount(parent) != first && (parent.isValid() || style == kShowList))
                        ++appendedElsewhere;
                });

        tree.ShowAllCasesClick();
        QVERIFY(tree.Busy() && tree.Loading());
        QTRY_VERIFY_WITH_TIMEOUT(!tree.Busy(), 30000);
        QCOMPARE(resets, 1);
        QVERIFY(inserts >= 3);
        QCOMPARE(appendedElsewhere, 0);
        QCOMPARE(whileIdle, 0);
        std::vector<int> newest;
        for (int id = 9000; id >= 1; --id) newest.push_back(id);
        const std::vector<int> loaded = tree.ShownIds();
        QCOMPARE(loaded, ReferenceIds(*store_, newest, style, sort));
        QCOMPARE(tree.ShownCount(), int(loaded.size()));

        // A display change of that many cases is built the same way; the
        // result is that of a build on the GUI thread.
        resets = inserts = 0;
        const int other = style == kShowList ? kShowClassified : kShowList;
        QVERIFY(tree.SetDisplay(other, kSortTimeAsc));
        QVERIFY(tree.Busy());
        QVERIFY(!tree.SetDisplay(style, sort));  // refused meanwhile
        QTRY_VERIFY_WITH_TIMEOUT(!tree.Busy(), 30000);
        QCOMPARE(resets, 1);
        QVERIFY(inserts >= 3);
        QCOMPARE(whileIdle, 0);
        QCOMPARE(tree.ShownIds(), ReferenceIds(*store_, loaded, other, kSortTimeAsc));
        QCOMPARE(msgs_->log.size(), 1);  // the refusal
    }

    void wholeCaseLinesShowWithAHorizontalScrollBar() {
        const std::string question(60, 'W');
        TRecordData r = Case("张", false, 2004, 5, 1, 9, 30, false, "婚姻", question);
        QVERIFY(store_->AddCase(r) > 0);
        TCaseTree tree(store_.get());
        tree.resize(160, 300);
        tree.show();
        QTreeView* view = Find<QTreeView>(tree, "Tree");
        for (int style : {kShowClassified, kShowList}) {
            tree.SetOrder(style, kSortNone);
            tree.BuildTree({1});  // the category collapsed
            QVERIFY(tree.SelectCase(1));
            const QModelIndex node = view->currentIndex();
            const int text = view->fontMetrics().horizontalAdvance(tree.CaseText(1));
            const int indent = style == kShowClassified ? 2 * view->indentation() : 0;
            QVERIFY2(view->header()->sectionSize(0) >= indent + 16 + text,
                     qPrintable(QStringLiteral("style %1: column %2 for a text of %3")
                                    .arg(style)
                                    .arg(view->header()->sectionSize(0))
                                    .arg(text)));
            QVERIFY(view->visualRect(node).width() >= 16 + text);
            QTRY_VERIFY(view->horizontalScrollBar()->maximum() > 0);
        }
    }

    void casePicturesAndTheSelectedMark() {
        TRecordData one = Case("张", false, 2004, 5, 1, 9, 30, false, "婚姻");
        TRecordData zero = Case("李", false, 2004, 5, 1, 9, 30, false, "婚姻");
        zero.request.filled = 0;
        QVERIFY(store_->AddCase(one) > 0 && store_->AddCase(zero) > 0);
        TCaseTree tree(store_.get());
        tree.SetOrder(kShowClassified, kSortNone);
        tree.BuildTree({1, 2});
        const QAbstractItemModel* m = Find<QTreeView>(tree, "Tree")->model();
        auto image = [](const QVariant& icon, QIcon::Mode mode) {
            return icon.value<QIcon>().pixmap(16, mode).toImage();
        };
        const QModelIndex category = m->index(0, 0);
        QCOMPARE(image(category.data(Qt::DecorationRole), QIcon::Normal), TreeImage(2).pixmap(16).toImage());
        for (int row : {0, 1}) {
            const QVariant icon = m->index(row, 0, category).data(Qt::DecorationRole);
            QCOMPARE(image(icon, QIcon::Normal), TreeImage(row == 0 ? 1 : 0).pixmap(16).toImage());
            QCOMPARE(image(icon, QIcon::Selected), TreeImage(4).pixmap(16).toImage());
        }
        QCOMPARE(m->rowCount(category), 2);
    }
};

QTEST_MAIN(TCaseTreeTest)
#include "tst_casetree.moc"
