// SPDX-License-Identifier: GPL-3.0-or-later
// The lunar calendar: one conversion, a month of the calendar window, and
// the same with a fresh layout for every day (the cost without the kept
// layout).
#include <benchmark/benchmark.h>

#include "calendar/yidate.h"

namespace {

using qd::MYiDateEx;
using qd::TDateTime;

void BM_LunarOfSolarOneDay(benchmark::State& state) {
    MYiDateEx cal;
    TDateTime r{2024, 6, 15, 12, 0}, l;
    int day = 0;
    for (auto _ : state) {
        // Alternate years so the kept layout cannot answer.
        r.year = static_cast<int16_t>(1950 + (day++ % 100));
        int length;
        benchmark::DoNotOptimize(cal.LunarOfSolar(r, l, length));
    }
}
BENCHMARK(BM_LunarOfSolarOneDay);

void BM_CalendarWindowMonth(benchmark::State& state) {
    int month = 0;
    for (auto _ : state) {
        MYiDateEx cal;  // the window's conversions start cold
        TDateTime r{static_cast<int16_t>(1900 + month / 12 % 300), static_cast<int16_t>(month % 12 + 1), 1,
                    12, 0};
        ++month;
        for (int i = 0; i < 31; ++i) {
            TDateTime l;
            int length;
            benchmark::DoNotOptimize(cal.LunarOfSolar(r, l, length));
            cal.NextDay(r);
        }
    }
}
BENCHMARK(BM_CalendarWindowMonth)->Unit(benchmark::kMillisecond);

void BM_CalendarWindowMonthNoKeptLayout(benchmark::State& state) {
    int month = 0;
    for (auto _ : state) {
        TDateTime r{static_cast<int16_t>(1900 + month / 12 % 300), static_cast<int16_t>(month % 12 + 1), 1,
                    12, 0};
        ++month;
        for (int i = 0; i < 31; ++i) {
            MYiDateEx cal;
            TDateTime l;
            int length;
            benchmark::DoNotOptimize(cal.LunarOfSolar(r, l, length));
            cal.NextDay(r);
        }
    }
}
BENCHMARK(BM_CalendarWindowMonthNoKeptLayout)->Unit(benchmark::kMillisecond);

}  // namespace
