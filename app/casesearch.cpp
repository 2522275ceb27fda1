// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/casesearch.h"

#include <QApplication>
#include <QCheckBox>
#include <memory>

#include "app/casecommands.h"
#include "app/casetree.h"
#include "app/frmsamename.h"
#include "app/frmsearch.h"
#include "app/messages.h"
#include "app/shell.h"
#include "store/record_base.h"

namespace qd {

TCaseSearch::TCaseSearch(MRecordBase* store, TCaseTree& tree, TCaseCommands& cases, QWidget* window)
    : QObject(window), store_(store), tree_(tree), cases_(cases), window_(window) {
    // A zeroed record would stand for the first province (福建省), and a
    // first search by years alone would find only that province's cases.
    criteria_.province = -1;
}

void TCaseSearch::FuzzySearchClick() {
    if (tree_.RefusedWhileBusy()) return;
    QString text;
    if (!Shell().InputQuery(window_, QStringLiteral("模糊查找"),
                            QStringLiteral("请输入要查找的关键字（姓名、地址、类别、年-月-日-时、评语）：") +
                                QString(12, QLatin1Char(' ')),
                            text))
        return;
    // Trimmed of control characters and blanks only, as the keywords are
    // split at the single-byte blank alone.
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= ' ') ++from;
    while (to > from && text[to - 1].unicode() <= ' ') --to;
    text = text.mid(from, to - from);
    if (text.isEmpty()) return;
    // Only the single-byte blank separates keywords.
    std::vector<std::string> keywords;
    for (const QString& k : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        keywords.push_back(k.toStdString());
    if (keywords.empty()) {
        Notice(window_, QStringLiteral("请输入要查找的关键字，多个关键字可以用空格隔开！"));
        return;
    }
    if (!store_) return;
    // The store is read off the GUI thread; the tree refuses its commands
    // meanwhile, and the window shows that it is busy.
    const QString caption = window_->windowTitle();
    auto restore = [this, caption] {
        QApplication::restoreOverrideCursor();
        window_->setWindowTitle(caption);
    };
    QApplication::setOverrideCursor(Qt::BusyCursor);
    window_->setWindowTitle(QStringLiteral("模糊查找....."));
    auto hits = std::make_shared<std::vector<int>>();
    const bool started = tree_.RunWhileBusy(
        [keywords, hits](MRecordBase& own, const TStoreTask::TPost&, const std::atomic<bool>&) {
            own.FindCasesByKeywords(keywords, *hits);
        },
        [this, hits, restore](const std::string& error) {
            restore();
            if (!error.empty())
                Notice(window_, QString::fromStdString(error));
            else if (hits->empty())
                Notice(window_, QStringLiteral("没有符合的案例！"));
            else
                ShowHits(*hits);
        },
        restore);
    if (!started) restore();
}

void TCaseSearch::SearchClick() {
    if (tree_.RefusedWhileBusy()) return;
    if (!store_) return;
    std::vector<int> hits;
    {
        TFrmSearch dlg(criteria_, *store_, window_);
        if (RunDialog(dlg) != QDialog::Accepted) return;
        hits = dlg.Hits();
    }
    ShowHits(hits);
}

void TCaseSearch::ShowHits(const std::vector<int>& hits) {
    if (!store_) return;
    int picked = -1;
    std::vector<int> base, list;
    {
        TFrmSameName dlg(*store_, hits, window_);
        if (RunDialog(dlg) != QDialog::Accepted) return;
        picked = dlg.PickedId();
        if (picked == -1) return;
        if (!dlg.ChkClear->isChecked()) base = tree_.ShownIds();
        list = dlg.ChkShow->isChecked() ? hits : std::vector<int>{picked};
    }
    tree_.RebuildTree(MergeHits(base, list), [this, picked] {
        if (tree_.SelectCase(picked)) cases_.OpenSelectedCase();
    });
}

}  // namespace qd
