// Fixed data of the lunar calendar: the mean new-moon and mean solar-term
// tables of the historical calendars, the month numbers by branch, and the
// packed correction texts of the short formulas (generated).
#pragma once

namespace qd::lunar {

struct MeanPair {
    double start;     // Julian day
    double interval;  // days
};

// Pairs in date order; kMean*End is the Julian day where the table stops.
extern const MeanPair kMeanNewMoons[];
extern const int kMeanNewMoonCount;
extern const double kMeanNewMoonEnd;
extern const MeanPair kMeanSolarTerms[];
extern const int kMeanSolarTermCount;
extern const double kMeanSolarTermEnd;

// Month number by branch order counted from the 冬至 month.
extern const int kMonthNumberByOrder[12];

// Packed correction texts: one character per event from the end of the mean
// tables up to 1960-01-01 ("1" a day later, "2" a day earlier, "0" none).
extern const char* const kNewMoonCorrectionsPacked;
extern const char* const kSolarTermCorrectionsPacked;

// Letter code of the packed texts.
struct PackLetter {
    char letter;
    const char* run;
};
extern const PackLetter kPackLetters[];
extern const int kPackLetterCount;

}  // namespace qd::lunar
