// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of qdl, one per file, and the argument parsing they share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calendar/datetime.h"

namespace qd::cli {

using Args = std::vector<std::string>;

// Exit statuses: 0 done, 1 the command's own refusal, 2 bad input.
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kBadInput = 2;

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const Args& args);
};

// Every command, in the order --help lists them.
const std::vector<Command>& Commands();

// Prints "qdl: <message>" on stderr and answers kBadInput.
int BadInput(const std::string& message);

// YYYY-MM-DD with an astronomical year that may be negative; checks that the
// day exists in the civil calendar.
std::optional<TDateTime> ParseDate(const std::string& text);
// HH:MM, 00:00 to 23:59; fills hour and minute of r.
bool ParseTime(const std::string& text, TDateTime& r);
// A whole number within [lo, hi].
std::optional<long> ParseInt(const std::string& text, long lo, long hi);
// A finite decimal number.
std::optional<double> ParseDouble(const std::string& text);

// The folder of the running qdl, with a trailing '/': the application
// folder when no --home is given.
std::string ExecutableFolder();

std::string FormatDate(const TDateTime& r);      // YYYY-MM-DD
std::string FormatDateTime(const TDateTime& r);  // YYYY-MM-DD HH:MM

int RunJd(const Args& args);
int RunDate(const Args& args);
int RunDayCycle(const Args& args);
int RunDb(const Args& args);
int RunCast(const Args& args);
int RunLunar(const Args& args);
int RunSolar(const Args& args);
int RunTerms(const Args& args);
int RunPillars(const Args& args);
int RunEra(const Args& args);
int RunPlaces(const Args& args);

}  // namespace qd::cli
