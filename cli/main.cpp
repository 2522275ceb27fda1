// SPDX-License-Identifier: GPL-3.0-or-later
// qdl: the calendar and the divination engine from the command line.
#include <cstdio>
#include <iostream>

#include "cli/command.h"

namespace qd::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"jd", "jd YYYY-MM-DD HH:MM", "Julian day of the minute (taken at its second 1)", RunJd},
        {"date", "date JD", "civil date and time of a Julian day, rounded to the minute", RunDate},
        {"daycycle", "daycycle YYYY-MM-DD", "sexagenary number and name of the civil day", RunDayCycle},
        {"cast", "cast [OPTIONS]", "one cast: the chart and its judgements (qdl cast --help)", RunCast},
        {"lunar", "lunar FROM [TO]", "lunar date of each civil day: date Y M D leap length", RunLunar},
        {"solar", "solar Y M D [--leap]", "civil date of a lunar date", RunSolar},
        {"terms", "terms YEAR", "solar terms of a civil year: index name date time (UTC+8)", RunTerms},
        {"pillars", "pillars YYYY-MM-DD HH:MM", "year, month, day and hour pillars of a moment", RunPillars},
        {"era", "era YEAR", "era names in force in an astronomical year", RunEra},
        {"places", "places [--home DIR] [PROVINCE]",
         "the provinces, or the places of one: name longitude latitude", RunPlaces},
        {"db", "db --home DIR COMMAND",
         "case store of DIR: info list check search export import compact backup restore", RunDb},
    };
    return commands;
}

namespace {
void PrintHelp() {
    std::cout << "usage: qdl COMMAND [ARGS]\n"
                 "Years are astronomical (year 0 exists) and may be negative: -0100-03-01.\n\n"
                 "commands:\n";
    for (const Command& c : Commands()) {
        std::printf("  %-34s %s\n", c.usage, c.summary);
    }
}
}  // namespace

}  // namespace qd::cli

int main(int argc, char** argv) {
    using namespace qd::cli;
    if (argc < 2) {
        PrintHelp();
        return kBadInput;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp();
        return kOk;
    }
    const Args args(argv + 2, argv + argc);
    for (const Command& c : Commands()) {
        if (name == c.name) return c.run(args);
    }
    return BadInput("unknown command '" + name + "' (see qdl --help)");
}
