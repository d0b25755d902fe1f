#include "cli/layout_options.h"

#include <charconv>

#include "bars/bar_line.h"

namespace varn::cli {
namespace {

std::optional<int> ReadNumber(const std::string& text, int count) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value >= count) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<DateLayout> ParseDateLayoutOption(const std::string& text) {
    if (text == "auto") return std::nullopt;
    return DateLayoutOf(ReadNumber(text, DateLayoutCount).value_or(-1));
}

std::optional<TimeLayout> ParseTimeLayoutOption(const std::string& text) {
    if (text == "auto") return std::nullopt;
    return TimeLayoutOf(ReadNumber(text, TimeLayoutCount).value_or(-1));
}

std::optional<BarPeriod> ParsePeriodOption(const std::string& text) {
    for (int p = 0; p < BarPeriodCount; ++p) {
        if (text == BarPeriodNames[static_cast<std::size_t>(p)]) return BarPeriodOf(p);
    }
    return BarPeriodOf(ReadNumber(text, BarPeriodCount).value_or(-1));
}

std::optional<PeriodOption> ParseBarPeriodOption(const std::string& text) {
    if (const std::optional<BarPeriod> period = ParsePeriodOption(text)) {
        return PeriodOption{*period, 0};
    }
    const std::optional<int> minutes = ReadBarMinutes(text);
    if (!minutes) return std::nullopt;
    // Lengths the list has are its periods, which give the same keys.
    switch (*minutes) {
        case 5:
            return PeriodOption{BarPeriod::FiveMinutes, 0};
        case 15:
            return PeriodOption{BarPeriod::FifteenMinutes, 0};
        case 60:
            return PeriodOption{BarPeriod::Hour, 0};
        default:
            return PeriodOption{BarPeriod::Month, *minutes};
    }
}

CLI::Validator LayoutValidator(int count) {
    return CLI::Validator(
        [count](std::string& text) -> std::string {
            if (text == "auto" || ReadNumber(text, count)) return {};
            return "must be auto or a number from 0 to " + std::to_string(count - 1);
        },
        "auto|0-" + std::to_string(count - 1));
}

CLI::Validator PeriodValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (ParseBarPeriodOption(text)) return {};
            return "must be 0 to 7, one of 5min 15min hour day week month quarter year, "
                   "Nmin with N dividing 1440 or Nh with N dividing 24";
        },
        "PERIOD");
}

CLI::Validator SessionStartValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (ReadSessionStart(text)) return {};
            return "must be [-]HH:MM, hours 0 to 23";
        },
        "[-]HH:MM");
}

}  // namespace varn::cli
