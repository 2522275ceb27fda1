// SPDX-License-Identifier: GPL-3.0-or-later
// qdl places: the provinces of the places file, or the cities of one with the
// coordinates a cast would use.
#include <cstdio>
#include <iostream>

#include "base/inifile.h"
#include "calendar/places.h"
#include "cli/command.h"
#include "store/store_files.h"

namespace qd::cli {

namespace {

constexpr const char* kUsage = "usage: qdl places [--home DIR] [PROVINCE]";

// The main window's last province entry: one city at 120°, 30°, whatever the
// file holds.
constexpr int kUnknownPlace = kProvinceCount - 1;

void PrintPlace(const TPlace& p) { std::printf("%s %.4f %.4f\n", p.name.c_str(), p.longitude, p.latitude); }

}  // namespace

int RunPlaces(const Args& args) {
    std::string home;
    std::string province;
    bool hasProvince = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage << '\n';
            return kOk;
        }
        if (a == "--home") {
            if (i + 1 >= args.size()) return BadInput("missing value for --home");
            home = args[++i];
        } else if (a.rfind("--home=", 0) == 0) {
            home = a.substr(7);
        } else if (a.rfind("--", 0) == 0 || hasProvince) {
            return BadInput(kUsage);
        } else {
            province = a;
            hasProvince = true;
        }
    }
    if (home.empty()) {
        home = ExecutableFolder();
    } else if (!IsFolder(home)) {
        return BadInput("no folder '" + home + "'");
    }

    if (!hasProvince) {
        for (int i = 0; i < kUnknownPlace; ++i) std::cout << kProvinces[i] << '\n';
        return kOk;
    }
    const int index = ProvinceIndex(province);
    if (index < 0) return BadInput("unknown province '" + province + "' (qdl places lists them)");
    if (index == kUnknownPlace) {
        PrintPlace(TPlace{kProvinces[kUnknownPlace]});
        return kOk;
    }

    CIniFile file;
    if (!file.Open(WithSlash(home) + kPlacesFile)) {
        std::cerr << file.ErrorText() << '\n';
        return kRefused;
    }
    std::vector<TPlace> places;
    std::string bad;
    const bool whole = ReadProvincePlaces(file, province, places, &bad);
    for (const TPlace& p : places) PrintPlace(p);
    if (!whole) {
        // The window's conversion error for the same value.
        std::cerr << "'" << bad << "' 不是有效的整数值\n";
        return kRefused;
    }
    return kOk;
}

}  // namespace qd::cli
