// The lunar calendar of MYiDateEx: event days, the year layout and the
// conversions between the civil and the lunar calendar.
#include <cmath>
#include <cstring>

#include "calendar/ephemeris.h"
#include "calendar/lunar_tables.h"
#include "calendar/yidate.h"

namespace qd {

using namespace qd::lunar;

namespace {

constexpr double kYear = 365.2422;
constexpr double kMonth = 29.5306;
constexpr double k1960 = 2436935;  // 1960-01-01: the series take over
constexpr int kSolarOfLunarSearchDays = 181;
const char* const kNoSuchLunarDate = "不存在这个农历日期，无法转换到公历！";

int Floor(double x) { return static_cast<int>(std::floor(x)); }

}  // namespace

std::string ExpandCorrectionText(const std::string& packed) {
    std::string out;
    out.reserve(packed.size() * 4);
    for (char c : packed) {
        const char* run = nullptr;
        for (int i = 0; i < kPackLetterCount; ++i) {
            if (kPackLetters[i].letter == c) run = kPackLetters[i].run;
        }
        if (run)
            out += run;
        else
            out += c;
    }
    return out;
}

std::string PackCorrectionText(const std::string& plain) {
    std::string out;
    size_t pos = 0;
    while (pos < plain.size()) {
        // Longest run that matches here.
        int best = -1;
        size_t bestLen = 1;
        for (int i = 0; i < kPackLetterCount; ++i) {
            const size_t n = std::strlen(kPackLetters[i].run);
            if (n > bestLen && plain.compare(pos, n, kPackLetters[i].run) == 0) {
                best = i;
                bestLen = n;
            }
        }
        if (best < 0) {
            out += plain[pos];
            pos += 1;
        } else {
            out += kPackLetters[best].letter;
            pos += bestLen;
        }
    }
    return out;
}

MYiDateEx::MYiDateEx()
    : newMoonText_(ExpandCorrectionText(kNewMoonCorrectionsPacked)),
      termText_(ExpandCorrectionText(kSolarTermCorrectionsPacked)) {}

namespace lunar {

double CorrectionStart(EventKind kind) {
    return kind == EventKind::SolarTerm ? kMeanSolarTermEnd - 7 : kMeanNewMoonEnd - 14;
}

double CorrectionEnd() { return k1960; }

double EventAngle(double jd, EventKind kind) {
    // 2451259 is 1999-03-21 (solar longitude 0), 2451551 the new moon of 2000-01-07.
    return kind == EventKind::SolarTerm
               ? std::floor((jd + 7 - 2451259) / kYear * 24) * eph::kPi / 12
               : std::floor((jd + 14 - 2451551) / kMonth) * 2 * eph::kPi;
}

long CorrectionIndex(double jd, EventKind kind) {
    const double f2 = CorrectionStart(kind);
    return static_cast<long>(kind == EventKind::SolarTerm ? std::floor((jd - f2) / kYear * 24)
                                                          : std::floor((jd - f2) / kMonth));
}

}  // namespace lunar

int MYiDateEx::EventDay(double day, EventKind kind) const {
    const bool term = kind == EventKind::SolarTerm;
    const double jd = day + kJ2000;
    const MeanPair* table = term ? kMeanSolarTerms : kMeanNewMoons;
    const int count = term ? kMeanSolarTermCount : kMeanNewMoonCount;
    const double pc = term ? 7 : 14;
    const double f1 = table[0].start - pc;
    const double f2 = CorrectionStart(kind);

    if (jd >= f1 && jd < f2) {
        // Mean new moons and mean terms of the historical calendars.
        int i = 0;
        while (i + 1 < count && jd + pc >= table[i + 1].start) ++i;
        double d = table[i].start +
                   table[i].interval * std::floor((jd + pc - table[i].start) / table[i].interval);
        d = std::floor(d + 0.5);
        if (d == 1683460) d = 1683461;  // the one recorded new moon the mean value puts a day early
        return static_cast<int>(d - kJ2000);
    }

    const double w = EventAngle(jd, kind);
    if (jd < f1 || jd >= k1960) {
        return Floor((term ? eph::SolarTermHigh(w) : eph::NewMoonHigh(w)) + 0.5);
    }

    // Short formula with the stored one-day corrections.
    int d = Floor((term ? eph::SolarTermLow(w) : eph::NewMoonLow(w)) + 0.5);
    const std::string& text = term ? termText_ : newMoonText_;
    const long at = CorrectionIndex(jd, kind);
    const char c = at >= 0 && static_cast<size_t>(at) < text.size() ? text[at] : '0';
    if (c == '1') d += 1;
    if (c == '2') d -= 1;
    return d;
}

void MYiDateEx::LunarYearLayout(int day) {
    // Estimate of the last 冬至 on or before the day.
    double w = std::floor((day - 355 + 183) / kYear) * kYear + 355;
    if (EventDay(w, EventKind::SolarTerm) > day) w -= kYear;
    if (layoutValid_ && w == layoutWinter_) return;
    layoutWinter_ = w;
    layoutValid_ = true;

    for (int i = 0; i < 25; ++i) termDays_[i] = EventDay(w + 15.2184 * i, EventKind::SolarTerm);
    termDays_[25] = EventDay(w - 15.2, EventKind::SolarTerm);
    termDays_[26] = EventDay(w - 30.4, EventKind::SolarTerm);

    double m = EventDay(termDays_[0], EventKind::NewMoon);
    if (m > termDays_[0]) m -= 29.53;
    for (int i = 0; i < 15; ++i) newMoon_[i] = EventDay(m + kMonth * i, EventKind::NewMoon);

    leapPos_ = 0;
    int order[14];
    for (int i = 0; i < 14; ++i) {
        monthLen_[i] = newMoon_[i + 1] - newMoon_[i];
        order[i] = i;
    }

    const int y = Floor((termDays_[0] + 190) / kYear) + 2000;
    if (y >= -721 && y <= -104) {
        AncientMonthNumbers();
        return;
    }

    // A span of 13 months between two 冬至 takes a leap month: the first
    // month that holds no 中气.
    if (newMoon_[13] <= termDays_[24]) {
        int i = 1;
        while (i < 13 && newMoon_[i + 1] > termDays_[2 * i]) ++i;
        leapPos_ = i;
        for (int j = i; j < 14; ++j) {
            if (--order[j] < 1) order[j] = 12;
        }
    }

    for (int i = 0; i < 14; ++i) {
        const int dm = newMoon_[i] + static_cast<int>(kJ2000);
        const int v = order[i];
        int shift = 0;
        if ((dm >= 1724360 && dm <= 1729794) || (dm >= 1807724 && dm <= 1808699)) shift = 1;
        if (dm >= 1999349 && dm <= 1999467) shift = 2;
        int number = kMonthNumberByOrder[(v + shift) % 12];
        if (dm >= 1973067 && dm <= 1977052 && (v % 12 == 0 || v == 2)) number = 1;
        if (dm == 1729794 || dm == 1808699) number = 12;
        monthNum_[i] = number;
    }
}

void MYiDateEx::AncientMonthNumbers() {
    // The calendars of -721 to -104 start their year at different months and
    // put the extra month at the year's end.
    const int y = Floor((termDays_[0] + 190) / kYear) + 2000;
    struct Slot {
        bool used = false;
        int start = 0, thirteenth = 13, offset = 2;
    } slots[3];
    for (int s = 0; s < 3; ++s) {
        const int yy = y - 1 + s;
        Slot& slot = slots[s];
        if (yy >= -721) {
            slot = {true,
                    EventDay(std::floor((yy + 721) * 12.368422 + 0.342) * kMonth - 993847,
                             EventKind::NewMoon),
                    13, 2};
        }
        if (yy >= -479) {
            slot = {true,
                    EventDay(std::floor((yy + 479) * 12.368422 + 0.5) * kMonth - 905462,
                             EventKind::NewMoon),
                    13, 2};
        }
        if (yy >= -220) {
            slot = {true,
                    EventDay(std::floor((yy + 220) * 12.369 + 0.866) * kMonth - 810904,
                             EventKind::NewMoon),
                    10, 11};
        }
    }
    for (int i = 0; i < 14; ++i) {
        int chosen = -1;
        for (int s = 0; s < 3; ++s) {
            if (slots[s].used && slots[s].start <= newMoon_[i]) chosen = s;
        }
        if (chosen < 0) {
            for (int s = 0; s < 3 && chosen < 0; ++s) {
                if (slots[s].used) chosen = s;
            }
        }
        const Slot& slot = slots[chosen];
        const int f = Floor((newMoon_[i] - slot.start + 15) / kMonth);
        monthNum_[i] = f < 12 ? kMonthNumberByOrder[(f + slot.offset) % 12] : slot.thirteenth;
    }
}

MYiDateEx::LunarDay MYiDateEx::LunarOfDay(int d) {
    LunarYearLayout(d);
    currentDay_ = d;
    int i = Floor((d - newMoon_[0]) / 30.0);
    if (i < 13 && newMoon_[i + 1] <= d) ++i;
    LunarDay r;
    r.day = d - newMoon_[i] + 1;
    r.month = monthNum_[i];
    r.length = monthLen_[i];
    r.leap = leapPos_ != 0 && i == leapPos_;

    int y0 = newMoon_[2];
    for (int j = 0; j < 14; ++j) {
        if (monthNum_[j] != 1 || (leapPos_ != 0 && j == leapPos_)) continue;
        y0 = newMoon_[j];
        if (y0 > d) {
            y0 -= 365;
            break;
        }
    }
    r.year = Floor((y0 + 5810) / kYear + 0.5) + 1984;
    return r;
}

bool MYiDateEx::LunarOfSolar(const TDateTime& solar, TDateTime& lunar, int& monthLength) {
    const int d = FloorInt(JulianDayOfMoment(TMoment{solar.year, solar.month, solar.day, 12, 0, 1})) -
                  static_cast<int>(kJ2000);
    const LunarDay l = LunarOfDay(d);
    lunar = TDateTime{static_cast<int16_t>(l.year), static_cast<int16_t>(l.month),
                      static_cast<int16_t>(l.day), solar.hour, solar.minute};
    monthLength = l.length;
    return l.leap;
}

bool MYiDateEx::LunarOfSolar(const TDateTime& solar, TDateTime& lunar) {
    int length;
    return LunarOfSolar(solar, lunar, length);
}

bool MYiDateEx::SolarOfLunar(const TDateTime& l, bool leap, TDateTime& solar,
                             std::string& message) {
    TDateTime start{l.year, l.month, l.day, 12, 0};
    if (start.month == 2 && start.day > 28) start.day = 28;
    double j = JulianDayOfMoment(TMoment{start.year, start.month, start.day, 12, 0, 1});
    TDateTime g;
    const bool gLeap = LunarOfSolar(start, g);

    auto key = [](const TDateTime& x, bool isLeap) {
        return Floor(29.5 * x.month) + 354 * x.year + x.day + (isLeap ? 30 : 0);
    };
    const int step = key(l, leap) < key(g, gLeap) ? -1 : 1;

    for (int n = 0; n < kSolarOfLunarSearchDays; ++n) {
        const LunarDay c = LunarOfDay(FloorInt(j) - static_cast<int>(kJ2000));
        if (c.year == l.year && c.month == l.month && c.day == l.day && c.leap == leap) {
            solar = RecordOfJulianDay(j);
            solar.hour = l.hour;
            solar.minute = l.minute;
            return true;
        }
        j += step;
    }
    message = kNoSuchLunarDate;
    return false;
}

std::string MYiDateEx::LunarMonthText(int month, bool leap) const {
    std::string s = leap ? "闰" : "";
    if (month < 2) return s + "正月";
    return s + qd::NumeralText(static_cast<int16_t>(month)) + "月";
}

std::string MYiDateEx::LunarDayText(int day) const {
    return (day >= 1 && day <= 10 ? "初" : "") + qd::NumeralText(static_cast<int16_t>(day));
}

}  // namespace qd
