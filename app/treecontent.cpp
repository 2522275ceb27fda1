// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/treecontent.h"

#include <algorithm>
#include <cctype>

#include "base/encoding.h"
#include "calendar/julian.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd {

// ---------------------------------------------------------------- rows

TCusTreeItem& TTreeRows::Add(std::string_view text, std::string_view category) {
    auto [at, fresh] = categoryIndex_.try_emplace(std::string(category), uint32_t(categories.size()));
    if (fresh) categories.emplace_back(category);
    TCusTreeItem& it = items.emplace_back();
    it.textAt = uint32_t(texts.size());
    // Node texts are bounded by the record's fields (a name of 20 and a
    // question of 200 GBK bytes), far below the length's limit.
    it.textLen = uint16_t(std::min<size_t>(text.size(), UINT16_MAX));
    texts.append(text.substr(0, it.textLen));
    it.category = at->second;
    return it;
}

void TTreeRows::AddFrom(const TTreeRows& other, const TCusTreeItem& it) {
    TCusTreeItem& copy = Add(other.Text(it), other.Category(it));
    const uint32_t textAt = copy.textAt, category = copy.category;
    copy = it;
    copy.textAt = textAt;
    copy.category = category;
}

void TTreeRows::AddAll(const TTreeRows& other) {
    std::vector<uint32_t> category(other.categories.size());
    for (size_t c = 0; c < category.size(); ++c) {
        auto [at, fresh] = categoryIndex_.try_emplace(other.categories[c], uint32_t(categories.size()));
        if (fresh) categories.push_back(other.categories[c]);
        category[c] = at->second;
    }
    const uint32_t base = uint32_t(texts.size());
    texts += other.texts;
    items.reserve(items.size() + other.items.size());
    for (TCusTreeItem it : other.items) {
        it.textAt += base;
        it.category = category[it.category];
        items.push_back(it);
    }
}

TTreeRows RowsSlice(const TTreeRows& rows, size_t from, size_t to) {
    TTreeRows out;
    to = std::min(to, rows.items.size());
    out.items.reserve(to > from ? to - from : 0);
    for (size_t k = from; k < to; ++k) out.AddFrom(rows, rows.items[k]);
    return out;
}

// ---------------------------------------------------------------- keys

namespace {

// Position (from 1) of each character of the reference surnames; the first
// occurrence counts.
const std::unordered_map<std::string, int>& ReferencePositions() {
    static const std::unordered_map<std::string, int> positions = [] {
        std::unordered_map<std::string, int> m;
        const std::string& ref = SurnameReference();
        size_t i = 0;
        for (int pos = 1; i < ref.size(); ++pos) {
            const size_t start = i;
            NextCodePoint(ref, i);
            m.try_emplace(ref.substr(start, i - start), pos);
        }
        return m;
    }();
    return positions;
}

uint64_t LunarKey(const TCaseSummary& c) {
    return uint64_t(uint16_t(c.year)) << 40 | uint64_t(uint16_t(c.time.month)) << 24 |
           uint64_t(uint16_t(c.time.day)) << 8 | (c.leap ? 1u : 0u);
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
    const auto& positions = ReferencePositions();
    const auto pos = positions.find(ch);
    return initial * 1000 + (pos == positions.end() ? 0 : pos->second);
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
        default: return false;
    }
}

void SortRows(TTreeRows& rows, int sort) {
    if (sort == kSortNone) return;
    std::stable_sort(
        rows.items.begin(), rows.items.end(),
        [sort](const TCusTreeItem& a, const TCusTreeItem& b) { return ComesBefore(a, b, sort); });
}

// ---------------------------------------------------------------- making rows

