// SPDX-License-Identifier: GPL-3.0-or-later
// MYiDateEx: the calendar object the engine and the calendar window talk to.
// It lays out lunar years from solar terms and new moons, converts between
// the civil and the lunar calendar, finds solar-term instants, the four
// pillars of a moment, and corrects clock time to solar time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calendar/datetime.h"
#include "calendar/julian.h"

namespace qd {

// One entry of a year's solar-term list: the instant, rounded to the minute,
// and the term index (0 小寒 ... 23 冬至).
struct TSolarTermEntry {
    TDateTime when;
    int16_t index = 0;
};

// Year, month, day and hour as sexagenary numbers (1 甲子 ... 0 癸亥).
struct TPillars {
    int16_t year = 0;
    int16_t month = 0;
    int16_t day = 0;
    int16_t hour = 0;
};

// The three instants around a moment's solar month: the 节 that opened it,
// its 中气, and the next 节, rounded and as unrounded Julian days.
struct TSolarMonth {
    TDateTime jie, zhongQi, nextJie;
    double jieJd = 0, zhongQiJd = 0, nextJieJd = 0;
};

enum class EventKind { SolarTerm, NewMoon };

// Which of the two solar terms of a solar month: the 节 that opens it or the
// 中气 in its middle.
enum class MonthTerm { Jie, ZhongQi };

// The correction ApplySolarTime makes. The numbers are those of the cast
// setting "idate" (0 there keeps the clock time and calls nothing).
enum class SolarTimeKind { TrueSolarTime = 1, LocalMeanTime = 2 };

// Names of the 24 terms by index, UTF-8.
extern const char* const kSolarTermNames[24];

class MYiDateEx {
public:
    MYiDateEx();

    // Civil calendar (kept here so callers hold one object).
    double JulianDayOfRecord(const TDateTime& r) const { return qd::JulianDayOfRecord(r); }
    TDateTime RecordOfJulianDay(double jd) const { return qd::RecordOfJulianDay(jd); }
    void NextDay(TDateTime& r) const { qd::NextDay(r); }
    bool IsValidDate(const TDateTime& r) const { return qd::IsValidDate(r); }
    int WeekDay(const TDateTime& r) const { return qd::WeekDay(r); }
    int DayCycle(const TDateTime& r) const { return qd::DayCycle(r); }
    int16_t CycleFromStemBranch(int16_t s, int16_t b) const { return qd::CycleFromStemBranch(s, b); }
    std::string NumeralText(int16_t n) const { return qd::NumeralText(n); }

    // Lunar calendar. LunarOfSolar answers the leap flag; lunar gets the
    // lunar year, month number and day with hour and minute copied.
    bool LunarOfSolar(const TDateTime& solar, TDateTime& lunar, int& monthLength);
    bool LunarOfSolar(const TDateTime& solar, TDateTime& lunar);
    // False, with the message in `message`, when the lunar date does not exist.
    bool SolarOfLunar(const TDateTime& lunar, bool leap, TDateTime& solar, std::string& message);

    // Day number (days since J2000) of the solar term or new moon nearest
    // `day`, as the official calendar of its time dated it.
    int EventDay(double day, EventKind kind) const;
    // Lays out the lunar year around `day` (a day number).
    void LunarYearLayout(int day);

    // Solar terms and pillars.
    // The 节 or 中气 of civil month `month` (1 小寒/大寒 ... 12 大雪/冬至),
    // rounded to the minute.
    TDateTime SolarTermInstant(int year, int month, MonthTerm term) const;
    // Unrounded instant (Julian day, UTC+8) at which the solar longitude is
    // a degrees past the March equinox, counted in year `year`: a = -75 is
    // that year's 小寒, -45 its 立春, 0 its 春分.
    double SolarTermJulianDay(int year, double a) const;
    // Branch number of the solar month of r; `out` gets its three instants.
    int SolarMonthOf(const TDateTime& r, TSolarMonth* out = nullptr) const;
    std::vector<TSolarTermEntry> SolarTermsOfYear(int year) const;
    double EquationOfTimeSeconds(const TDateTime& r) const;
    // Moves r from the clock time to true solar or local mean time at
    // `longitude` (degrees east); answers the equation of time used, in
    // seconds (0 for local mean time).
    double ApplySolarTime(float longitude, TDateTime& r, SolarTimeKind kind) const;
    TPillars Pillars(const TDateTime& r) const;

    // The current lunar year layout (read by the calendar window and tests).
    int LeapPosition() const { return leapPos_; }
    const int* MonthNumbers() const { return monthNum_; }
    const int* TermDays() const { return termDays_; }
    const int* NewMoonDays() const { return newMoon_; }
    const int* MonthLengths() const { return monthLen_; }
    int CurrentDay() const { return currentDay_; }

    // Lunar names as the calendar window shows them: "闰" + "正月"/"二月"..,
    // and "初一" ... "三十".
    std::string LunarMonthText(int month, bool leap) const;
    std::string LunarDayText(int day) const;

    const std::string& NewMoonCorrections() const { return newMoonText_; }
    const std::string& SolarTermCorrections() const { return termText_; }

private:
    struct LunarDay {
        int year, month, day, length;
        bool leap;
    };
    LunarDay LunarOfDay(int day);
    void AncientMonthNumbers();

    std::string newMoonText_;
    std::string termText_;

    int leapPos_ = 0;
    int monthNum_[14] = {};
    int termDays_[27] = {};  // 25 terms from 冬至, then the terms 15.2 and 30.4 days before
    int newMoon_[15] = {};
    int monthLen_[14] = {};

    int currentDay_ = 0;

    // The layout is a function of the estimated 冬至 alone; keeping the one it
    // was built for lets a sweep over consecutive days skip the rebuild.
    double layoutWinter_ = 0;
    bool layoutValid_ = false;
};

namespace lunar {
// The pieces of the short-formula period that the correction texts index,
// shared with their generator: the period is [CorrectionStart, 1960-01-01),
// the target angle of the event near jd, and its position in the text.
double CorrectionStart(EventKind kind);
double CorrectionEnd();
double EventAngle(double jd, EventKind kind);
long CorrectionIndex(double jd, EventKind kind);
}  // namespace lunar

// Expands a correction text written with the letter code (each letter stands
// for a fixed run of "0"/"1"/"2").
std::string ExpandCorrectionText(const std::string& packed);
// The inverse, used by the table generator.
std::string PackCorrectionText(const std::string& plain);

}  // namespace qd
