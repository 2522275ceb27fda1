// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/case_text.h"

#include <charconv>

#include "base/encoding.h"
#include "store/case_rows.h"

namespace qd {

namespace {

// As "%0*d" prints it: the sign counts towards the width.
void AppendPadded(std::string& out, int value, int width) {
    char digits[16];
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    int length = static_cast<int>(end - digits);
    if (value < 0) {
        out += '-';
        ++length;
    }
    if (length < width) out.append(static_cast<size_t>(width - length), '0');
    out.append(digits, end);
}

// Made without printf: the list and the tree make one per case.
std::string NodeText(std::string_view name, bool lunar, bool leap, int year, const TCaseTime& t,
                     std::string_view question) {
    std::string text;
    text.reserve(name.size() + question.size() + 40);
    text += name;
    for (size_t n = GbkLength(name); n < 8; ++n) text += ' ';
    text += lunar ? " 农" : " 公";
    if (lunar && leap) text += "闰";
    AppendPadded(text, DisplayYear(year), 4);
    text += '-';
    AppendPadded(text, t.month, 2);
    text += '-';
    AppendPadded(text, t.day, 2);
    text += ' ';
    AppendPadded(text, t.hour, 2);
    text += ':';
    AppendPadded(text, t.minute, 2);
    text += ' ';
    text += question;
    return text;
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
