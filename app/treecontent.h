// SPDX-License-Identifier: GPL-3.0-or-later
// What a case tree shows, without widgets: its rows with their node texts
// and sort keys, the five orders, and reading the listed cases from the
// store. The rows are compact (one packed UTF-8 string holds every node
// text), so that a tree of every case stays small.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/pinyin.h"
#include "calendar/datetime.h"
#include "calendar/yidate.h"

namespace qd {

class MRecordBase;
struct TCaseSelection;
struct TCaseSummary;

// One case of a tree.
struct TCusTreeItem {
    double timeKey = 0;  // Julian day of the case moment; 0 in the order "无"
    int32_t id = 0;
    int32_t surnameKey = 0;  // 0 in the order "无"
    uint32_t textAt = 0;     // node text: bytes [textAt, textAt + textLen) of the rows' texts
    uint32_t category = 0;   // index into the rows' category names
    uint16_t textLen = 0;
    uint8_t flag = 0;  // the case's first record byte: its image index
};

// Rows in order with their texts and categories, each category name held
// once. The loading hands them over in batches of this form.
struct TTreeRows {
    std::string texts;                    // every node text, UTF-8, one after the other
    std::vector<std::string> categories;  // distinct names, UTF-8
    std::vector<TCusTreeItem> items;

    std::string_view Text(const TCusTreeItem& it) const { return {texts.data() + it.textAt, it.textLen}; }
    const std::string& Category(const TCusTreeItem& it) const { return categories[it.category]; }
    // Appends an item with its text and category; answers it for the rest.
    TCusTreeItem& Add(std::string_view text, std::string_view category);
    // Appends a copy of an item of `other`.
    void AddFrom(const TTreeRows& other, const TCusTreeItem& it);
    // Appends all items of `other`, in order.
    void AddAll(const TTreeRows& other);

private:
    std::unordered_map<std::string, uint32_t> categoryIndex_;
};

// Display style and sort orders, as kept in [tree] of qdlinit.ini.
constexpr int kShowClassified = 0;
constexpr int kShowList = 1;
enum TSortOrder { kSortNone = 0, kSortTimeDesc, kSortTimeAsc, kSortSurnameAsc, kSortSurnameDesc };

// The reference surnames (UTF-8); a surname's key counts from 1 here.
const std::string& SurnameReference();
// Pinyin initial of the name's first character × 1000 plus its position in
// the reference string; 0 for an empty name.
int32_t SurnameKey(const std::string& nameUtf8, const ImCode& im);
// True when a belongs before b in `sort` (ties on both keys: false).
bool ComesBefore(const TCusTreeItem& a, const TCusTreeItem& b, int sort);
// One stable sort: items equal on both keys keep their order.
void SortRows(TTreeRows& rows, int sort);
// Rows [from, to) of `rows` as rows of their own.
TTreeRows RowsSlice(const TTreeRows& rows, size_t from, size_t to);

// Makes the rows of cases for one order. The keys of a lunar date and of a
// surname's first character are worked out once per build.
class CTreeRowMaker {
public:
    explicit CTreeRowMaker(int sort) : sort_(sort) {}
    // Adds the case's row; false when an order needs its time and its lunar
    // date does not convert (the case is then left out).
    bool Add(const TCaseSummary& c, TTreeRows& rows);

private:
    bool TimeKey(const TCaseSummary& c, double& key);
    int32_t Surname(const std::string& name);

    int sort_;
    MYiDateEx cal_;
    ImCode im_;
    // Lunar date and leap flag → the civil date, or none when it does not convert.
    std::unordered_map<uint64_t, std::pair<bool, TDateTime>> solar_;
    std::unordered_map<std::string, int32_t> surnames_;  // first character → key
};

// Reads the selected cases with one statement into rows in `sort` order.
// `stop` ends the reading early (the rows are then incomplete and the answer
// false); `progress` receives the number of cases read, every 4096.
bool CollectTreeRows(MRecordBase& store, const TCaseSelection& which, int sort, TTreeRows& out,
                     const std::atomic<bool>* stop = nullptr,
                     const std::function<void(size_t read)>& progress = {});

// The tree menu's count display: "【 12 条案例】".
QString CountText(int count);

}  // namespace qd
