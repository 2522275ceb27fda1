// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/places.h"

#include <charconv>
#include <cstdio>

#include "base/inifile.h"

namespace qd {

int ProvinceIndex(std::string_view name) {
    for (int i = 0; i < kProvinceCount; ++i) {
        if (name == kProvinces[i]) return i;
    }
    return -1;
}

TCoordinateText SplitCoordinate(const std::string& value) {
    TCoordinateText t;
    const size_t star = value.find('*');
    const std::string lon = value.substr(0, star);
    const std::string lat = star == std::string::npos ? std::string() : value.substr(star + 1);
    auto half = [](const std::string& s, std::string& d, std::string& m) {
        const size_t colon = s.find(':');
        d = s.substr(0, colon);
        m = colon == std::string::npos ? std::string() : s.substr(colon + 1);
    };
    half(lon, t.lonDeg, t.lonMin);
    half(lat, t.latDeg, t.latMin);
    return t;
}

static bool ToInt(std::string s, int* out) {
    while (!s.empty() && s.front() == ' ') s.erase(0, 1);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (!s.empty() && s.front() == '+') s.erase(0, 1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

int IntOrDefault(const std::string& text, int bad) {
    int v = 0;
    return ToInt(text, &v) ? v : bad;
}

bool ParseCoordinate(const std::string& value, float* longitude, float* latitude) {
    const TCoordinateText t = SplitCoordinate(value);
    int a, b, c, d;
    if (!ToInt(t.lonDeg, &a) || !ToInt(t.lonMin, &b) || !ToInt(t.latDeg, &c) || !ToInt(t.latMin, &d))
        return false;
    *longitude = float(a + b / 60.0);
    *latitude = float(c + d / 60.0);
    return true;
}

std::string FormatCoordinate(int lonDeg, int lonMin, int latDeg, int latMin) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d:%d*%d:%d", lonDeg, lonMin, latDeg, latMin);
    return buf;
}

bool ReadProvincePlaces(const CIniFile& file, std::string_view province, std::vector<TPlace>& places,
                        std::string* badValue) {
    places.clear();
    for (const std::string& city : file.Keys(province)) {
        const std::string value = file.ReadString(province, city, kDefaultCoordinate);
        TPlace p{city};
        if (!ParseCoordinate(value, &p.longitude, &p.latitude)) {
            if (badValue) *badValue = value;
            return false;
        }
        places.push_back(std::move(p));
    }
    return true;
}

}  // namespace qd
