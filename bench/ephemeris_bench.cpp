// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the day-level solvers: a lunar year layout needs about 44 of them
// and the calendar window one layout per shown day.
#include <benchmark/benchmark.h>

#include "calendar/ephemeris.h"

namespace {

using namespace qd::eph;

void BM_SolarTermHigh(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SolarTermHigh((k++ % 2400) * kPi2 / 24));
}
BENCHMARK(BM_SolarTermHigh);

void BM_NewMoonHigh(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(NewMoonHigh((k++ % 1200) * kPi2));
}
BENCHMARK(BM_NewMoonHigh);

void BM_SunLongitudeTime(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(SunLongitudeTime((k++ % 2400) * kPi2 / 24));
}
BENCHMARK(BM_SunLongitudeTime);

void BM_ElongationTime(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ElongationTime((k++ % 1200) * kPi2));
}
BENCHMARK(BM_ElongationTime);

void BM_EquationOfTime(benchmark::State& state) {
    double T = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EquationOfTime(T));
        T += 1e-4;
    }
}
BENCHMARK(BM_EquationOfTime);

}  // namespace
