#include "store/case_format.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "base/encoding.h"

namespace qd {

namespace {

// Column positions, in creation order.
enum : size_t {
    cId, cName, cSex, cClassName, cDateY, cDateNum, cDateStyle, cAddrInd, cAddrName, cAddrNum,
    cRemarkFile, cTag1, cTag2, cEvent, cKeStyle, cOtherKe, cMasterDate, cRemarkText,
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

// A float is widened before printing, so 116.4f prints as 116.400002.
std::string Fixed6(float v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v),
                             std::chars_format::fixed, 6);
    return std::string(buf, res.ptr);
}

// A number read into a field of type T; text that is no number, and a
// number the field cannot hold, give the fallback instead of wrapping.
template <typename T>
T IntOr(const std::string& text, T fallback) {
    long long v;
    if (!ParseInteger(text, v) || v < std::numeric_limits<T>::min() ||
        v > std::numeric_limits<T>::max())
        return fallback;
    return static_cast<T>(v);
}

// A coordinate in degrees; anything else (no number, beyond the globe,
// infinite or not a number) gives the fallback.
float DegreesOr(const std::string& text, double limit, float fallback) {
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
    v[cDateNum] = Text(std::to_string(q.month) + " " + std::to_string(q.day) + " " +
                       std::to_string(q.hour) + " " + std::to_string(q.minute));
    v[cDateStyle] = Text(std::string(q.lunar ? "1" : "0") + " " + (q.leap ? "1" : "0"));
    std::string addr = std::to_string(q.province) + " " + std::to_string(q.city);
    for (int32_t e : r.extra) {
        if (e == -1) break;
        addr += " " + std::to_string(e);
    }
    v[cAddrInd] = Text(addr);
    v[cAddrName] = Text(ReadGbkField(q.place));
    v[cAddrNum] = Text(Fixed6(q.longitude) + " " + Fixed6(q.latitude) + " 8");
    v[cRemarkFile] = Text(r.commentFile);
    v[cTag1] = Text(" ");
    v[cTag2] = Text(" ");
    v[cEvent] = Text(ReadGbkField(q.question));
    v[cKeStyle] = Text(std::to_string(unsigned(q.direct)) + " " + std::to_string(unsigned(q.noble)) +
                       " " + std::to_string(unsigned(q.earth)) + " " +
                       std::to_string(unsigned(q.general)));
    v[cOtherKe] = Text(std::to_string(unsigned(q.directGeneral)) + " " +
                       std::to_string(unsigned(q.directDay)) + " " +
                       std::to_string(unsigned(q.directHour)) + " " +
                       std::to_string(unsigned(q.directEarth)));
    v[cMasterDate] = Text(kMasterDate);
    v[cRemarkText] = Text(r.comment);
    return v;
}

void RecordFromRow(const TCaseRow& row, TRecordData& r) {
    InitRecordData(r);
    TCastRequest& q = r.request;

    r.id = IntOr<int32_t>(row[cId], 0);
    WriteGbkField(q.name, row[cName]);

    // An empty or non-numeric flag reads as set; only a number other than 1 clears it.
    {
        long long v;
        q.filled = row[cSex].empty() || !ParseInteger(row[cSex], v) || v == 1 ? 1 : 0;
    }
    r.category = row[cClassName].empty() ? kDefaultCategory : row[cClassName];
    q.year = IntOr<int16_t>(row[cDateY], 1900);

    {
        int16_t* parts[4] = {&q.month, &q.day, &q.hour, &q.minute};
        for (int16_t* p : parts) *p = 1;
        const auto items = SplitList(row[cDateNum]);
        for (size_t i = 0; i < items.size() && i < 4; ++i)
            *parts[i] = IntOr<int16_t>(items[i], 1);
    }
    {
        const auto items = SplitList(row[cDateStyle]);
        uint8_t* flags[2] = {&q.lunar, &q.leap};
        for (size_t i = 0; i < 2; ++i) {
            long long v;
            *flags[i] = 0;
            if (i < items.size()) *flags[i] = !ParseInteger(items[i], v) || v == 1 ? 1 : 0;
        }
    }
    {
        const auto items = SplitList(row[cAddrInd]);
        q.province = items.size() > 0 ? IntOr<int16_t>(items[0], 0) : 0;
        q.city = items.size() > 1 ? IntOr<int16_t>(items[1], 0) : 0;
        for (size_t i = 0; i < 5; ++i)
            r.extra[i] = i + 2 < items.size() ? IntOr<int32_t>(items[i + 2], -1) : -1;
    }
    WriteGbkField(q.place, row[cAddrName]);
    {
        const auto items = SplitList(row[cAddrNum]);
        q.longitude = items.size() > 0 ? DegreesOr(items[0], 180, 120) : 120;
        q.latitude = items.size() > 1 ? DegreesOr(items[1], 90, 30) : 30;
    }
    r.commentFile = row[cRemarkFile].empty() ? " " : row[cRemarkFile];
    // The fixed text fields end at a zero byte; a question that ends at
    // once reads as an empty one.
    const std::string event = row[cEvent].substr(0, row[cEvent].find('\0'));
    WriteGbkField(q.question, event.empty() ? kDefaultQuestion : event);
    {
        const auto items = SplitList(row[cKeStyle]);
        uint8_t* parts[4] = {&q.direct, &q.noble, &q.earth, &q.general};
        for (size_t i = 0; i < 4; ++i)
            *parts[i] = i < items.size() ? IntOr<uint8_t>(items[i], 0) : 0;
    }
    {
        const auto items = SplitList(row[cOtherKe]);
        uint8_t* parts[4] = {&q.directGeneral, &q.directDay, &q.directHour, &q.directEarth};
        for (size_t i = 0; i < 4; ++i)
            *parts[i] = i < items.size() ? IntOr<uint8_t>(items[i], 0) : 0;
    }
    r.comment = row[cRemarkText].empty() ? kDefaultComment : row[cRemarkText];
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
    auto res = std::from_chars(text.data(), text.data() + text.size(), out,
                               std::chars_format::fixed);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
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
