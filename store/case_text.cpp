#include "store/case_text.h"

#include <cstdio>

#include "base/encoding.h"

namespace qd {

int DisplayYear(int year) { return year <= 0 ? year - 1 : year; }

std::string CaseNodeText(const TRecordData& r) {
    const TCastRequest& q = r.request;
    std::string text = ReadGbkField(q.name);
    for (size_t n = GbkLength(text); n < 8; ++n) text += ' ';
    text += q.lunar ? " 农" : " 公";
    if (q.lunar && q.leap) text += "闰";
    char date[64];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d ", DisplayYear(q.year), q.month,
                  q.day, q.hour, q.minute);
    text += date;
    text += ReadGbkField(q.question);
    return text;
}

}  // namespace qd
