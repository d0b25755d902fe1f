#include "convert/conversions.h"

#include <system_error>

#include "convert/daily_to_monthly.h"
#include "convert/dated_price.h"
#include "convert/reorder.h"
#include "convert/truncated_julian.h"
#include "io/line_input.h"
#include "io/line_output.h"

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

JobStatus ReorderEachLine(LineInput& input, LineOutput& output, Conversion conversion,
                          JobReport& report) {
    std::string_view line;
    DatePricePieces date_price;
    IntradayPieces intraday;
    while (input.Next(line)) {
        if (conversion == Conversion::DatePrice) {
            ReorderDatePriceLine(line, date_price);
            output.WriteLineParts(date_price);
            ++report.lines_used;
        } else if (ReorderIntradayLine(line, intraday)) {
            output.WriteLineParts(intraday);
            ++report.lines_used;
        } else {
            report.Skip(input.line_number(), NotAnIntradayLine);
        }
        if (!output.status().ok()) return output.status();
    }
    return input.status();
}

JobStatus ConvertLines(LineInput& input, LineOutput& output, Conversion conversion,
                       JobReport& report) {
    switch (conversion) {
        case Conversion::DatePrice:
        case Conversion::Intraday:
            return ReorderEachLine(input, output, conversion, report);
        case Conversion::DailyToMonthly:
            return ConvertDailyToMonthly(input, output, report);
        case Conversion::PriceToDatedPrice:
            return ConvertPriceToDatedPrice(input, output, report);
        case Conversion::TruncatedJulian:
            return ConvertTruncatedJulian(input, output, report);
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
    JobReport report;
    LineInput input;
    if (report.status = input.Open(source, LineRules::Stream); !report.ok()) return report;
    input.SetStop(callbacks.stop_requested);
    LineOutput output;
    if (report.status = output.Open(destination); !report.ok()) return report;
    report.status = ConvertLines(input, output, choices.conversion, report);
    report.lines_read = input.line_number();
    report.lines_written = output.lines_written();
    report.stopped = input.stopped();
    // Lines read and none used: nothing is written, an existing file stays.
    if (report.ok() && !report.stopped && report.lines_read > 0 && report.lines_used == 0) {
        report.status =
            JobStatus::Failure(input.name(), NoLineUsedError(), std::string(NothingWritten));
    }
    // A stopped conversion is left unfinished: nothing is renamed into place.
    if (report.ok() && !report.stopped) report.status = output.Commit();
    if (report.ok() && callbacks.step) callbacks.step(100);
    return report;
}

}  // namespace varn
