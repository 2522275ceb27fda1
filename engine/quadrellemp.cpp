// SPDX-License-Identifier: GPL-3.0-or-later

#include "engine/quadrellemp.h"

#include <climits>

#include "base/inifile.h"
#include "engine/cast.h"
#include "engine/chart.h"
#include "engine/direct.h"
#include "engine/judgement.h"
#include "engine/strength.h"

namespace qd {

namespace {

constexpr const char* kSettingsFile = "dat/set.ini";
constexpr const char* kSettingsSection = "set";

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2200;

constexpr const char* kYearOutOfRange = "年份在1900 - 2200之间";
constexpr const char* kNoSuchDate = "不存在这个日期";
constexpr const char* kConvertedOutOfRange = "时间越界，年份在1900-2200之间";
constexpr const char* kLunarDayOutOfRange = "时间越界，年份在1900 - 2200之间";

bool YearInRange(int year) { return year >= kFirstYear && year <= kLastYear; }

uint8_t Byte(int v) { return static_cast<uint8_t>(v); }

}  // namespace

CQuadrellemp::CQuadrellemp() = default;
CQuadrellemp::~CQuadrellemp() = default;

void CQuadrellemp::SetApplicationFolder(const std::string& folder) {
    folder_ = folder;
    if (!folder_.empty() && folder_.back() != '/') folder_ += '/';
}

void CQuadrellemp::BindResultView(IRichTextSink* view) { view_ = view; }

void CQuadrellemp::OverrideSettings(const TCastSettings* settings) {
    overridden_ = settings != nullptr;
    if (settings) override_ = *settings;
}

TCastSettings CQuadrellemp::ReadSettings(std::vector<TSettingsProblem>* problems) const {
    if (problems) problems->clear();
    if (overridden_) return override_;
    // Read at every cast, so a change in the settings dialog applies to the
    // next cast; a missing file or key gives the default, and so does a
    // value the key cannot take (it is reported instead of wrapping).
    const CIniFile ini(folder_ + kSettingsFile);
    auto read = [&](const char* key, int lo, int hi, int def) {
        if (!ini.KeyExists(kSettingsSection, key)) return def;
        const int v = ini.ReadInteger(kSettingsSection, key, INT_MIN);
        if (v >= lo && v <= hi) return v;
        if (problems) problems->push_back({key, ini.ReadString(kSettingsSection, key, "")});
        return def;
    };
    const TCastSettings d;
    TCastSettings s;
    s.idate = Byte(read("idate", 0, 2, d.idate));
    s.leftpos = read("leftpos", 0, 500, d.leftpos);
    s.iYueJiang = Byte(read("iYueJiang", 0, 1, d.iYueJiang));
    s.iGui = Byte(read("iGui", 0, 1, d.iGui));
    s.iWang = Byte(read("iWang", 0, 1, d.iWang));
    return s;
}

bool CQuadrellemp::ComputeCalendarFacts() {
    error_.clear();
    TCastRequest& q = state_.request;
    if (!YearInRange(q.year)) {
        error_ = kYearOutOfRange;
        return false;
    }
    TDateTime moment{q.year, q.month, q.day, q.hour, q.minute};
    if (q.lunar != 0) {
        TDateTime solar;
        if (!calendar_.SolarOfLunar(moment, q.leap != 0, solar, error_)) return false;
        if (!YearInRange(solar.year)) {
            error_ = kConvertedOutOfRange;
            return false;
        }
        moment = solar;
    } else if (q.month < 1 || q.month > 12 || q.day < 1 || !calendar_.IsValidDate(moment)) {
        error_ = kNoSuchDate;
        return false;
    }
    state_.castMoment = moment;
    state_.clockMoment = moment;
    state_.clockJd = calendar_.JulianDayOfRecord(moment);

    if (state_.settings.idate > 0) {
        const SolarTimeKind kind =
            state_.settings.idate == 1 ? SolarTimeKind::TrueSolarTime : SolarTimeKind::LocalMeanTime;
        calendar_.ApplySolarTime(q.longitude, state_.castMoment, kind);
    }

    // The lunar date of 23:xx belongs to the next day, as the day pillar does.
    TDateTime l = state_.castMoment;
    if (l.hour == 23) calendar_.NextDay(l);
    if (!YearInRange(l.year)) {
        error_ = kLunarDayOutOfRange;
        return false;
    }
    int monthLength = 0;
    q.leap = calendar_.LunarOfSolar(l, state_.lunar, monthLength) ? 1 : 0;
    state_.lunarMonthLength = static_cast<int16_t>(monthLength);
    return true;
}

void CQuadrellemp::ComputePillars() {
    // Year and month follow the clock (Beijing) time, day and hour the
    // corrected time.
    TSolarMonth month;
    calendar_.SolarMonthOf(state_.clockMoment, &month);
    // The instants are kept as the minutes the month records hold, so a cast
    // in the very minute of the 中气 already counts as past it.
    state_.jieJd = calendar_.JulianDayOfRecord(month.jie);
    state_.zhongQiJd = calendar_.JulianDayOfRecord(month.zhongQi);
    state_.nextJieJd = calendar_.JulianDayOfRecord(month.nextJie);

    const TPillars clock = calendar_.Pillars(state_.clockMoment);
    const TPillars cast =
        state_.castMoment == state_.clockMoment ? clock : calendar_.Pillars(state_.castMoment);
    state_.pillars[0] = clock.year;
    state_.pillars[1] = clock.month;
    state_.pillars[2] = cast.day;
    state_.pillars[3] = cast.hour;

    state_.general = Byte(ChooseMonthGeneral(state_.request.general, state_.pillars[1], state_.clockJd,
                                             state_.zhongQiJd, state_.settings.iYueJiang));
}

bool CQuadrellemp::Cast(const TCastRequest& request) {
    state_.request = request;
    state_.settings = ReadSettings(&settingsProblems_);
    // A refused moment leaves the view with the previous chart.
    if (!ComputeCalendarFacts()) return false;

    const bool direct = state_.request.direct != 0;
    if (direct)
        ApplyDirectFields(state_);
    else
        ComputePillars();

    const TCastSettings& set = state_.settings;
    state_.positions = CastPositions(state_.pillars[2], state_.pillars[3], state_.general,
                                     state_.request.earth, state_.request.noble, set.iGui);
    state_.prosperous = Byte(ProsperousPhase(state_.positions, state_.pillars[1], set.iWang, direct));
    state_.usePosition = Byte(UsePosition(state_.positions));
    state_.rederived = RederiveStems(state_.positions);
    // The judgement section fills the same records; without a view the
    // topic readings still find them.
    state_.records = PositionRecords(state_.positions, state_.prosperous, state_.pillars[2]);

    header_ = HeaderText(state_);
    if (view_) {
        WriteChart(state_, *view_);
        WriteJudgement(state_, *view_);
        EmphasiseLabels(*view_);
    }
    return true;
}

TDateTime CQuadrellemp::ClockMoment(double* clockJd) const {
    if (clockJd) *clockJd = state_.clockJd;
    return state_.clockMoment;
}

}  // namespace qd
