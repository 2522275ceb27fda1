// SPDX-License-Identifier: GPL-3.0-or-later
// CQuadrellemp: the divination engine. One cast takes a request record,
// derives the calendar facts of its moment, casts the four positions and
// writes the whole chart with its judgement section into the bound view.
#pragma once

#include <string>
#include <vector>

#include "base/richtext.h"
#include "calendar/yidate.h"
#include "engine/cast_state.h"
#include "engine/request.h"

namespace qd {

// A key of dat/set.ini whose value could not be used: text that is no
// whole number, or a number outside the key's range (idate 0 to 2, leftpos
// 0 to 500, iYueJiang, iGui and iWang 0 or 1). The key's default was used.
struct TSettingsProblem {
    std::string key;
    std::string value;  // as the file has it (UTF-8)

    bool operator==(const TSettingsProblem&) const = default;
};

class CQuadrellemp {
public:
    CQuadrellemp();
    virtual ~CQuadrellemp();

    // The application folder (with its trailing separator) whose dat/set.ini
    // is read at every cast.
    void SetApplicationFolder(const std::string& folder);
    void BindResultView(IRichTextSink* view);

    // False when the moment is refused; ErrorText() says why and the view
    // keeps its previous chart.
    bool Cast(const TCastRequest& request);
    const std::string& ErrorText() const { return error_; }

    // The clock moment of the last cast and its Julian day.
    TDateTime ClockMoment(double* clockJd = nullptr) const;
    TDateTime RecordOfJulianDay(double jd) const { return calendar_.RecordOfJulianDay(jd); }

    // Results of the last successful cast (read by the topic readings). A
    // refused cast has already replaced the request copy, the settings and
    // possibly the moments, so nothing should read them before the next
    // successful cast.
    const TCastState& State() const { return state_; }
    MYiDateEx& Calendar() { return calendar_; }

    // Settings that replace those of dat/set.ini for every following cast
    // (used by qdl's options); nullptr returns to the file.
    void OverrideSettings(const TCastSettings* settings);

    // The unusable keys of dat/set.ini that the last cast found, in key
    // order; empty when every key present was usable (or the settings are
    // overridden). The window tells the user once, not at every cast.
    const std::vector<TSettingsProblem>& SettingsProblems() const { return settingsProblems_; }

    // Internal steps of Cast, public for tests. `problems`, when given,
    // receives the unusable keys.
    TCastSettings ReadSettings(std::vector<TSettingsProblem>* problems = nullptr) const;
    bool ComputeCalendarFacts();

private:
    // Pillars, solar month and month general of an ordinary cast.
    void ComputePillars();

    MYiDateEx calendar_;
    IRichTextSink* view_ = nullptr;
    std::string header_;
    std::string error_;
    TCastState state_;
    std::string folder_;
    bool overridden_ = false;
    std::vector<TSettingsProblem> settingsProblems_;
    TCastSettings override_;
};

}  // namespace qd
