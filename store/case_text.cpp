#include "store/case_text.h"

#include <cstdio>

#include "base/encoding.h"
#include "store/case_rows.h"

namespace qd {

namespace {

std::string NodeText(std::string name, bool lunar, bool leap, int year, const TCaseTime& t,
                     const std::string& question) {
    for (size_t n = GbkLength(name); n < 8; ++n) name += ' ';
    name += lunar ? " 农" : " 公";
    if (lunar && leap) name += "闰";
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d ", DisplayYear(year), t.month, t.day,
                  t.hour, t.minute);
    return name + date + question;
}

}  // namespace

int DisplayYear(int year) { return year <= 0 ? year - 1 : year; }

std::string CaseNodeText(const TRecordData& r) {
    const TCastRequest& q = r.request;
    return NodeText(ReadGbkField(q.name), q.lunar != 0, q.leap != 0, q.year,
                    TCaseTime{q.month, q.day, q.hour, q.minute}, ReadGbkField(q.question));
}

std::string CaseNodeText(const TCaseSummary& c) {
    return NodeText(c.name, c.lunar != 0, c.leap != 0, c.year, c.time, c.question);
}

}  // namespace qd
