// SPDX-License-Identifier: GPL-3.0-or-later

#include "store/case_format.h"

#include <charconv>
#include <limits>

#include "base/encoding.h"

namespace qd {

namespace {

// Column positions, in creation order.
enum : size_t {
    cId,
    cName,
    cSex,
    cClassName,
    cDateY,
    cDateNum,
    cDateStyle,
    cAddrInd,
    cAddrName,
    cAddrNum,
    cRemarkFile,
    cTag1,
    cTag2,
    cEvent,
    cKeStyle,
    cOtherKe,
    cMasterDate,
    cRemarkText,
};

TColumnValue Int(long long v) {
    TColumnValue c;
    c.isInteger = true;
    c.integer = v;
    return c;
}

TColumnValue Text(std::string v) {
    TColumnValue c;
    c.text = std::move(v);
    return c;
}

// A list text made in place: numbers joined by single blanks. Every insert
// makes five of them, so no temporary strings.
class CListText {
public:
    CListText& operator<<(long long v) {
        Blank();
        size_ = static_cast<size_t>(std::to_chars(buf_ + size_, buf_ + sizeof buf_, v).ptr - buf_);
        return *this;
    }
    // A float is widened before printing, so 116.4f prints as 116.400002.
    CListText& Fixed6(float v) {
        Blank();
        size_ = static_cast<size_t>(std::to_chars(buf_ + size_, buf_ + sizeof buf_, static_cast<double>(v),
                                                  std::chars_format::fixed, 6)
                                        .ptr -
                                    buf_);
        return *this;
    }
    TColumnValue Value() const { return Text(std::string(buf_, size_)); }

private:
    void Blank() {
        if (size_ > 0) buf_[size_++] = ' ';
    }
    // Room for two floats of 47 characters, or seven 32-bit numbers.
    char buf_[128];
    size_t size_ = 0;
};

// A coordinate in degrees; anything else (no number, beyond the globe,
// infinite or not a number) gives the fallback.
float DegreesOr(std::string_view text, double limit, float fallback) {
    double v;
    if (!ParseReal(text, v) || !(v >= -limit && v <= limit)) return fallback;
    return static_cast<float>(v);
}

}  // namespace

TCaseValues RecordToValues(const TRecordData& r, int id) {
    const TCastRequest& q = r.request;
    TCaseValues v;
    v[cId] = Int(id);
    v[cName] = Text(ReadGbkField(q.name));
    v[cSex] = Int(q.filled != 0 ? 1 : 0);
    v[cClassName] = Text(r.category);
    v[cDateY] = Int(q.year);
    v[cDateNum] = (CListText() << q.month << q.day << q.hour << q.minute).Value();
    v[cDateStyle] = Text(q.lunar ? (q.leap ? "1 1" : "1 0") : (q.leap ? "0 1" : "0 0"));
    CListText addr;
    addr << q.province << q.city;
    for (int32_t e : r.extra) {
        if (e == -1) break;
        addr << e;
    }
    v[cAddrInd] = addr.Value();
    v[cAddrName] = Text(ReadGbkField(q.place));
    CListText coordinates;
    coordinates.Fixed6(q.longitude).Fixed6(q.latitude) << 8;
    v[cAddrNum] = coordinates.Value();
    v[cRemarkFile] = Text(r.commentFile);
    v[cTag1] = Text(" ");
    v[cTag2] = Text(" ");
    v[cEvent] = Text(ReadGbkField(q.question));
    v[cKeStyle] = (CListText() << q.direct << q.noble << q.earth << q.general).Value();
    v[cOtherKe] = (CListText() << q.directGeneral << q.directDay << q.directHour << q.directEarth).Value();
    v[cMasterDate] = Text(kMasterDate);
    v[cRemarkText] = Text(r.comment);
    return v;
}

void RecordFromRow(const TCaseRowView& row, TRecordData& r) {
    InitRecordData(r);
    TCastRequest& q = r.request;
    std::string_view items[7];

    r.id = NumberOr<int32_t>(row[cId], 0);
    WriteGbkField(q.name, row[cName]);
    q.filled = FlagOf(row[cSex]);
    r.category = row[cClassName].empty() ? std::string_view(kDefaultCategory) : row[cClassName];
    q.year = NumberOr<int16_t>(row[cDateY], 1900);
    {
        int16_t* parts[4] = {&q.month, &q.day, &q.hour, &q.minute};
        const size_t n = ListItems(row[cDateNum], items, 4);
        for (size_t i = 0; i < 4; ++i) *parts[i] = i < n ? NumberOr<int16_t>(items[i], 1) : 1;
    }
    {
        const size_t n = ListItems(row[cDateStyle], items, 2);
        q.lunar = n > 0 ? FlagOf(items[0]) : 0;
        q.leap = n > 1 ? FlagOf(items[1]) : 0;
    }
    {
        const size_t n = ListItems(row[cAddrInd], items, 7);
        q.province = n > 0 ? NumberOr<int16_t>(items[0], 0) : 0;
        q.city = n > 1 ? NumberOr<int16_t>(items[1], 0) : 0;
        for (size_t i = 0; i < 5; ++i) r.extra[i] = i + 2 < n ? NumberOr<int32_t>(items[i + 2], -1) : -1;
    }
    WriteGbkField(q.place, row[cAddrName]);
    {
        const size_t n = ListItems(row[cAddrNum], items, 2);
        q.longitude = n > 0 ? DegreesOr(items[0], 180, 120) : 120;
        q.latitude = n > 1 ? DegreesOr(items[1], 90, 30) : 30;
    }
    r.commentFile = row[cRemarkFile].empty() ? std::string_view(" ") : row[cRemarkFile];
    // The fixed text fields end at a zero byte; a question that ends at
    // once reads as an empty one.
    const std::string_view event = row[cEvent].substr(0, row[cEvent].find('\0'));
    WriteGbkField(q.question, event.empty() ? std::string_view(kDefaultQuestion) : event);
    {
        uint8_t* parts[4] = {&q.direct, &q.noble, &q.earth, &q.general};
        const size_t n = ListItems(row[cKeStyle], items, 4);
        for (size_t i = 0; i < 4; ++i) *parts[i] = i < n ? NumberOr<uint8_t>(items[i], 0) : 0;
    }
    {
        uint8_t* parts[4] = {&q.directGeneral, &q.directDay, &q.directHour, &q.directEarth};
        const size_t n = ListItems(row[cOtherKe], items, 4);
        for (size_t i = 0; i < 4; ++i) *parts[i] = i < n ? NumberOr<uint8_t>(items[i], 0) : 0;
    }
    r.comment = row[cRemarkText].empty() ? std::string_view(kDefaultComment) : row[cRemarkText];
}

void RecordFromRow(const TCaseRow& row, TRecordData& r) {
    TCaseRowView views;
    for (size_t i = 0; i < kCaseColumnCount; ++i) views[i] = row[i];
    RecordFromRow(views, r);
}

size_t ListItems(std::string_view text, std::string_view* items, size_t max) {
    size_t n = 0;
    while (n < max) {
        const size_t at = text.find(' ');
        if (at == std::string_view::npos || at == 0) break;
        items[n++] = text.substr(0, at);
        text.remove_prefix(at + 1);
    }
    if (n < max && !text.empty()) items[n++] = text;
    return n;
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    for (;;) {
        const size_t at = text.find(' ');
        if (at == std::string_view::npos || at == 0) break;
        items.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    if (!text.empty()) items.emplace_back(text);
    return items;
}

std::string JoinList(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ' ';
        out += items[i];
    }
    return out;
}

bool ParseInteger(std::string_view text, long long& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

bool ParseReal(std::string_view text, double& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    auto res = std::from_chars(text.data(), text.data() + text.size(), out, std::chars_format::fixed);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

uint8_t FlagOf(std::string_view text) {
    long long v;
    return text.empty() || !ParseInteger(text, v) || v == 1 ? 1 : 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void AppendUnique(std::vector<std::string>& list, const std::string& name) {
    for (const std::string& s : list)
        if (EqualNoCase(s, name)) return;
    list.push_back(name);
}

}  // namespace qd
