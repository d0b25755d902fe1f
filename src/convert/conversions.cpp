#include "convert/conversions.h"

#include <system_error>

#include "convert/daily_to_monthly.h"
#include "convert/dated_price.h"
#include "convert/reorder.h"
#include "convert/truncated_julian.h"

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

JobStatus ReorderEachLine(LineReader& input, AtomicFile& output, int conversion) {
    std::string_view line;
    DatePricePieces date_price;
    IntradayPieces intraday;
    while (input.Next(line)) {
        if (conversion == 0) {
            ReorderDatePriceLine(line, date_price);
            output.WriteLineParts(date_price);
        } else if (ReorderIntradayLine(line, intraday)) {
            output.WriteLineParts(intraday);
        }
        if (!output.status().ok()) return output.status();
    }
    return input.status();
}

}  // namespace

std::span<const std::string_view> ConversionExample(int conversion) {
    if (conversion == 0) return kDatePriceExample;
    if (conversion == 1) return kIntradayExample;
    return {};
}

JobStatus ConvertLines(LineReader& input, AtomicFile& output, int conversion) {
    switch (conversion) {
        case 0:
        case 1:
            return ReorderEachLine(input, output, conversion);
        case 2:
            return ConvertDailyToMonthly(input, output);
        case 3:
            return ConvertPriceToDatedPrice(input, output);
        case 4:
            return ConvertTruncatedJulian(input, output);
        default:
            return JobStatus::Failure(input.path(),
                                      std::make_error_code(std::errc::invalid_argument),
                                      "unknown conversion");
    }
}

JobStatus ConvertPriceFile(const std::string& input, const std::string& output, int conversion) {
    LineReader reader;
    if (JobStatus status = reader.Open(input, LineRules::Stream); !status) return status;
    AtomicFile writer;
    if (JobStatus status = writer.Open(output); !status) return status;
    if (JobStatus status = ConvertLines(reader, writer, conversion); !status) return status;
    return writer.Commit();
}

}  // namespace varn
