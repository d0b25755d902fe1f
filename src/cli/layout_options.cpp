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

std::optional<int> ParseLayoutOption(const std::string& text) {
    if (text == "auto") return std::nullopt;
    return ReadNumber(text, 1 << 30);
}

std::optional<int> ParsePeriodOption(const std::string& text) {
    for (int p = 0; p < BarPeriodCount; ++p) {
        if (text == BarPeriodNames[static_cast<std::size_t>(p)]) return p;
    }
    return ReadNumber(text, BarPeriodCount);
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
            if (ParsePeriodOption(text)) return {};
            return "must be 0 to 7 or one of 5min 15min hour day week month quarter year";
        },
        "PERIOD");
}

std::optional<LayoutPair> DetectFirstLines(const std::vector<std::string>& first,
                                           const DateNames& names, std::optional<int> date,
                                           std::optional<int> time) {
    if (first.size() <= static_cast<std::size_t>(DetectLineCount)) return std::nullopt;
    std::vector<std::string_view> views(first.begin(), first.begin() + DetectLineCount);
    return DetectLayouts(views, names, date, time);
}

}  // namespace varn::cli
