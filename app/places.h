// Places and their coordinates as the places file dat/dili.ini keeps them:
// one section per province, one key per city, values "D:M*d:m".
#pragma once

#include <string>

namespace qd {

constexpr int kProvinceCount = 35;  // the last is 未知地, not a section of the file
extern const char* const kProvinces[kProvinceCount];

constexpr const char* kDefaultCoordinate = "120:0*30:0";

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

}  // namespace qd
