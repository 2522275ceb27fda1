// SPDX-License-Identifier: GPL-3.0-or-later
// The places file: the shipped data/dat/dili.ini, the reading of a
// province's cities, and a city's longitude reaching the solar-time
// correction.
#include "calendar/places.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/inifile.h"
#include "calendar/yidate.h"

namespace qd {
namespace {

namespace fs = std::filesystem;

const std::string kShipped = QD_SOURCE_DIR "/data/dat/dili.ini";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Sections and their keys in file order, duplicates kept: the INI reader
// folds duplicate keys, so they are counted on the raw text.
std::vector<std::pair<std::string, std::vector<std::string>>> RawSections(const std::string& utf8) {
    std::vector<std::pair<std::string, std::vector<std::string>>> out;
    std::istringstream lines(utf8);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            out.push_back({line.substr(1, line.find(']') - 1), {}});
        } else if (!out.empty()) {
            out.back().second.push_back(line.substr(0, line.find('=')));
        }
    }
    return out;
}

// Rough extent of each province (longitude from/to, latitude from/to), with
// a margin; 海南省 reaches down to the islands of 三沙市.
struct TBox {
    float lon0, lon1, lat0, lat1;
};
const std::map<std::string, TBox> kBoxes = {
    {"福建省", {115.5, 121, 23, 28.5}},     {"北京市", {115.2, 117.7, 39.2, 41.3}},
    {"天津市", {116.5, 118.3, 38.4, 40.4}}, {"河北省", {113.2, 120.2, 36, 42.8}},
    {"山西省", {110, 114.8, 34.4, 40.9}},   {"内蒙古", {97, 126.2, 37.2, 53.5}},
    {"辽宁省", {118.5, 126, 38.5, 43.7}},   {"吉林省", {121.4, 131.5, 40.7, 46.5}},
    {"黑龙江省", {121, 135.2, 43.2, 53.7}}, {"上海市", {120.7, 122.2, 30.5, 32}},
    {"江苏省", {116.2, 122, 30.6, 35.3}},   {"浙江省", {118, 123.2, 26.9, 31.3}},
    {"安徽省", {114.8, 119.8, 29.3, 34.8}}, {"江西省", {113.4, 118.6, 24.4, 30.2}},
    {"山东省", {114.7, 122.8, 34.3, 38.5}}, {"河南省", {110.3, 116.7, 31.3, 36.5}},
    {"湖北省", {108.3, 116.2, 29, 33.4}},   {"湖南省", {108.7, 114.3, 24.6, 30.2}},
    {"广东省", {109.6, 117.5, 20, 25.6}},   {"广西", {104.4, 112.1, 20.8, 26.5}},
    {"海南省", {108.5, 118, 3, 20.3}},      {"四川省", {97.3, 108.6, 26, 34.4}},
    {"重庆市", {105.2, 110.3, 28.1, 32.3}}, {"贵州省", {103.6, 109.6, 24.6, 29.3}},
    {"云南省", {97.5, 106.2, 21.1, 29.3}},  {"西藏", {78.3, 99.2, 26.8, 36.5}},
    {"陕西省", {105.4, 111.3, 31.7, 39.6}}, {"甘肃省", {92, 108.8, 32.5, 43}},
    {"青海省", {89.4, 103.1, 31.5, 39.3}},  {"宁夏", {104.2, 107.7, 35.2, 39.4}},
    {"新疆", {73.4, 96.5, 34.3, 49.2}},     {"台湾省", {118, 122.1, 21.8, 26.5}},
    {"香港", {113.8, 114.5, 22.1, 22.6}},   {"澳门", {113.5, 113.65, 22.1, 22.25}},
};

