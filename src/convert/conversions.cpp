#include "convert/conversions.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

#include "calendar/calendar.h"
#include "convert/daily_to_monthly.h"
#include "convert/dated_price.h"
#include "convert/reorder.h"
#include "convert/truncated_julian.h"
#include "io/block_reader.h"
#include "io/copy_small.h"
#include "io/line_input.h"
#include "io/line_output.h"
#include "io/ordered_pool.h"

namespace varn {

const std::array<std::string_view, ConversionCount> ConversionItems = {
    "from quotesheet.example YYYY,MM,DD,PRICE",
    "060523,0930,1271.750000,1273.500000,1271.000000",
    "mm/dd/yyyy daily -> mm/dd/yyyy monthly",
    "price -> DATA + price",
    "Truncated TJUL price (Tidal forces from Bern University)",
};

namespace {

constexpr std::array<std::string_view, 4> kDatePriceExample = {
    "1971,1,4,4.318", "1971,1,5,4.3117", "1971,1,6,4.3113", "1971,1,7,4.3103"};

constexpr std::array<std::string_view, 5> kIntradayExample = {
    R"("Date","Time","Open","High","Low","Close","Volume")",
    "060523,0930,1271.750000,1273.500000,1271.000000,1273.250000,37235",
    "060523,0935,1273.250000,1274.750000,1273.250000,1273.750000,32931",
    "060523,0940,1273.750000,1274.250000,1273.000000,1273.500000,21682",
    "060523,0945,1273.250000,1274.000000,1272.000000,1272.250000,23401",
};

// Ends a conversion that has run: commits the output unless the job failed,
// stopped or used no line.
JobReport FinishConversion(JobReport& report, LineOutput& output, const std::string& name,
                           const JobCallbacks& callbacks) {
    // Lines read and none used: nothing is written, an existing file stays.
    if (report.ok() && !report.stopped && report.lines_read > 0 && report.lines_used == 0) {
        report.status = JobStatus::Failure(name, NoLineUsedError(), std::string(NothingWritten));
    }
    // A stopped conversion is left unfinished: nothing is renamed into place.
    if (report.ok() && !report.stopped) report.status = output.Commit();
    if (report.ok() && callbacks.step) callbacks.step(100);
    return report;
}

// The lines of one block: bytes of whole lines read from a file, or a run of
// lines in memory.
struct InputBlock {
    std::string text;
    std::size_t first = 0;  // lines in memory: [first, last)
    std::size_t last = 0;
    double first_moment = 0;  // conversion 3: the date of the block's first line
};

// Output bytes, grown as needed and kept from block to block: appending
// costs no zero-filling.
class OutputBytes {
  public:
    // n bytes more at the end, to be written in full.
    char* Extend(std::size_t n) {
        if (used_ + n > bytes_.size()) bytes_.resize(std::max(2 * bytes_.size(), used_ + n + 4096));
        char* at = bytes_.data() + used_;
        used_ += n;
        return at;
    }
    void Clear() { used_ = 0; }
    std::size_t size() const { return used_; }
    std::string_view view() const { return std::string_view(bytes_.data(), used_); }

