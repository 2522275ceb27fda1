// SPDX-License-Identifier: GPL-3.0-or-later
// qdl db search: the case tree's keyword search ("模糊查找"), so that it can
// be timed and scripted. Prints one line per hit, in the search's order: the
// case id and the case's node text.
#include <algorithm>
#include <iostream>

#include "cli/command.h"
#include "store/case_rows.h"
#include "store/case_text.h"
#include "store/record_base.h"

namespace qd::cli {

int DbSearch(MRecordBase& store, const Args& args) {
    // As typed into the prompt: keywords are separated by runs of blanks.
    std::vector<std::string> keywords;
    for (const std::string& arg : args) {
        size_t at = 0;
        while (at < arg.size()) {
            const size_t end = std::min(arg.find(' ', at), arg.size());
            if (end > at) keywords.push_back(arg.substr(at, end - at));
            at = end + 1;
        }
    }
    if (keywords.empty()) {
        std::cout << "请输入要查找的关键字，多个关键字可以用空格隔开！\n";
        return kRefused;
    }
    std::vector<int> ids;
    store.FindCasesByKeywords(keywords, ids);
    if (ids.empty()) {
        std::cout << "没有符合的案例！\n";
        return kRefused;
    }
    const TReadEnd end = ForEachCaseSummary(store, ListedCases(ids), [](const TCaseSummary& c) {
        std::cout << c.id << ' ' << CaseNodeText(c) << '\n';
        return true;
    });
    if (end != TReadEnd::kComplete) {
        std::cout << store.LastError() << '\n';
        return kRefused;
    }
    return kOk;
}

}  // namespace qd::cli
