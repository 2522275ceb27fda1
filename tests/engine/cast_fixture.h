// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the engine's procedure tests: an application folder of its own
// with an optional dat/set.ini, and requests as the input panel fills them.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/richtext_plain.h"
#include "engine/quadrellemp.h"
#include "engine/request.h"

namespace qd::testing_support {

class AppFolder {
public:
    explicit AppFolder(const std::string& name) {
        path_ = std::filesystem::path(::testing::TempDir()) / ("qd_app_" + name);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "dat");
    }
    ~AppFolder() { std::filesystem::remove_all(path_); }

    // The folder with its trailing separator.
    std::string Folder() const { return path_.string() + "/"; }

    // Writes dat/set.ini with the given [set] lines ("key=value\r\n" ...).
    void WriteSettings(const std::string& lines) const {
        std::ofstream(path_ / "dat" / "set.ini", std::ios::binary) << "[set]\r\n" << lines;
    }

private:
    std::filesystem::path path_;
};

// The input panel's defaults for a Gregorian moment.
inline TCastRequest PanelRequest(int year, int month, int day, int hour, int minute, int earth = 7) {
    TCastRequest r{};
    r.filled = 1;
    WriteGbkField(r.name, "某人");
    WriteGbkField(r.question, "要问的事情。");
    WriteGbkField(r.place, "未知地");
    r.year = static_cast<int16_t>(year);
    r.month = static_cast<int16_t>(month);
    r.day = static_cast<int16_t>(day);
    r.hour = static_cast<int16_t>(hour);
    r.minute = static_cast<int16_t>(minute);
    r.earth = static_cast<uint8_t>(earth % 12);
    r.longitude = 120;
    r.latitude = 30;
    return r;
}

// An engine bound to a plain sink and to an application folder.
struct Caster {
    explicit Caster(const AppFolder& app) {
        engine.SetApplicationFolder(app.Folder());
        engine.BindResultView(&view);
    }
    CPlainTextSink view;
    CQuadrellemp engine;
};

}  // namespace qd::testing_support
