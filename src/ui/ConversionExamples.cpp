#include "ui/ConversionExamples.h"

#include <array>

namespace varn {

namespace {

// Daily lines over a change of month: the last line of each month is kept.
constexpr std::array<std::string_view, 5> DailyToMonthlyInput = {
    "01/29/2004 1.1330", "01/30/2004 1.1321", "02/02/2004 1.1342", "02/27/2004 1.1367",
    "03/01/2004 1.1359"};
// Prices alone: each line is given the next made-up date.
constexpr std::array<std::string_view, 4> DatedPriceInput = {"4.318", "4.3117", "4.3113", "4.3103"};
// A truncated Julian day with its fraction of a day, then the price.
constexpr std::array<std::string_view, 4> TruncatedJulianInput = {
    "52275.5 1.234", "52275.75 1.2352", "52276.5 1.2361", "52277.25 1.2349"};

}  // namespace

std::span<const std::string_view> ExampleInput(Conversion conversion) {
    switch (conversion) {
        case Conversion::DailyToMonthly:
            return DailyToMonthlyInput;
        case Conversion::PriceToDatedPrice:
            return DatedPriceInput;
        case Conversion::TruncatedJulian:
            return TruncatedJulianInput;
        case Conversion::DatePrice:
        case Conversion::Intraday:
            break;
    }
    return ConversionExample(conversion);
}

}  // namespace varn
