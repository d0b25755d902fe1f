#pragma once
// The five conversions of a price file, by number (the position in the
// "Format" list), and the job that runs one of them from file to file.
//
// RunConversion(LineSource::File("in.txt"), Destination::File("out.txt"),
// {Conversion::DatePrice}) turns the line "1971,1,4,4.318" into
// "1/4/1971   4.318" and writes out.txt through a temporary file.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/job.h"
#include "io/line_output.h"

namespace varn {

// The conversions, by number: the position of their item in the list.
enum class Conversion : int {
    DatePrice = 0,          // 1971,1,4,4.318 -> 1/4/1971   4.318
    Intraday = 1,           // 060523,0930,... -> 05/23/2006  09:30  ...
    DailyToMonthly = 2,     // the last daily line of each month
    PriceToDatedPrice = 3,  // made-up consecutive dates before each line
    TruncatedJulian = 4,    // truncated Julian day -> date, time, price
};
inline constexpr int ConversionCount = 5;
constexpr int Number(Conversion conversion) { return static_cast<int>(conversion); }
// The conversion of a number, or nothing when it is out of range.
constexpr std::optional<Conversion> ConversionOf(int n) {
    if (n < 0 || n >= ConversionCount) return std::nullopt;
    return static_cast<Conversion>(n);
}

// The items of the "Format" list, conversion 0 first.
extern const std::array<std::string_view, ConversionCount> ConversionItems;

// The example lines shown for a conversion; empty for 2, 3 and 4.
std::span<const std::string_view> ConversionExample(Conversion conversion);

// The choices of one conversion job.
struct ConversionChoices {
    Conversion conversion = Conversion::DatePrice;
    // Threads converting lines (conversions 0, 1, 3 and 4); 0: one for each core.
    int threads = 0;
    // Bytes of input converted together (0: a default of about a megabyte);
    // small values exercise lines split between reads.
    std::size_t block_bytes = 0;
    // How the lines of a file or of standard output end.
    LineEnd line_end = LineEnd::CrLf;
};

// Converts the lines of source (read under the stream line rules) to
// destination. A file destination is written through a temporary file and
// renamed into place only on success, so a failure or a stop leaves an
// existing file untouched, and the input may be the output. Every conversion
// skips the lines that are not its input (a header, prose, a blank line) and
// the report counts the lines read, used, skipped (with the first reasons)
// and written; lines it reads are converted as they stand.
JobReport RunConversion(const LineSource& source, const Destination& destination,
                        const ConversionChoices& choices, const JobCallbacks& callbacks = {});

}  // namespace varn
