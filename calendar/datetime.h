// SPDX-License-Identifier: GPL-3.0-or-later
// The date-time record every date and time travels in, and the working
// moment used inside the Julian-day conversions.
#pragma once

#include <cstdint>

namespace qd {

// Five 16-bit fields, no seconds: its Julian day is taken at second 1 of the
// minute. Years are astronomical (a year 0 exists). The same record holds a
// lunar date (month = lunar month number, day = lunar day) where the context
// says so.
struct TDateTime {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
    int16_t minute = 0;

    friend bool operator==(const TDateTime&, const TDateTime&) = default;
};
static_assert(sizeof(TDateTime) == 10, "five int16 fields, no padding");

// A calendar moment with seconds, in 32-bit fields.
struct TMoment {
    int32_t year = 2000;
    int32_t month = 1;
    int32_t day = 1;
    int32_t hour = 12;
    int32_t minute = 0;
    int32_t second = 0;

    friend bool operator==(const TMoment&, const TMoment&) = default;
};

constexpr double kJ2000 = 2451545.0;

}  // namespace qd
