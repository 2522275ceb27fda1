// SPDX-License-Identifier: GPL-3.0-or-later
// qdl cast: one cast as the input panel would make it, printed as the result
// view shows it (text, HTML or JSON).
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <string_view>

#include "base/encoding.h"
#include "base/richtext_html.h"
#include "base/richtext_plain.h"
#include "base/textclean.h"
#include "cli/command.h"
#include "engine/chart.h"
#include "engine/direct.h"
#include "engine/ganzhi.h"
#include "engine/quadrellemp.h"
#include "engine/spirits.h"
#include "engine/topics.h"

namespace qd::cli {

namespace {

constexpr const char* kUsage =
    "usage: qdl cast [--date YYYY-MM-DD] [--time HH:MM] [--lunar] [--leap] [--noble 0|1|2]\n"
    "  [--earth 1..12] [--general 0..12] [--name TEXT] [--question TEXT] [--place TEXT]\n"
    "  [--longitude DEG] [--latitude DEG] [--idate 0|1|2] [--yuejiang 0|1] [--gui 0|1]\n"
    "  [--wang 0|1] [--leftpos N] [--home DIR] [--direct DAY,HOUR,GENERAL,EARTH]\n"
    "  [--topic wealth|marriage|illness|job|lottery] [--format text|html|json]";

// The input panel's limits, in characters.
constexpr size_t kNameLimit = 10;
constexpr size_t kQuestionLimit = 100;
constexpr const char* kNameCleaned =
    "姓名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！";
constexpr const char* kQuestionCleaned =
    "占问事宜中包含：\"、*、<、>、?、\\、/、|、'、：等字符。已经处理为合适的文本！";

constexpr const char* kTopicNames[5] = {"wealth", "marriage", "illness", "job", "lottery"};

enum class TFormat { Text, Html, Json };

struct TOptions {
    TDateTime moment;
    bool lunar = false, leap = false;
    long noble = 0, earth = 1, general = 0;
    std::string name = "某人", question = "要问的事情。", place = "未知地";
    double longitude = 120, latitude = 30;
    long idate = -1, yuejiang = -1, gui = -1, wang = -1;
    bool hasLeftpos = false;
    long leftpos = 0;
    std::string home;
    bool direct = false;
    int directDay = 0, directHour = 0, directGeneral = 0, directEarth = 0;
    int topic = -1;
    TFormat format = TFormat::Text;
};

std::string Trim(std::string_view s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

// YYYY-MM-DD with 1 to 4 year digits; whether the day exists is the
// engine's to say (it refuses with its own text).
bool ParseCastDate(const std::string& s, TDateTime& r) {
    int y, m, d;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
    if (s.find_first_not_of("0123456789-") != std::string::npos || s[0] == '-') return false;
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    r.year = static_cast<int16_t>(y);
    r.month = static_cast<int16_t>(m);
    r.day = static_cast<int16_t>(d);
    return true;
}

int BranchOrGeneral(const std::string& name) {
    const int b = BranchNumber(name);
    if (b >= 0) return b;
    for (int g = 0; g < 12; ++g) {
        if (name == GeneralName(g)) return g;
    }
    return -1;
}

// "甲辰,申,子,午": day, hour branch, month general (branch or general name)
// and earth branch.
bool ParseDirect(const std::string& s, TOptions& o) {
    std::string parts[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = s.find(',', start);
        if ((i < 3) != (comma != std::string::npos)) return false;
        parts[i] = s.substr(start, i < 3 ? comma - start : std::string::npos);
        start = comma + 1;
    }
    const int day = CycleNumber(parts[0]);
    const int hour = BranchNumber(parts[1]);
    const int general = BranchOrGeneral(parts[2]);
    const int earth = BranchNumber(parts[3]);
    if (day < 0 || hour < 0 || general < 0 || earth < 0) return false;
    o.direct = true;
    o.directDay = DirectDayItem(day);
    o.directHour = hour;
    o.directGeneral = DirectGeneralItem(general);
    o.directEarth = earth;
    return true;
}

// Answers kOk or the status to exit with.
int ParseOptions(const Args& args, TOptions& o) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    o.moment = TDateTime{static_cast<int16_t>(local.tm_year + 1900), static_cast<int16_t>(local.tm_mon + 1),
                         static_cast<int16_t>(local.tm_mday), static_cast<int16_t>(local.tm_hour),
                         static_cast<int16_t>(local.tm_min)};

    for (size_t i = 0; i < args.size(); ++i) {
        std::string opt = args[i];
        std::string value;
        bool hasValue = false;
        if (const size_t eq = opt.find('='); opt.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = opt.substr(eq + 1);
            opt = opt.substr(0, eq);
            hasValue = true;
        }
        if (opt == "--lunar" || opt == "--leap") {
            if (hasValue) return BadInput(opt + " takes no value");
            (opt == "--lunar" ? o.lunar : o.leap) = true;
            continue;
        }
        if (opt == "--help" || opt == "-h") {
            std::cout << kUsage << '\n';
            return -1;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) return BadInput("missing value for " + opt + "\n" + kUsage);
            value = args[++i];
        }
        auto intIn = [&](long lo, long hi, long& out) {
            const auto v = ParseInt(value, lo, hi);
            if (v) out = *v;
            return v.has_value();
        };
        bool ok = true;
        if (opt == "--date") {
            ok = ParseCastDate(value, o.moment);
        } else if (opt == "--time") {
            ok = ParseTime(value, o.moment);
        } else if (opt == "--noble") {
            ok = intIn(0, 2, o.noble);
        } else if (opt == "--earth") {
            ok = intIn(1, 12, o.earth);
        } else if (opt == "--general") {
            ok = intIn(0, 12, o.general);
        } else if (opt == "--name") {
            o.name = value;
        } else if (opt == "--question") {
            o.question = value;
        } else if (opt == "--place") {
            o.place = value;
        } else if (opt == "--longitude" || opt == "--latitude") {
            const auto v = ParseDouble(value);
            const double limit = opt == "--longitude" ? 180 : 90;
            ok = v && *v >= -limit && *v <= limit;
            if (ok) (opt == "--longitude" ? o.longitude : o.latitude) = *v;
        } else if (opt == "--idate") {
            ok = intIn(0, 2, o.idate);
        } else if (opt == "--yuejiang") {
            ok = intIn(0, 1, o.yuejiang);
        } else if (opt == "--gui") {
            ok = intIn(0, 1, o.gui);
        } else if (opt == "--wang") {
            ok = intIn(0, 1, o.wang);
        } else if (opt == "--leftpos") {
            ok = intIn(-100000, 100000, o.leftpos);
            o.hasLeftpos = ok;
        } else if (opt == "--home") {
            o.home = value;
            ok = !value.empty();
        } else if (opt == "--direct") {
            ok = ParseDirect(value, o);
        } else if (opt == "--topic") {
            ok = false;
            for (int t = 0; t < 5; ++t) {
                if (value == kTopicNames[t]) {
                    o.topic = t;
                    ok = true;
                }
            }
        } else if (opt == "--format") {
            ok = value == "text" || value == "html" || value == "json";
            o.format = value == "html" ? TFormat::Html : value == "json" ? TFormat::Json : TFormat::Text;
        } else {
            return BadInput("unknown option '" + opt + "'\n" + kUsage);
        }
        if (!ok) return BadInput("bad value for " + opt + ": '" + value + "'");
    }
    if (o.home.empty()) o.home = ExecutableFolder();
    return kOk;
}

// Name and question are cleaned as the input panel cleans them.
TCastRequest MakeRequest(TOptions& o) {
    TCastRequest r{};
    o.name = Trim(o.name);
    if (CleanText(o.name, kNameLimit)) std::cerr << kNameCleaned << '\n';
    o.question = Trim(o.question);
    if (CleanText(o.question, kQuestionLimit)) std::cerr << kQuestionCleaned << '\n';
    r.filled = 1;
    WriteGbkField(r.name, o.name);
    WriteGbkField(r.question, o.question);
    WriteGbkField(r.place, o.place);
    r.year = o.moment.year;
    r.month = o.moment.month;
    r.day = o.moment.day;
    r.hour = o.moment.hour;
    r.minute = o.moment.minute;
    r.lunar = o.lunar ? 1 : 0;
    r.leap = o.leap ? 1 : 0;
    r.noble = static_cast<uint8_t>(o.noble);
    r.earth = static_cast<uint8_t>(o.earth % 12);
    r.longitude = static_cast<float>(o.longitude);
    r.latitude = static_cast<float>(o.latitude);
    r.general = static_cast<uint8_t>(o.general);
    if (o.direct) {
        r.direct = 1;
        r.directDay = static_cast<uint8_t>(o.directDay);
        r.directHour = static_cast<uint8_t>(o.directHour);
        r.directGeneral = static_cast<uint8_t>(o.directGeneral);
        r.directEarth = static_cast<uint8_t>(o.directEarth);
    }
    return r;
}

void ApplyOverrides(const TOptions& o, CQuadrellemp& engine) {
    TCastSettings s = engine.ReadSettings();
    if (o.idate >= 0) s.idate = static_cast<uint8_t>(o.idate);
    if (o.yuejiang >= 0) s.iYueJiang = static_cast<uint8_t>(o.yuejiang);
    if (o.gui >= 0) s.iGui = static_cast<uint8_t>(o.gui);
    if (o.wang >= 0) s.iWang = static_cast<uint8_t>(o.wang);
    if (o.hasLeftpos) s.leftpos = static_cast<int32_t>(o.leftpos);
    engine.OverrideSettings(&s);
}

std::string UnixLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// --- JSON -----------------------------------------------------------------

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string JsonBool(bool b) { return b ? "true" : "false"; }

std::string JsonCycle(int cycle) {
    return "{\"number\": " + std::to_string(Mod(cycle, 60)) + ", \"name\": " + JsonString(CycleName(cycle)) +
           "}";
}

std::string JsonMoment(const TDateTime& r) { return JsonString(FormatDateTime(r)); }

std::string JsonSpirits(const std::string& spirits) {
    std::string out = "[";
    size_t start = 0;
    bool first = true;
    while (start < spirits.size()) {
        size_t comma = spirits.find(',', start);
        if (comma == std::string::npos) comma = spirits.size();
        if (comma > start) {
            if (!first) out += ", ";
            out += JsonString(spirits.substr(start, comma - start));
            first = false;
        }
        start = comma + 1;
    }
    return out + "]";
}

std::string JsonResult(const CQuadrellemp& engine, const std::string& resultText,
                       const std::string& topicText, int topic) {
    const TCastState& s = engine.State();
    const bool direct = s.request.direct != 0;
    const TPositions& p = s.positions;
    std::string j = "{\n";
    j += "  \"direct\": " + JsonBool(direct) + ",\n";
    j += "  \"clockMoment\": " + JsonMoment(s.clockMoment) + ",\n";
    j += "  \"castMoment\": " + JsonMoment(s.castMoment) + ",\n";
    j += "  \"pillars\": {\"year\": " + (direct ? std::string("null") : JsonCycle(s.pillars[0])) +
         ", \"month\": " + (direct ? std::string("null") : JsonCycle(s.pillars[1])) +
         ", \"day\": " + JsonCycle(s.pillars[2]) + ", \"hour\": " + JsonCycle(s.pillars[3]) + "},\n";
    j += "  \"lunar\": {\"year\": " + std::to_string(s.lunar.year) +
         ", \"month\": " + std::to_string(s.lunar.month) + ", \"day\": " + std::to_string(s.lunar.day) +
         ", \"leap\": " + JsonBool(s.request.leap != 0) +
         ", \"monthLength\": " + std::to_string(s.lunarMonthLength) + "},\n";
    j += "  \"monthGeneral\": {\"branch\": " + JsonString(BranchName(s.general)) +
         ", \"name\": " + JsonString(GeneralName(s.general)) + "},\n";
    const TDayVoids v = DayVoids(s.pillars[2]);
    j += "  \"voids\": {\"branches\": [" + JsonString(BranchName(v.first)) + ", " +
         JsonString(BranchName(v.second)) + "], \"decade\": " + JsonString(CycleName(v.head)) +
         ", \"fourVoids\": " + JsonString(v.label) + "},\n";
    j += "  \"prosperous\": " + JsonString(PhaseName(s.prosperous)) + ",\n";
    j += "  \"positions\": [\n";
    for (int i = 0; i < 4; ++i) {
        const TPositionRecord& r = s.records[i];
        std::string value, name = "null";
        switch (i) {
            case kPosRenYuan: value = StemName(p.renYuan); break;
            case kPosGuiShen:
                value = CycleName(p.guiShen);
                name = JsonString(GodName(GodOfBranch(BranchOf(p.guiShen))));
                break;
            case kPosJiangShen:
                value = CycleName(p.jiangShen);
                name = JsonString(GeneralName(BranchOf(p.jiangShen)));
                break;
            default: value = BranchName(p.diFen); break;
        }
        const std::string spirits = direct ? std::string() : SpiritsOf(i, p, TPillarSpan(s.pillars));
        j += "    {\"position\": " + JsonString(PositionName(i)) + ", \"value\": " + JsonString(value) +
             ", \"name\": " + name + ", \"phase\": " + JsonString(PhaseName(r.phase)) +
             ", \"yang\": " + JsonBool(r.yang != 0) +
             ", \"strength\": " + JsonString(StrengthName(r.strength)) +
             ", \"spirits\": " + JsonSpirits(spirits) + ", \"void\": " + JsonBool(r.isVoid != 0) +
             ", \"use\": " + JsonBool(s.usePosition == i) + "}" + (i < 3 ? "," : "") + "\n";
    }
    j += "  ],\n";
    j += "  \"usePosition\": " + JsonString(PositionName(s.usePosition)) + ",\n";
    j += "  \"texts\": {\"result\": " + JsonString(resultText);
    if (topic >= 0) {
        j += ", \"topicTitle\": " + JsonString(TopicTitle(topic)) + ", \"topic\": " + JsonString(topicText);
    }
    j += "}\n}\n";
    return j;
}

}  // namespace

