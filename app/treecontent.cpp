#include "app/treecontent.h"

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

QString CountText(int count) { return QStringLiteral("【 %1 条案例】").arg(count); }

}  // namespace qd
