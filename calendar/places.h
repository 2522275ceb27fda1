// SPDX-License-Identifier: GPL-3.0-or-later
// Places and their coordinates as the places file dat/dili.ini keeps them:
// one section per province, one key per city, values "D:M*d:m".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qd {

class CIniFile;

constexpr int kProvinceCount = 35;  // the last is 未知地, not a section of the file
extern const char* const kProvinces[kProvinceCount];

// The places file, relative to the application folder.
constexpr const char* kPlacesFile = "dat/dili.ini";
constexpr const char* kDefaultCoordinate = "120:0*30:0";

// Index of a province name in kProvinces, -1 when it is none of them.
int ProvinceIndex(std::string_view name);

// The four numbers of a value as texts, split at the first '*' and then at
// the first ':' of each half (missing parts are empty).
struct TCoordinateText {
    std::string lonDeg, lonMin, latDeg, latMin;
};
TCoordinateText SplitCoordinate(const std::string& value);

// Degrees + minutes/60 (the minutes are added also to negative degrees);
// false when a part is not an integer.
bool ParseCoordinate(const std::string& value, float* longitude, float* latitude);
std::string FormatCoordinate(int lonDeg, int lonMin, int latDeg, int latMin);

// Whole-number reading of an edit's text, `bad` when it is not one.
int IntOrDefault(const std::string& text, int bad);

// A city of a province with its coordinates as a cast uses them.
struct TPlace {
    std::string name;
    float longitude = 120.0f;
    float latitude = 30.0f;
};

// The cities of a province's section in file order, as the main window
// lists them: a missing key reads as kDefaultCoordinate, a missing section
// gives none. A value that is not D:M*d:m with integers ends the reading:
// false, with the cities before it kept in `places` and the value in
// `badValue`.
bool ReadProvincePlaces(const CIniFile& file, std::string_view province, std::vector<TPlace>& places,
                        std::string* badValue = nullptr);

}  // namespace qd
