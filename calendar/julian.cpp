// SPDX-License-Identifier: GPL-3.0-or-later

#include "calendar/julian.h"

#include <cmath>
#include <cstdlib>

namespace qd {

int32_t FloorInt(double x) { return static_cast<int32_t>(std::floor(x)); }

double JulianDay(int32_t y, int32_t m, double d) {
    // 588829 = 1582-10-15 in this packed form: the first Gregorian day.
    const bool gregorian = FloorInt(d) + 31 * m + 372 * y >= 588829;
    if (m <= 2) {
        m += 12;
        y -= 1;
    }
    int32_t b = 0;
    if (gregorian) {
        const int32_t a = y / 100;
        b = 2 - a + a / 4;
    }
    return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
}

double JulianDayOfMoment(const TMoment& m) {
    return JulianDay(m.year, m.month, m.day + (m.hour + (m.minute + m.second / 60.0) / 60.0) / 24.0);
}

TMoment MomentOfJulianDay(double jd) {
    TMoment r;
    const double z = std::floor(jd + 0.5);
    double f = jd + 0.5 - z;
    double a = z;
    if (z >= 2299161) {
        const double alpha = std::floor((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - std::floor(alpha * 0.25);
    }
    const double b = a + 1524;
    const double c = std::floor((b - 122.1) / 365.25);
    const double d = std::floor(365.25 * c);
    const double e = std::floor((b - d) / 30.601);
    r.day = static_cast<int32_t>(b - d - std::floor(30.601 * e));
    if (e <= 13) {
        r.month = static_cast<int32_t>(e - 1);
        r.year = static_cast<int32_t>(c - 4716);
    } else {
        r.month = static_cast<int32_t>(e - 13);
        r.year = static_cast<int32_t>(c - 4715);
    }
    f *= 24;
    r.hour = FloorInt(f);
    f -= r.hour;
    f *= 60;
    r.minute = FloorInt(f);
    f -= r.minute;
    r.second = static_cast<int32_t>(60 * f);  // truncated toward zero
    return r;
}

TDateTime RecordOfJulianDay(double jd) {
    TMoment m = MomentOfJulianDay(jd);
    if (m.second > 30) m = MomentOfJulianDay(jd + (65 - m.second) / 86400.0);
    return TDateTime{static_cast<int16_t>(m.year), static_cast<int16_t>(m.month), static_cast<int16_t>(m.day),
                     static_cast<int16_t>(m.hour), static_cast<int16_t>(m.minute)};
}

double JulianDayOfRecord(const TDateTime& r) {
    return JulianDayOfMoment(TMoment{r.year, r.month, r.day, r.hour, r.minute, 1});
}

void NextDay(TDateTime& r) { r = RecordOfJulianDay(JulianDayOfRecord(r) + 1); }

bool IsValidDate(const TDateTime& r) {
    int day = r.day;
    if (r.year == 1582 && r.month == 10) {
        if (day >= 5 && day <= 14) return false;  // dropped by the reform
        if (day >= 15) day -= 10;
    }
    TDateTime first{r.year, r.month, 1, 12, 0};
    TDateTime next = first;
    if (r.month == 12) {
        next.year = static_cast<int16_t>(r.year + 1);
        next.month = 1;
    } else {
        next.month = static_cast<int16_t>(r.month + 1);
    }
    const int length = FloorInt(JulianDayOfRecord(next) - JulianDayOfRecord(first));
    return length >= day;
}

namespace {
int32_t NoonDay(const TDateTime& r) {
    return FloorInt(JulianDayOfMoment(TMoment{r.year, r.month, r.day, 12, 0, 1}));
}
int PositiveMod(int64_t a, int n) { return static_cast<int>(((a % n) + n) % n); }
}  // namespace

int WeekDay(const TDateTime& r) { return PositiveMod(int64_t{NoonDay(r)} + 1, 7); }

int DayCycle(const TDateTime& r) { return PositiveMod(int64_t{NoonDay(r)} + 50, 60); }

int16_t CycleFromStemBranch(int16_t s, int16_t b) {
    int16_t c = static_cast<int16_t>(s - b);
    if (c < 0) c = static_cast<int16_t>(c + 12);
    return static_cast<int16_t>(s + 10 * (c / 2));
}

std::string NumeralText(int16_t value) {
    static const char* const kDigit[10] = {"○", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    const int a = value;
    if (a >= 1 && a <= 9) return kDigit[a];
    if (a == 10) return "十";
    if (a == 20) return "二十";
    if (a == 30) return "三十";
    if (a > 10 && a < 20) return std::string("十") + kDigit[a % 10];
    if (a > 20 && a < 30) return std::string("廿") + kDigit[a % 10];
    std::string s;
    int v = a;
    if (v < 0) {
        s = "前";
        v = -v;
    }
    int div = v < 10 ? 1 : v < 100 ? 10 : v < 1000 ? 100 : 1000;
    for (; div > 0; div /= 10) {
        s += kDigit[(v / div) % 10];
    }
    return s;
}

}  // namespace qd