int RunCast(const Args& args) {
    TOptions o;
    if (const int status = ParseOptions(args, o); status != kOk) return status < 0 ? kOk : status;
    const TCastRequest request = MakeRequest(o);

    CQuadrellemp engine;
    engine.SetApplicationFolder(o.home);
    ApplyOverrides(o, engine);
    CPlainTextSink plain;
    CHtmlTextSink html;
    if (o.format == TFormat::Html)
        engine.BindResultView(&html);
    else
        engine.BindResultView(&plain);
    if (!engine.Cast(request)) {
        std::cerr << engine.ErrorText() << '\n';
        return kRefused;
    }
    const std::string topicText =
        o.topic >= 0 ? UnixLines(TopicReading(engine.State(), o.topic)) : std::string();

    switch (o.format) {
        case TFormat::Text: {
            // The view's text has no break after its last line.
            std::string out = plain.Text() + "\n";
            if (o.topic >= 0) out += "\n" + topicText;
            std::fwrite(out.data(), 1, out.size(), stdout);
            break;
        }
        case TFormat::Html: {
            if (o.topic >= 0) {
                // The reading in the view's default attributes after an empty line.
                html.SetDefaultAttributes();
                html.AddBlock("");
                html.AddBlock(TopicReading(engine.State(), o.topic));
            }
            const std::string out = html.Document("澜川霁岚术");
            std::fwrite(out.data(), 1, out.size(), stdout);
            break;
        }
        case TFormat::Json: {
            const std::string out = JsonResult(engine, plain.Text(), topicText, o.topic);
            std::fwrite(out.data(), 1, out.size(), stdout);
            break;
        }
    }
    return kOk;
}

}  // namespace qd::cli
