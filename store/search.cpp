// SPDX-License-Identifier: GPL-3.0-or-later
// The two whole-store searches: one statement per pass over every row,
// whatever its id, matching on the UTF-8 texts as the case record would hold
// them. Hits come in the order the list shows the cases.
#include <charconv>
#include <cstring>

#include "engine/ganzhi.h"
#include "store/case_format.h"
#include "store/case_rows.h"
#include "store/record_base.h"

namespace qd {

namespace {

// Texts are UTF-8, where a byte-wise search never matches half a character.
// The search runs for the piece's last byte: in Chinese text the lead bytes
// repeat at nearly every character, the last bytes far more rarely.
bool Contains(std::string_view text, std::string_view piece) {
    const size_t m = piece.size();
    if (m == 0) return true;
    if (m > text.size()) return false;
    const char* p = text.data() + m - 1;
    const char* const end = text.data() + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, piece.back(), end - p))) != nullptr) {
        if (std::memcmp(p - (m - 1), piece.data(), m - 1) == 0) return true;
        ++p;
    }
    return false;
}

// The branch name of an hour: 23 and 0 give 子, 1 and 2 丑, … 21 and 22 亥.
const char* HourBranchName(int hour) {
    int h = hour % 2 != 0 ? hour + 1 : hour;
    if (h == 24) h = 0;
    // Branch numbers count 子 as 1 and 亥 as 0.
    return BranchName(h / 2 + 1);
}

constexpr TColumnSet kCriteriaColumns = ColumnBit(kColName) | ColumnBit(kColClassName) |
                                        ColumnBit(kColEvent) | ColumnBit(kColRemarkText) |
                                        ColumnBit(kColDateY) | ColumnBit(kColAddrInd);

bool PassesCriteria(const TSearchCriteria& c, const CCaseRow& row) {
    if (c.nameMode != 0) {
        const std::string_view name = row.Name();
        if (c.nameMode == 1 ? !Contains(name, c.name) : !EqualNoCase(name, c.name)) return false;
    }
    if (c.categoryMode != 0) {
        const std::string_view category = row.Category();
        if (c.categoryMode == 1 ? !Contains(category, c.category) : !EqualNoCase(category, c.category))
            return false;
    }
    if (c.questionGiven && !Contains(row.Question(), c.question)) return false;
    if (c.commentGiven && !Contains(row.Comment(), c.comment)) return false;
    if (c.yearsGiven) {
        const int year = row.Year();
        if (year < c.yearFrom || year > c.yearTo) return false;
    }
    if (c.province != -1 && row.Province() != c.province) return false;
    return true;
}

constexpr TColumnSet kKeywordColumns = ColumnBit(kColName) | ColumnBit(kColEvent) | ColumnBit(kColAddrName) |
                                       ColumnBit(kColClassName) | ColumnBit(kColDateY) |
                                       ColumnBit(kColDateNum) | ColumnBit(kColRemarkText);

// The searched fields of a case, in the order they take keywords, each
// made only when a keyword is still left for it.
class CKeywordFields {
public:
    static constexpr int kCount = 9;
    explicit CKeywordFields(const CCaseRow& row) : row_(row) {}

    std::string_view operator[](int k) {
        switch (k) {
            case 0: return row_.Name();
            case 1: return row_.Question();
            case 2: return row_.Place();
            case 3: return row_.Category();
            case 4: return Number(row_.Year(), "年");
            case 5: return Number(Time().month, "月");
            case 6: return Number(Time().day, "日");
            case 7: return Hour();
            default: return row_.Comment();
        }
    }

private:
    const TCaseTime& Time() {
        if (!timeRead_) time_ = row_.Time();
        timeRead_ = true;
        return time_;
    }
    std::string_view Number(int value, const char* unit) {
        char* end = std::to_chars(buffer_, buffer_ + 16, value).ptr;
        const size_t n = std::strlen(unit);
        std::memcpy(end, unit, n);
        return std::string_view(buffer_, end + n - buffer_);
    }
    std::string_view Hour() {
        const char* branch = HourBranchName(Time().hour);
        const size_t n = std::strlen(branch);
        std::memcpy(buffer_, branch, n);
        std::memcpy(buffer_ + n, "时", 3);
        return std::string_view(buffer_, n + 3);
    }

    const CCaseRow& row_;
    TCaseTime time_;
    bool timeRead_ = false;
    char buffer_[32];
};

// The keywords of one search, with the fields each could be held by: a
// number field ("1990年") holds only digits and its unit, the hour field
// only a piece of one of the twelve hour texts. A field that no keyword left
// could be held by is not made at all.
class CKeywords {
public:
    explicit CKeywords(const std::vector<std::string>& keywords) : keywords_(keywords) {
        for (const std::string& k : keywords_) {
            unsigned mask = kTextFields;
            if (MayHoldNumber(k, "年")) mask |= 1u << 4;
            if (MayHoldNumber(k, "月")) mask |= 1u << 5;
            if (MayHoldNumber(k, "日")) mask |= 1u << 6;
            for (int hour = 0; hour < 24; hour += 2) {
                if (Contains(std::string(HourBranchName(hour)) + "时", k)) mask |= 1u << 7;
            }
            masks_.push_back(mask);
        }
    }

    // Each field takes the first keyword left (in typed order) that it
    // holds; a hit leaves none.
    bool TakesAll(const CCaseRow& row) {
        left_.clear();
        unsigned leftMask = 0;
        for (size_t k = 0; k < keywords_.size(); ++k) {
            left_.push_back(k);
            leftMask |= masks_[k];
        }
        CKeywordFields fields(row);
        for (int f = 0; f < CKeywordFields::kCount && !left_.empty(); ++f) {
            if ((leftMask & 1u << f) == 0) continue;
            const std::string_view field = fields[f];
            for (auto it = left_.begin(); it != left_.end(); ++it) {
                if ((masks_[*it] & 1u << f) != 0 && Contains(field, keywords_[*it])) {
                    left_.erase(it);
                    leftMask = 0;
                    for (size_t k : left_) leftMask |= masks_[k];
                    break;
                }
            }
        }
        return left_.empty();
    }

private:
    // Name, question, place, category and comment.
    static constexpr unsigned kTextFields = 0x10F;

    // Digits and signs, then at most the unit.
    static bool MayHoldNumber(std::string_view k, std::string_view unit) {
        const size_t digits = k.find_first_not_of("0123456789-");
        return digits == std::string_view::npos || k.substr(digits) == unit;
    }

    const std::vector<std::string>& keywords_;
    std::vector<unsigned> masks_;
    std::vector<size_t> left_;
};

// A hit list names each case once, though a table another program made may
// hold two rows with one id.
void AddHit(std::vector<int>& ids, int id) {
    if (ids.empty() || ids.back() != id) ids.push_back(id);
}

}  // namespace

void MRecordBase::FindCases(TSearchCriteria& criteria, std::vector<int>& ids) {
    ids.clear();
    criteria.sexGiven = 0;
    ForEachCaseRow(*this, EveryCase(), kCriteriaColumns, [&](const CCaseRow& row) {
        if (PassesCriteria(criteria, row)) AddHit(ids, row.Id());
        return true;
    });
}

void MRecordBase::FindCasesByKeywords(const std::vector<std::string>& keywords, std::vector<int>& ids) {
    ids.clear();
    CKeywords search(keywords);
    ForEachCaseRow(*this, EveryCase(), kKeywordColumns, [&](const CCaseRow& row) {
        if (search.TakesAll(row)) AddHit(ids, row.Id());
        return true;
    });
}

}  // namespace qd
