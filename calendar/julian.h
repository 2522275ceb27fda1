// SPDX-License-Identifier: GPL-3.0-or-later
// Julian day and the civil calendar: Julian before 1582-10-15, Gregorian
// from that day, astronomical years.
#pragma once

#include <cstdint>
#include <string>

#include "calendar/datetime.h"

namespace qd {

// floor(x) converted to 32 bits.
int32_t FloorInt(double x);

// Julian day of a date; day carries the time of day as a fraction.
double JulianDay(int32_t year, int32_t month, double day);
double JulianDayOfMoment(const TMoment& m);
TMoment MomentOfJulianDay(double jd);

// Rounded to the minute: more than 30 whole seconds round up.
TDateTime RecordOfJulianDay(double jd);
// Julian day at second 1 of the record's minute.
double JulianDayOfRecord(const TDateTime& r);
// The same clock time one day later.
void NextDay(TDateTime& r);

// Year, month and day only; month and day ranges are the caller's to check.
bool IsValidDate(const TDateTime& r);
// 0 = Sunday ... 6 = Saturday.
int WeekDay(const TDateTime& r);
// Sexagenary number 0..59 of the civil day (1 = 甲子, 0 = 癸亥).
int DayCycle(const TDateTime& r);
// May answer 60 instead of 0; callers reduce it.
int16_t CycleFromStemBranch(int16_t stem, int16_t branch);

// Chinese numerals: 1..9 digits, 十, 十一..十九, 二十, 廿一..廿九, 三十,
// everything else digit by digit with "前" for negatives (UTF-8).
std::string NumeralText(int16_t a);

}  // namespace qd
