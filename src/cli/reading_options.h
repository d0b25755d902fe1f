#pragma once
// How `varn bars` and `varn detect` are told to cut and read a price file's
// lines, and how they say what they found:
//
//   --columns symbol,skip,date,time,open,high,low,close,volume
//   --decimal-comma
//
//   separator: semicolon
//   decimal: comma
//   header: line 1
//   columns: date, time, open, high, low, close, volume

#include <CLI/CLI.hpp>
#include <string>
#include <utility>
#include <vector>

#include "bars/build_bars.h"
#include "cli/command.h"

namespace varn::cli {

struct ReadingArgs {
    std::string columns;  // --columns LIST; empty: by a header, or by position
    bool decimal_comma = false;
};

// Declares --columns and --decimal-comma on cmd; a list that names an unknown
// column is a usage error.
void AddReadingOptions(CLI::App& cmd, ReadingArgs& args);
// Sets choices.shape from args (validated when parsed).
void ApplyReadingArgs(const ReadingArgs& args, BarChoices& choices);

// The zones of a bar job, as --zone-in ZONE and --zone-out ZONE name them.
struct ZoneArgs {
    std::string in;
    std::string out;
};

// Declares --zone-in and --zone-out on cmd; a name that is no zone of the
// system's time zone database is a usage error that says where to see them.
void AddZoneOptions(CLI::App& cmd, ZoneArgs& args);
void ApplyZoneArgs(const ZoneArgs& args, BarChoices& choices);

// What a bar or detection job found of how its lines read, as name and value:
// separator, decimal, header, columns, zone, and the zones times were moved
// from and to; and its notes.
std::vector<std::pair<std::string, std::string>> ReadingFields(const JobReport& report);

// The lines and exit code of a job whose detection failed (or whose columns
// cannot give bars): why, and what to do; with hint, to give the layouts when
// nothing better is known. Other failures as Finish.
int FinishDetectionFailure(const JobReport& report, const std::string& name, Streams& streams,
                           bool hint);

}  // namespace varn::cli