bool CTreeRowMaker::TimeKey(const TCaseSummary& c, double& key) {
    TDateTime t{c.year, c.time.month, c.time.day, c.time.hour, c.time.minute};
    if (c.lunar) {
        // The civil date depends on the lunar date and leap flag alone.
        auto [at, fresh] = solar_.try_emplace(LunarKey(c));
        if (fresh) {
            std::string message;
            at->second.first = cal_.SolarOfLunar(t, c.leap != 0, at->second.second, message);
        }
        if (!at->second.first) return false;
        t.year = at->second.second.year;
        t.month = at->second.second.month;
        t.day = at->second.second.day;
    }
    key = JulianDayOfRecord(t);
    return true;
}

int32_t CTreeRowMaker::Surname(const std::string& name) {
    if (name.empty()) return 0;
    size_t end = 0;
    NextCodePoint(name, end);
    std::string first = name.substr(0, end);
    auto [at, fresh] = surnames_.try_emplace(std::move(first), 0);
    if (fresh) at->second = SurnameKey(name, im_);
    return at->second;
}

bool CTreeRowMaker::Add(const TCaseSummary& c, TTreeRows& rows) {
    double timeKey = 0;
    int32_t surnameKey = 0;
    if (sort_ != kSortNone) {
        if (!TimeKey(c, timeKey)) return false;
        surnameKey = Surname(c.name);
    }
    TCusTreeItem& it = rows.Add(CaseNodeText(c), c.category);
    it.id = c.id;
    it.flag = c.filled;
    it.timeKey = timeKey;
    it.surnameKey = surnameKey;
    return true;
}

namespace {

// A long list whose ids lie close together is read faster by one pass over
// their range than by looking each id up.
bool WorthScanning(const std::vector<int>& ids, int& low, int& high) {
    if (ids.size() < 1024) return false;
    const auto [lo, hi] = std::minmax_element(ids.begin(), ids.end());
    low = *lo;
    high = *hi;
    return double(high) - double(low) < 4.0 * double(ids.size());
}

}  // namespace

bool CollectTreeRows(MRecordBase& store, const TCaseSelection& which, int sort, TTreeRows& out,
                     const std::atomic<bool>* stop, const std::function<void(size_t)>& progress) {
    constexpr size_t kProgressRows = 4096;
    out = TTreeRows();
    CTreeRowMaker maker(sort);
    size_t read = 0;
    // Answers whether the case got a row; false from `visit` stops.
    auto make = [&](const TCaseSummary& c, TTreeRows& rows, bool& made) {
        if (stop && stop->load()) return false;
        made = maker.Add(c, rows);
        if (progress && ++read % kProgressRows == 0) progress(read);
        return true;
    };
    int low = 0, high = 0;
    TReadEnd end;
    if (which.ids && WorthScanning(*which.ids, low, high)) {
        // The rows in id order, then arranged as listed (an id listed twice
        // gets two rows, an id without a row none).
        constexpr int32_t kUnlisted = -2, kNoRow = -1;
        std::vector<int32_t> at(size_t(high - low) + 1, kUnlisted);
        for (int id : *which.ids) at[size_t(id - low)] = kNoRow;
        end = ForEachCaseSummary(store, CaseRange(low, high), [&](const TCaseSummary& c) {
            int32_t& slot = at[size_t(c.id - low)];
            if (slot == kUnlisted) return true;
            bool made = false;
            if (!make(c, out, made)) return false;
            if (made) slot = int32_t(out.items.size() - 1);
            return true;
        });
        std::vector<TCusTreeItem> byId = std::move(out.items);
        out.items.clear();
        out.items.reserve(which.ids->size());
        for (int id : *which.ids)
            if (at[size_t(id - low)] >= 0) out.items.push_back(byId[size_t(at[size_t(id - low)])]);
    } else {
        end = ForEachCaseSummary(store, which, [&](const TCaseSummary& c) {
            bool made = false;
            return make(c, out, made);
        });
    }
    SortRows(out, sort);
    return end != TReadEnd::kStopped;
}

QString CountText(int count) { return QStringLiteral("【 %1 条案例】").arg(count); }

}  // namespace qd