  private:
    std::string bytes_;
    std::size_t used_ = 0;
};

// What a block gives: its output lines, each ended by CR LF, and where each
// input line's output ends, so that a stop or a skip can be placed exactly.
struct ConvertedBlock {
    OutputBytes out;
    std::vector<std::size_t> ends;     // per input line: out.size() after it
    std::vector<std::size_t> skipped;  // indices in the block of lines skipped
    std::string line;                  // conversion 4's line before it is added
    ShortText date;                    // conversion 3's date before it is added
    std::size_t lines() const { return ends.size(); }
};

// Appends the pieces and CR LF to out.
void AppendLine(OutputBytes& out, std::span<const std::string_view> pieces) {
    std::size_t size = 2;
    for (const std::string_view piece : pieces) size += piece.size();
    char* to = out.Extend(size);
    for (const std::string_view piece : pieces) {
        CopySmall(to, piece.data(), piece.size());
        to += piece.size();
    }
    to[0] = '\r';
    to[1] = '\n';
}

// Converts one line of conversion 0, 1, 3 or 4 into result; moment is
// conversion 3's date of the line, moved on to the next line's.
void ConvertOne(Conversion conversion, std::string_view line, double& moment,
                ConvertedBlock& result) {
    switch (conversion) {
        case Conversion::PriceToDatedPrice: {
            // A line skipped keeps its date: the dates stay those of the
            // lines' places in the input.
            if (StartsWithNumber(line)) {
                DatedPriceDate(moment, result.date);
                const std::string_view pieces[] = {result.date, DatedPriceGap, line};
                AppendLine(result.out, pieces);
            } else {
                result.skipped.push_back(result.ends.size());
            }
            moment += OneDayInCenturies;
            break;
        }
        case Conversion::DatePrice: {
            DatePricePieces pieces;
            if (ReadDatePriceLine(line, pieces)) {
                AppendLine(result.out, pieces);
            } else {
                result.skipped.push_back(result.ends.size());
            }
            break;
        }
        case Conversion::Intraday: {
            IntradayPieces pieces;
            if (ReorderIntradayLine(line, pieces)) {
                AppendLine(result.out, pieces);
            } else {
                result.skipped.push_back(result.ends.size());
            }
            break;
        }
        default:
            result.line.clear();
            if (ConvertTruncatedJulianLine(line, result.line)) {
                const std::string_view piece = result.line;
                AppendLine(result.out, std::span(&piece, 1));
            } else {
                result.skipped.push_back(result.ends.size());
            }
            break;
    }
    result.ends.push_back(result.out.size());
}

void ConvertBlock(Conversion conversion, const LineList* list, const InputBlock& block,
                  ConvertedBlock& result) {
    result.out.Clear();
    result.ends.clear();
    result.skipped.clear();
    double moment = block.first_moment;
    if (list != nullptr) {
        // Lines in memory are taken as they stand.
        for (std::size_t i = block.first; i < block.last; ++i) {
            ConvertOne(conversion, list->Line(i), moment, result);
        }
        return;
    }
    std::string scratch;
    ForEachStreamLine(block.text, scratch,
                      [&](std::string_view line) { ConvertOne(conversion, line, moment, result); });
}

std::string_view SkipReason(Conversion conversion) {
    switch (conversion) {
        case Conversion::DatePrice:
            return NotADatePriceLine;
        case Conversion::Intraday:
            return NotAnIntradayLine;
        case Conversion::DailyToMonthly:
            return NoMonthDayYearDate;
        case Conversion::PriceToDatedPrice:
            return NoNumberFirst;
        case Conversion::TruncatedJulian:
            break;
    }
    return NoTruncatedJulianDay;
}

// Conversions 0, 1, 3 and 4, which convert each line alone: blocks of lines are
// converted on every thread asked for and written in input order.
JobReport ConvertInBlocks(const LineSource& source, const Destination& destination,
                          const ConversionChoices& choices, const JobCallbacks& callbacks) {
    JobReport report;
    const LineList* list = source.kind() == LineSource::Kind::Lines ? source.lines() : nullptr;
    BlockReader reader;
    if (list == nullptr) {
        report.status = reader.Open(source, LineRules::Stream, choices.block_bytes);
        if (!report.ok()) return report;
    }
    LineOutput output;
    if (report.status = output.Open(destination); !report.ok()) return report;
    output.SetLineEnd(choices.line_end);

    const Conversion conversion = choices.conversion;
    std::size_t next_listed = 0;
    // Conversion 3 dates a block from the moment of its first line: the
    // moments of the lines before it, summed here in line order.
    double moment = FirstDatedPriceMoment();
    const auto read = [&](InputBlock& block) {
        const bool more = list == nullptr ? reader.Next(block.text)
                                          : NextListedRun(*list, next_listed, choices.block_bytes,
                                                          block.first, block.last);
        if (more && conversion == Conversion::PriceToDatedPrice) {
            block.first_moment = moment;
            const std::size_t lines =
                list != nullptr ? block.last - block.first : StreamLineCount(block.text);
            for (std::size_t i = 0; i < lines; ++i) moment += OneDayInCenturies;
        }
        return more;
    };
    const auto take = [&](const InputBlock&, const ConvertedBlock& result) {
        // The lines taken: all, or those before the one a stop falls on.
        std::size_t taken = result.lines();
        if (callbacks.stop_requested) {
            for (std::size_t i = 0; i < taken; ++i) {
                if (callbacks.stop_requested()) {
                    report.stopped = true;
                    taken = i;
                    break;
                }
            }
        }
        std::size_t skipped = 0;
        for (; skipped < result.skipped.size() && result.skipped[skipped] < taken; ++skipped) {
            report.Skip(report.lines_read + static_cast<std::int64_t>(result.skipped[skipped]) + 1,
                        SkipReason(conversion));
        }
        const auto used = static_cast<std::int64_t>(taken - skipped);
        const std::size_t bytes = taken > 0 ? result.ends[taken - 1] : 0;
        if (output.to_memory()) {
            std::size_t begin = 0;
            for (std::size_t i = 0; i < taken; ++i) {
                const std::size_t end = result.ends[i];
                if (end > begin) output.WriteLine(result.out.view().substr(begin, end - begin - 2));
                begin = end;
            }
        } else {
            output.WriteEndedLines(result.out.view().substr(0, bytes), used);
        }
        report.lines_read += static_cast<std::int64_t>(taken);
        report.lines_used += used;
        return !report.stopped && output.status().ok();
    };
    {
        OrderedPool<InputBlock, ConvertedBlock> pool(
            PoolThreads(choices.threads),
            [conversion, list](InputBlock& block, ConvertedBlock& result) {
                ConvertBlock(conversion, list, block, result);
            });
        pool.Run(read, take);
    }
    report.lines_written = output.lines_written();
    if (!output.status().ok()) {
        report.status = output.status();
    } else if (!report.stopped && list == nullptr) {
        report.status = reader.status();
    }
    return FinishConversion(report, output, source.name(), callbacks);
}

JobStatus ConvertLines(LineInput& input, LineOutput& output, Conversion conversion,
                       JobReport& report) {
    if (conversion == Conversion::DailyToMonthly) {
        return ConvertDailyToMonthly(input, output, report);
    }
    return JobStatus::Failure(input.name(), std::make_error_code(std::errc::invalid_argument),
                              "unknown conversion");
}

}  // namespace

std::span<const std::string_view> ConversionExample(Conversion conversion) {
    if (conversion == Conversion::DatePrice) return kDatePriceExample;
    if (conversion == Conversion::Intraday) return kIntradayExample;
    return {};
}

JobReport RunConversion(const LineSource& source, const Destination& destination,
                        const ConversionChoices& choices, const JobCallbacks& callbacks) {
    switch (choices.conversion) {
        case Conversion::DatePrice:
        case Conversion::Intraday:
        case Conversion::PriceToDatedPrice:
        case Conversion::TruncatedJulian:
            return ConvertInBlocks(source, destination, choices, callbacks);
        default:
            break;
    }
    JobReport report;
    LineInput input;
    if (report.status = input.Open(source, LineRules::Stream); !report.ok()) return report;
    input.SetStop(callbacks.stop_requested);
    LineOutput output;
    if (report.status = output.Open(destination); !report.ok()) return report;
    output.SetLineEnd(choices.line_end);
    report.status = ConvertLines(input, output, choices.conversion, report);
    report.lines_read = input.line_number();
    report.lines_written = output.lines_written();
    report.stopped = input.stopped();
    return FinishConversion(report, output, input.name(), callbacks);
}

}  // namespace varn