TEST(ShippedPlaces, SectionsKeysAndValues) {
    const std::string bytes = ReadBytes(kShipped);
    ASSERT_FALSE(bytes.empty()) << kShipped;
    const auto sections = RawSections(GbkToUtf8(bytes));

    // The 34 provinces of the dialog, in the list's order, and nothing else.
    ASSERT_EQ(sections.size(), size_t(kProvinceCount - 1));
    size_t total = 0;
    for (int i = 0; i < kProvinceCount - 1; ++i) {
        const auto& [name, keys] = sections[i];
        EXPECT_EQ(name, kProvinces[i]);
        EXPECT_GE(keys.size(), 1u) << name;
        EXPECT_LE(keys.size(), 300u) << name;
        total += keys.size();
        std::set<std::string> seen;
        for (const std::string& key : keys) {
            EXPECT_TRUE(seen.insert(key).second) << name << ": " << key << " twice";
            EXPECT_LE(CharCount(key), 10u) << key;
            // Nothing the INI format, the dialog or the text cleaning of
            // the place text would take apart.
            EXPECT_EQ(key.find_first_of("\"*<>?\\/|:' =[];\t"), std::string::npos) << key;
        }
    }
    // 497 prefecture-level places and some 1 900 county-level ones.
    EXPECT_GE(total, 2300u);
    EXPECT_LE(total, 3600u);

    const CIniFile file(kShipped);
    for (const auto& [province, box] : kBoxes) {
        std::vector<TPlace> places;
        std::string bad;
        EXPECT_TRUE(ReadProvincePlaces(file, province, places, &bad)) << province << ": " << bad;
        for (const TPlace& p : places) {
            EXPECT_TRUE(p.longitude >= box.lon0 && p.longitude <= box.lon1 && p.latitude >= box.lat0 &&
                        p.latitude <= box.lat1)
                << province << " " << p.name << " " << p.longitude << " " << p.latitude;
        }
    }
}

TEST(ShippedPlaces, KnownCoordinates) {
    const struct {
        const char* province;
        const char* city;
        float longitude, latitude;
    } known[] = {
        {"福建省", "福州市", 119.30f, 26.08f},
        {"福建省", "泉州市", 118.59f, 24.91f},
        {"北京市", "东城区", 116.42f, 39.93f},
        {"上海市", "黄浦区", 121.49f, 31.23f},
        {"广东省", "广州市", 113.26f, 23.13f},
        {"四川省", "成都市", 104.07f, 30.66f},
        {"新疆", "乌鲁木齐市", 87.62f, 43.83f},
        {"黑龙江省", "哈尔滨市", 126.63f, 45.75f},
        {"香港", "中西区", 114.15f, 22.28f},
        {"贵州省", "黔西南州", 104.90f, 25.09f},
        // County-level seats.
        {"福建省", "晋江市", 118.55f, 24.78f},
        {"浙江省", "义乌市", 120.07f, 29.31f},
        {"江苏省", "昆山市", 120.98f, 31.38f},
        {"吉林省", "延吉市", 129.51f, 42.89f},
        {"青海省", "格尔木市", 94.90f, 36.40f},
        {"新疆", "喀什市", 75.99f, 39.47f},
        {"贵州省", "凯里市", 107.98f, 26.58f},
        {"台湾省", "板桥区", 121.46f, 25.01f},
        // A name two prefectures share carries its prefecture's in front.
        {"黑龙江省", "鹤岗向阳区", 130.29f, 47.34f},
        {"黑龙江省", "佳木斯向阳区", 130.36f, 46.80f},
    };
    const CIniFile file(kShipped);
    for (const auto& k : known) {
        std::vector<TPlace> places;
        ASSERT_TRUE(ReadProvincePlaces(file, k.province, places));
        const auto it =
            std::find_if(places.begin(), places.end(), [&](const TPlace& p) { return p.name == k.city; });
        ASSERT_NE(it, places.end()) << k.city;
        EXPECT_NEAR(it->longitude, k.longitude, 0.1) << k.city;
        EXPECT_NEAR(it->latitude, k.latitude, 0.1) << k.city;
    }
}

// A county follows its prefecture's entry, before the next prefecture's.
TEST(ShippedPlaces, CountiesFollowTheirPrefecture) {
    const struct {
        const char* province;
        const char* prefecture;
        const char* county;
        const char* nextPrefecture;
    } cases[] = {
        {"福建省", "泉州市", "晋江市", "漳州市"},
        {"浙江省", "金华市", "义乌市", "衢州市"},
        {"江苏省", "苏州市", "昆山市", "南通市"},
        {"台湾省", "新北市", "板桥区", "桃园市"},
    };
    const CIniFile file(kShipped);
    for (const auto& c : cases) {
        std::vector<TPlace> places;
        ASSERT_TRUE(ReadProvincePlaces(file, c.province, places));
        auto at = [&](const char* name) {
            return std::find_if(places.begin(), places.end(),
                                [&](const TPlace& p) { return p.name == name; }) -
                   places.begin();
        };
        EXPECT_LT(at(c.prefecture), at(c.county)) << c.county;
        EXPECT_LT(at(c.county), at(c.nextPrefecture)) << c.county;
        EXPECT_LT(at(c.nextPrefecture), std::ptrdiff_t(places.size())) << c.nextPrefecture;
    }
}

class PlacesFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (fs::path(::testing::TempDir()) /
                 ("qd_places_" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini"))
                    .string();
    }
    void TearDown() override { fs::remove(path_); }
    // The file as the program keeps it: GBK with CRLF.
    void Write(const std::string& utf8) const {
        std::ofstream out(path_, std::ios::binary);
        out << Utf8ToGbk(utf8);
    }
    bool Read(const char* province, std::string* bad = nullptr) {
        return ReadProvincePlaces(CIniFile(path_), province, places_, bad);
    }
    std::string path_;
    std::vector<TPlace> places_;
};

TEST_F(PlacesFile, CitiesInFileOrderAsTheWindowReadsThem) {
    Write("[福建省]\r\n晋江市=118:33*24:47\r\n福州市=119:18*26:5\r\n\r\n[新疆]\r\n西点=-73:58*40:45\r\n");
    ASSERT_TRUE(Read("福建省"));
    ASSERT_EQ(places_.size(), 2u);
    EXPECT_EQ(places_[0].name, "晋江市");
    EXPECT_EQ(places_[0].longitude, float(118 + 33 / 60.0));
    EXPECT_EQ(places_[0].latitude, float(24 + 47 / 60.0));
    EXPECT_EQ(places_[1].name, "福州市");

    // Minutes are added to negative degrees too.
    ASSERT_TRUE(Read("新疆"));
    ASSERT_EQ(places_.size(), 1u);
    EXPECT_NEAR(places_[0].longitude, -72.0333f, 1e-4);

    // A province without a section has no cities.
    EXPECT_TRUE(Read("西藏"));
    EXPECT_TRUE(places_.empty());
}

TEST_F(PlacesFile, ABrokenValueEndsTheProvince) {
    Write("[福建省]\r\n福州市=119:18*26:5\r\n厦门市=118度*24:29\r\n莆田市=119:0*25:26\r\n");
    std::string bad;
    EXPECT_FALSE(Read("福建省", &bad));
    EXPECT_EQ(bad, "118度*24:29");
    ASSERT_EQ(places_.size(), 1u);
    EXPECT_EQ(places_[0].name, "福州市");
}

// The value read for 晋江市 is what moves the cast moment: 1°27' west of the
// 120° meridian is 5 min 48 s of local mean time, against 2 min 48 s for the
// provincial capital.
TEST_F(PlacesFile, JinjiangCastsOnItsOwnLongitude) {
    Write("[福建省]\r\n福州市=119:18*26:5\r\n晋江市=118:33*24:47\r\n");
    ASSERT_TRUE(Read("福建省"));
    ASSERT_EQ(places_.size(), 2u);
    ASSERT_EQ(places_[1].name, "晋江市");
    auto localNoon = [](float longitude) {
        TDateTime r{2024, 3, 1, 12, 0};
        MYiDateEx().ApplySolarTime(longitude, r, SolarTimeKind::LocalMeanTime);
        return r;
    };
    EXPECT_EQ(localNoon(places_[1].longitude), (TDateTime{2024, 3, 1, 11, 54}));
    EXPECT_EQ(localNoon(places_[0].longitude), (TDateTime{2024, 3, 1, 11, 57}));
}

TEST(Provinces, IndexOfAName) {
    EXPECT_EQ(ProvinceIndex("福建省"), 0);
    EXPECT_EQ(ProvinceIndex("澳门"), 33);
    EXPECT_EQ(ProvinceIndex("未知地"), kProvinceCount - 1);
    EXPECT_EQ(ProvinceIndex("福建"), -1);
    EXPECT_EQ(ProvinceIndex(""), -1);
}

}  // namespace
}  // namespace qd
