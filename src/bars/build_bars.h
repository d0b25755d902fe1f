#pragma once
// The bar job: open-high-low-close bars from parsed price lines.
//
// Every line is parsed once; a line that does not parse is skipped. Lines
// with equal keys form one bar: open of its earliest line, highest high,
// lowest low, close and stamp of its latest line, whatever their order in the
// file (TimeOrder::Keep makes a bar of each run of lines as they stand). The
// first and the last period each give a bar. Daily lines from 15 January to 3 April give
// four monthly bars; January's reads "1.31.2001 1.5000 1.6000 1.4000 1.5500".
//
//   BarChoices choices;                  // layouts detected, monthly bars
//   JobReport report = RunBars(LineSource::File("in.txt"),
//                              Destination::File("bars.txt"), choices);
//
// Further columns are chosen: with volume and open_interest, the January bar
// of lines "01/15/2001 1.5 1.6 1.4 1.55 1200 30" reads
// "1.31.2001 1.5000 1.6000 1.4000 1.5500 25200 41" (the volumes summed, the
// open interest of the last line that has one). Every choice at its default
// gives the bars above.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "bars/bar_builder.h"
#include "bars/bar_line.h"
#include "bars/parse_batch.h"
#include "calendar/layout_numbers.h"
#include "calendar/regional.h"
#include "io/job.h"
#include "io/line_output.h"

namespace varn {

// How the time order of the lines is taken.
enum class TimeOrder : int { Auto = 0, Keep = 1 };

// The choices of one bar job. A layout left empty is detected from the first
// lines (DetectInputLayouts), with the other one fixed when given. Every
// choice after the names at its default leaves the bars as the first four
// choices make them; only an input that fits no layouts with four prices but
// does with one is now read (as one price a line) where detection failed.
struct BarChoices {
    std::optional<DateLayout> date_layout;
    std::optional<TimeLayout> time_layout;
    BarPeriod period = BarPeriod::Month;
    Delimiter delimiter = Delimiter::Space;
    RegionalNames names = EnglishRegionalNames();  // regional month names and designators
    // A further column after the close: the sum of the bar's volumes (the fifth
    // number of a line, the second in the single form). A line without one
    // adds 0 and is counted in JobReport::lines_without_volume.
    bool volume = false;
    // A further column after the volume (or the close): the open interest (the
    // sixth number) of the bar's last line that has one, 0 when none has.
    bool open_interest = false;
    // How the numbers read. Auto: decided by detection when it runs (four
    // prices when a pair fits so, else one), four prices when both layouts
    // are given.
    PriceForm prices = PriceForm::Auto;
    // Bars of this many minutes (1 to 1440, dividing 1440) in place of period;
    // 0 keeps period.
    int period_minutes = 0;
    // Minute, hour, day and week bars begin at this time of day (-1439 to
    // 1439 minutes; -420 starts each day at 17:00 of the day before).
    int session_offset_minutes = 0;
    StampStyle stamp = StampStyle::Classic;
    // The moment a bar's stamp names: its last line's, or where its period
    // starts or ends (BarStampMoment).
    StampTime stamp_time = StampTime::Last;
    // The decimals of the prices: by magnitude as FormatPrice writes them,
    // DecimalsAsInput (the most the bar's prices were written with), or a
    // count from 0 to 10. The volume and open interest are written as ever.
    int decimals = DecimalsByMagnitude;
    // A first line naming the columns: "date open high low close volume
    // open_interest" as chosen, joined by the delimiter (see BarHeader).
    bool header = false;
    // Called for every bar written, in order, after its line is handed on.
    // May be empty. A bar dropped by a stop is not called for.
    BarCallback on_bar;
    // Threads parsing lines; 0: one for each core.
    int threads = 0;
    // Bytes of input parsed together (0: a default of about a megabyte);
    // small values exercise lines split between reads.
    std::size_t block_bytes = 0;
    // How the lines of a file or of standard output end.
    LineEnd line_end = LineEnd::CrLf;
    // How lines are cut and read: columns named by hand (they win over a
    // header line) and a decimal comma forced; otherwise found from the
    // first lines (LineShape).
    ShapeChoices shape;
    // A line that does not read, or whose prices are out of order, fails the
    // job: nothing is written.
    bool strict = false;
    // Zones of the system's time zone database, by name ("Europe/London";
    // empty: none). zone_out is the zone of the bars and their stamps: every
    // line's time is moved to its wall time before the line's key and stamp
    // are made, and session starts apply there. zone_in is the zone the
    // times are written in; without it the lines' zone word names it
    // ("09:30:00 US/Eastern"), and lines that carry neither a word nor an
    // offset ("Z", "+01:00"; epoch stamps are UTC) are refused. Without
    // zone_out nothing is moved. A name that is no zone fails the job.
    std::string zone_in;
    std::string zone_out;
    // Auto: bars are made by time, whatever the order of the lines (a bar's
    // open is its earliest line's, its close its latest's; bars in time
    // order; exact repeats of a line count once). Keep: bars of runs of
    // lines as they stand, as before.
    TimeOrder order = TimeOrder::Auto;
    // With a symbol column: the one symbol to build (others passed over),
    // or a folder to write one file a symbol in (DIR/<symbol>.txt, the
    // destination then unused). With neither, lines of more than one symbol
    // fail the job, naming them.
    std::string symbol;
    std::string split_dir;
};

// Why a bar job that read its lines refused them.
enum class ReadingFault : int {
    Strict = 1,       // a line did not read, or had its prices out of order, under strict
    ManySymbols = 2,  // the lines carry more than one symbol, and none was chosen
    NoSymbol = 3,     // a symbol chosen that no line carries, or no symbol column
    BackInTime = 4,   // lines out of time order that cannot be read again
};
std::error_code ReadingError(ReadingFault fault);

// Builds the bars of source into destination. Layouts not given are detected
// from the first lines; when they cannot be, the job fails without writing and
// the report says why (as RunDetect). A job that reads lines and can use none
// fails with NoLineUsedError and writes nothing. callbacks.step receives the
// share of lines built when the number of lines is known (lines in memory);
// when stop_requested answers true the bars closed so far are written, the
// open bar is dropped and the report tells stopped. The report counts lines
// read, used and skipped (with the first reasons) and bars written (a header
// line is not a bar), and names the layouts and price form used. A bar length
// or session start out of range fails without writing, as does a zone that
// cannot be used (a ZoneError naming it), checked on the first lines; so
// does a count of decimals out of range.
JobReport RunBars(const LineSource& source, const Destination& destination,
                  const BarChoices& choices, const JobCallbacks& callbacks = {});

// Detects the layouts of source as RunBars would: lines_read counts the lines
// looked at, layouts and fitting_lines tell what was found. When nothing is,
// the status is a failure with a DetectionError; when no pair fits enough
// lines, layouts (not detected) and fitting_lines tell the nearest pair.
// Zones chosen are checked as RunBars checks them, and reported.
JobReport RunDetect(const LineSource& source, const BarChoices& choices);

}  // namespace varn
