#pragma once
// The five conversions of a price file, by number (the position in the
// "Format" list), and the job that runs one of them from file to file.
//
// ConvertPriceFile("in.txt", "out.txt", 0) turns the line "1971,1,4,4.318"
// into "1/4/1971   4.318" and writes out.txt through a temporary file.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "io/atomic_file.h"
#include "io/job_status.h"
#include "io/line_reader.h"

namespace varn {

inline constexpr int ConversionCount = 5;

// The items of the "Format" list, conversion 0 first.
extern const std::array<std::string_view, ConversionCount> ConversionItems;

// The example lines shown for a conversion; empty for 2, 3 and 4 and for a
// number outside 0 to 4.
std::span<const std::string_view> ConversionExample(int conversion);

// Runs conversion (0 to 4) from the open input to the open output, without
// committing the output. Reads under LineRules::Stream.
[[nodiscard]] JobStatus ConvertLines(LineReader& input, AtomicFile& output, int conversion);

// Runs one whole conversion from input path to output path. The output is
// written to a temporary file and renamed into place only on success, so a
// failure leaves an existing output untouched, and the input may be the output.
[[nodiscard]] JobStatus ConvertPriceFile(const std::string& input, const std::string& output,
                                         int conversion);

}  // namespace varn
