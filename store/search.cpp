// The two whole-store searches.
#include <list>

#include "base/encoding.h"
#include "engine/ganzhi.h"
#include "store/case_format.h"
#include "store/record_base.h"

namespace qd {

namespace {

// Texts are UTF-8, where a byte-wise search never matches half a character.
bool Contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// The branch name of an hour: 23 and 0 give 子, 1 and 2 丑, … 21 and 22 亥.
const char* HourBranchName(int hour) {
    int h = hour % 2 != 0 ? hour + 1 : hour;
    if (h == 24) h = 0;
    // Branch numbers count 子 as 1 and 亥 as 0.
    return BranchName(h / 2 + 1);
}

bool PassesCriteria(const TSearchCriteria& c, const TRecordData& r) {
    const TCastRequest& q = r.request;
    if (c.nameMode != 0) {
        const std::string name = ReadGbkField(q.name);
        if (c.nameMode == 1 ? !Contains(name, c.name) : !EqualNoCase(name, c.name)) return false;
    }
    if (c.categoryMode != 0) {
        if (c.categoryMode == 1 ? !Contains(r.category, c.category)
                                : !EqualNoCase(r.category, c.category))
            return false;
    }
    if (c.questionGiven && !Contains(ReadGbkField(q.question), c.question)) return false;
    if (c.commentGiven && !Contains(r.comment, c.comment)) return false;
    if (c.yearsGiven && (q.year < c.yearFrom || q.year > c.yearTo)) return false;
    if (c.province != -1 && q.province != c.province) return false;
    return true;
}

bool TakesAllKeywords(const std::vector<std::string>& keywords, const TRecordData& r) {
    const TCastRequest& q = r.request;
    const std::string fields[] = {
        ReadGbkField(q.name),
        ReadGbkField(q.question),
        ReadGbkField(q.place),
        r.category,
        std::to_string(q.year) + "年",
        std::to_string(q.month) + "月",
        std::to_string(q.day) + "日",
        std::string(HourBranchName(q.hour)) + "时",
        r.comment,
    };
    std::list<const std::string*> left;
    for (const std::string& k : keywords) left.push_back(&k);
    for (const std::string& field : fields) {
        if (left.empty()) break;
        for (auto it = left.begin(); it != left.end(); ++it) {
            if (Contains(field, **it)) {
                left.erase(it);
                break;
            }
        }
    }
    return left.empty();
}

}  // namespace

void MRecordBase::FindCases(TSearchCriteria& criteria, std::vector<int>& ids) {
    ids.clear();
    criteria.sexGiven = 0;
    BeginBatch();
    for (int id = 1; id <= lastId_; ++id) {
        TRecordData r;
        if (ReadCaseOn(id, r) == 1 && PassesCriteria(criteria, r)) ids.push_back(id);
    }
    EndBatch();
}

void MRecordBase::FindCasesByKeywords(const std::vector<std::string>& keywords,
                                      std::vector<int>& ids) {
    ids.clear();
    BeginBatch();
    for (int id = 1; id <= lastId_; ++id) {
        TRecordData r;
        if (ReadCaseOn(id, r) == 1 && TakesAllKeywords(keywords, r)) ids.push_back(id);
    }
    EndBatch();
}

}  // namespace qd
