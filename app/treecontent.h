// What a case tree shows: the items it is built from, their sort keys and
// sorted insertion, and reading the listed cases from the store. No widgets.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/request.h"

namespace qd {

class ImCode;
class MRecordBase;
class MYiDateEx;

// One case while a tree is being built.
struct TCusTreeItem {
    int32_t id = 0;
    std::string text;      // node text, UTF-8
    std::string category;  // UTF-8
    uint8_t flag = 0;      // the case's first record byte: its image index
    double timeKey = 0;    // Julian day of the case moment
    int32_t surnameKey = 0;
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
// Both keys of a case; false when a lunar date does not convert.
bool CaseSortKeys(const TRecordData& r, MYiDateEx& cal, const ImCode& im, double& timeKey, int32_t& surnameKey);
// True when a belongs before b in `sort` (ties on both keys: false).
bool ComesBefore(const TCusTreeItem& a, const TCusTreeItem& b, int sort);
// Inserts after every item that does not come after it, so equal items keep
// their insertion order.
void InsertSorted(std::vector<TCusTreeItem>& items, TCusTreeItem item, int sort);

// What a build reads from the store: the categories to show (those of the
// store's list that hold a listed case, in stored order) and the items.
struct TTreeContent {
    std::vector<std::string> categories;
    std::vector<TCusTreeItem> items;
};
// Reads the listed cases in one batch. `stop` ends the reading early (the
// content is then incomplete and the answer false); `progress` receives the
// number of ids read, every 50 ids.
bool CollectTreeContent(MRecordBase& store, const std::vector<int>& ids, int sort, TTreeContent& out,
                        const std::atomic<bool>* stop = nullptr,
                        const std::function<void(int done, int total)>& progress = {});

// The tree menu's count display: "【 12 条案例】".
QString CountText(int count);

}  // namespace qd
