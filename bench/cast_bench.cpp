// SPDX-License-Identifier: GPL-3.0-or-later
// One whole cast as the "起课" button makes it: settings, calendar facts,
// pillars, positions, chart, judgement section and emphasis, written into the
// plain sink.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "base/encoding.h"
#include "base/richtext_plain.h"
#include "engine/quadrellemp.h"

namespace {

qd::TCastRequest Request() {
    qd::TCastRequest r{};
    r.filled = 1;
    qd::WriteGbkField(r.name, "某人");
    qd::WriteGbkField(r.question, "要问的事情。");
    qd::WriteGbkField(r.place, "未知地");
    r.year = 2004;
    r.month = 1;
    r.day = 26;
    r.hour = 15;
    r.minute = 30;
    r.earth = 7;
    r.longitude = 116.4f;
    r.latitude = 39.9f;
    return r;
}

void BM_Cast(benchmark::State& state, int idate, bool newYears) {
    // A folder without dat/set.ini reads the defaults, as on a first start.
    const auto home = std::filesystem::temp_directory_path() / "qd_cast_bench";
    std::filesystem::create_directories(home);
    qd::CPlainTextSink view;
    qd::CQuadrellemp engine;
    engine.SetApplicationFolder(home.string() + "/");
    engine.BindResultView(&view);
    if (idate != 0) {
        qd::TCastSettings s = engine.ReadSettings();
        s.idate = static_cast<uint8_t>(idate);
        engine.OverrideSettings(&s);
    }
    qd::TCastRequest request = Request();
    int n = 0;
    for (auto _ : state) {
        // Alternating between far-apart years makes every cast lay out its
        // lunar year afresh, as the first cast of a year does.
        if (newYears) request.year = static_cast<int16_t>((n++ % 2) ? 2150 : 2004);
        const bool ok = engine.Cast(request);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(view.TextLength());
    }
}
BENCHMARK_CAPTURE(BM_Cast, clock_time, 0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Cast, true_solar_time, 1, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Cast, new_lunar_year_each_cast, 0, true)->Unit(benchmark::kMicrosecond);

}  // namespace
