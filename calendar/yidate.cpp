// SPDX-License-Identifier: GPL-3.0-or-later
// Solar terms, pillars and solar time of MYiDateEx.
#include <cmath>

#include "calendar/ephemeris.h"
#include "calendar/yidate.h"

namespace qd {

namespace {
int Mod(int a, int n) { return ((a % n) + n) % n; }
}  // namespace

double MYiDateEx::SolarTermJulianDay(int year, double a) const {
    // One extra turn: the angle counts from the March equinox of 1999, so the
    // January and February terms of a year land in that year.
    const double w = 2 * eph::kPi * ((year - 2000) + a / 360 + 1);
    const double d = 36525 * eph::SunLongitudeTime(w);
    return d + kJ2000 + 1.0 / 3 - eph::DeltaTDays(d);
}

TDateTime MYiDateEx::SolarTermInstant(int year, int month, MonthTerm term) const {
    const int k = 2 * month - 2 + (term == MonthTerm::Jie ? 0 : 1);
    return qd::RecordOfJulianDay(SolarTermJulianDay(year, 15.0 * k - 75));
}

int MYiDateEx::SolarMonthOf(const TDateTime& r, TSolarMonth* out) const {
    const double j = qd::JulianDayOfRecord(r);
    int a = 30 * r.month - 105;
    double lo = SolarTermJulianDay(r.year, a);
    double hi = SolarTermJulianDay(r.year, a + 30);
    for (;;) {
        if (j < lo) {
            a -= 30;
            hi = lo;
            lo = SolarTermJulianDay(r.year, a);
        } else if (j >= hi) {
            a += 30;
            lo = hi;
            hi = SolarTermJulianDay(r.year, a + 30);
        } else {
            break;
        }
    }
    if (out) {
        out->jieJd = lo;
        out->zhongQiJd = SolarTermJulianDay(r.year, a + 15);
        out->nextJieJd = hi;
        out->jie = qd::RecordOfJulianDay(lo);
        out->zhongQi = qd::RecordOfJulianDay(out->zhongQiJd);
        out->nextJie = qd::RecordOfJulianDay(hi);
    }
    while (a < 0) a += 360;
    return Mod((a + 75) % 360 / 30 + 2, 12);
}

std::vector<TSolarTermEntry> MYiDateEx::SolarTermsOfYear(int year) const {
    std::vector<TSolarTermEntry> list;
    int a = -60;
    TDateTime r;
    do {
        a -= 15;
        r = qd::RecordOfJulianDay(SolarTermJulianDay(year, a));
    } while (r.year == year && r.year > -4714);
    for (;;) {
        a += 15;
        r = qd::RecordOfJulianDay(SolarTermJulianDay(year, a));
        if (r.year != year || r.year > 9999) break;
        int k = (a + 36000) % 360 - 285;
        if (k < 0) k += 360;
        list.push_back(TSolarTermEntry{r, static_cast<int16_t>((k / 15) % 24)});
    }
    return list;
}

double MYiDateEx::EquationOfTimeSeconds(const TDateTime& r) const {
    double x = JulianDay(r.year, r.month, r.day + (r.hour + r.minute / 60.0) / 24) - kJ2000 - 1.0 / 3;
    x += eph::DeltaTDays(x);
    return 86400 * eph::EquationOfTime(x / 36525);
}

double MYiDateEx::ApplySolarTime(float longitude, TDateTime& r, SolarTimeKind kind) const {
    const double j = qd::JulianDayOfRecord(r);
    const double e = kind == SolarTimeKind::TrueSolarTime ? std::trunc(EquationOfTimeSeconds(r)) : 0;
    // The clock keeps the time of the 120° meridian: 4 minutes a degree.
    // The longitude stays a 32-bit float, as the request record stores it.
    const double c = std::floor((120 - static_cast<double>(longitude)) * 4 * 60);
    r = qd::RecordOfJulianDay(j + (e - c) / 86400);
    return e;
}

TPillars MYiDateEx::Pillars(const TDateTime& r) const {
    TPillars p;
    const double j = qd::JulianDayOfRecord(r);

    // The year changes at the minute of 立春.
    const TDateTime lichun = SolarTermInstant(r.year, 2, MonthTerm::Jie);
    p.year = static_cast<int16_t>(Mod(r.year + 6896 + (j >= qd::JulianDayOfRecord(lichun) ? 1 : 0), 60));

    const int b = SolarMonthOf(r);
    const int d = b > 2 ? b - 3 : b + 9;  // 寅 month 0 ... 丑 month 11
    int s = p.year % 10;
    if (s == 0) s = 10;
    const int f = (2 * (s <= 5 ? s : s - 5) + 1) % 10;
    p.month = qd::CycleFromStemBranch(static_cast<int16_t>((f + d) % 10), static_cast<int16_t>((d + 3) % 12));
    p.month = static_cast<int16_t>(p.month % 60);

    // The day changes at 23:00, the start of the 子 hour.
    int day = qd::DayCycle(r);
    if (r.hour == 23) day = (day + 1) % 60;
    p.day = static_cast<int16_t>(day);

    int h = r.hour;
    if (h % 2 == 1) h = (h + 1) % 24;
    int t = day % 10;
    if (t == 0) t = 5;
    const int stem = (h / 2 + 2 * t - 1) % 10;
    const int branch = (h / 2 + 1) % 12;
    p.hour = static_cast<int16_t>(
        qd::CycleFromStemBranch(static_cast<int16_t>(stem), static_cast<int16_t>(branch)) % 60);
    return p;
}

}  // namespace qd
