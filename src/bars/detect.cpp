#include "bars/detect.h"

#include <algorithm>
#include <array>
#include <string>

#include "bars/bar_line.h"
#include "calendar/calendar.h"
#include "calendar/date_layouts.h"
#include "text/fields.h"

namespace varn {
namespace {

// Calls visit with every pair in the order detection tries them (date layouts
// ascending, time layouts from the last down to 0), until it returns true.
template <typename Visit>
void ForEachPair(std::optional<DateLayout> fixed_date, std::optional<TimeLayout> fixed_time,
                 Visit visit) {
    const int first_date = fixed_date ? Number(*fixed_date) : 0;
    const int last_date = fixed_date ? Number(*fixed_date) : DateLayoutCount - 1;
    const int first_time = fixed_time ? Number(*fixed_time) : TimeLayoutCount - 1;
    const int last_time = fixed_time ? Number(*fixed_time) : 0;
    for (int d = first_date; d <= last_date; ++d) {
        for (int t = first_time; t >= last_time; --t) {
            if (visit(LayoutPair{static_cast<DateLayout>(d), static_cast<TimeLayout>(t)})) return;
        }
    }
}

// How many of lines pair fits, counting no further once threshold is out of
// reach (threshold 0: all).
int CountFits(std::span<const std::string_view> lines, const LayoutPair& pair, PriceForm form,
              const DateNames& names, int threshold = 0) {
    int fits = 0;
    int left = static_cast<int>(lines.size());
    for (const std::string_view line : lines) {
        if (LineFitsLayouts(pair.date_layout, pair.time_layout, form, line, names)) ++fits;
        --left;
        if (fits + left < threshold) break;
    }
    return fits;
}

// The first pair that fits, with how many lines it fits.
std::optional<std::pair<LayoutPair, int>> FirstFittingPair(std::span<const std::string_view> lines,
                                                           const DateNames& names,
                                                           std::optional<DateLayout> fixed_date,
                                                           std::optional<TimeLayout> fixed_time,
                                                           PriceForm form) {
    const auto examined = lines.first(std::min<std::size_t>(lines.size(), DetectLineCount));
    std::optional<std::pair<LayoutPair, int>> found;
    ForEachPair(fixed_date, fixed_time, [&](const LayoutPair& pair) {
        const int fits = CountFits(examined, pair, form, names, DetectThreshold);
        if (fits >= DetectThreshold) found = std::pair{pair, fits};
        return found.has_value();
    });
    return found;
}

// The day-first layout that reads what a month-first one reads with day and
// month swapped.
std::optional<DateLayout> DayFirstTwin(DateLayout layout) {
    switch (layout) {
        case DateLayout::MMDDYYSlash:
            return DateLayout::DDMMYYSlash;
        case DateLayout::MMDDYYDot:
            return DateLayout::DDMMYYDot;
        case DateLayout::MMDDYYYYSlash:
            return DateLayout::DDMMYYYYSlash;
        case DateLayout::MMDDYYYYDot:
            return DateLayout::DDMMYYYYDot;
        case DateLayout::YYYYMMDDSlash:
            return DateLayout::YYYYDDMMSlash;
        case DateLayout::MDYYYYSpaced:
            return DateLayout::DMYYYYSpaced;
        default:
            return std::nullopt;
    }
}

// How many of the six numbers a line may hold after its stamp it holds.
int NumbersAfterStamp(const LayoutPair& pair, std::string_view line, const DateNames& names) {
    BarReading reading;
    reading.volume = true;
    reading.open_interest = true;
    ParsedDate date;
    BarLine bar;
    (void)ReadBarFields(pair.date_layout, pair.time_layout, reading, line, names, date, bar);
    int count = 0;
    for (const double value :
         {bar.open, bar.high, bar.low, bar.close, bar.volume, bar.open_interest}) {
        if (IsMissing(value)) break;
        ++count;
    }
    return count;
}

bool HasDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What the examined lines show when no pair fits them, and what to do.
std::string DescribeNoFit(std::span<const std::string_view> lines, const DateNames& names,
                          PriceForm form, bool columns_named, std::optional<DateLayout> fixed_date,
                          std::optional<TimeLayout> fixed_time) {
    std::vector<std::string_view> firsts;
    for (const std::string_view line : lines) {
        const std::string_view first = FirstFields<1>(line, ByteTable(LineSeparators))[0];
        if (!first.empty()) firsts.push_back(first);
    }
    if (firsts.empty()) return "the lines are blank";
    const std::string hint = columns_named ? "" : ": name the columns with --columns";
    if (std::none_of(firsts.begin(), firsts.end(), HasDigit)) {
        return "the first field is text on every line" + hint;
    }
    const auto all_digits = [&firsts](std::size_t count) {
        return std::all_of(firsts.begin(), firsts.end(), [count](std::string_view f) {
            return f.size() == count &&
                   std::all_of(f.begin(), f.end(), [](char c) { return c >= '0' && c <= '9'; });
        });
    };
    if (all_digits(10)) {
        return "numbers of 10 digits look like epoch seconds, but they fall outside 1971-2100";
    }
    if (all_digits(13)) {
        return "numbers of 13 digits look like epoch milliseconds, but they fall outside "
               "1971-2100";
    }
    // The pair whose dates read on most lines, and why its lines fail.
    LayoutPair best;
    int best_dates = 0;
    ForEachPair(fixed_date, fixed_time, [&](const LayoutPair& pair) {
        int dates = 0;
        for (const std::string_view line : lines) {
            ParsedDate date;
            ShortText rest;
            if (ParseDateText(line, pair.date_layout, pair.time_layout, true, names, date, rest,
                              0)) {
                ++dates;
            }
        }
        if (dates > best_dates) {
            best_dates = dates;
            best = pair;
        }
        return false;
    });
    if (best_dates == 0) {
        return "no date and time layout reads the dates (the first field of line 1 is '" +
               std::string(firsts.front()) + "'); give --date-layout and --time-layout" +
               (columns_named ? "" : ", or name the columns with --columns");
    }
    if (best_dates < DetectThreshold) {
        std::size_t first_unread = 0;
        for (; first_unread < lines.size(); ++first_unread) {
            ParsedDate date;
            ShortText rest;
            if (!ParseDateText(lines[first_unread], best.date_layout, best.time_layout, true, names,
                               date, rest, 0)) {
                break;
            }
        }
        return "only " + std::to_string(best_dates) + " of the first " +
               std::to_string(lines.size()) + " lines read as dates, by date layout " +
               std::to_string(Number(best.date_layout)) + " and time layout " +
               std::to_string(Number(best.time_layout)) + " (not line " +
               std::to_string(first_unread + 1) + ")" +
               (fixed_date || fixed_time
                    ? ": is the layout given the file's? varn detect tells"
                    : "; to read the lines that do, give --date-layout and --time-layout");
    }
    int out_of_order = 0;
    int fewer = 0;
    for (const std::string_view line : lines) {
        ParsedDate date;
        BarLine bar;
        BarReading reading;
        reading.form = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
        if (!ReadBarFields(best.date_layout, best.time_layout, reading, line, names, date, bar)) {
            ++fewer;
        } else if (bar.out_of_order) {
            ++out_of_order;
        }
    }
    const std::string dates = "the dates read as date layout " +
                              std::to_string(Number(best.date_layout)) + " and time layout " +
                              std::to_string(Number(best.time_layout));
    if (out_of_order == 0 && fewer == 0) {
        return dates + ", and their prices read, on too few lines to decide";
    }
    if (out_of_order >= fewer) {
        return dates + ", but on " + std::to_string(out_of_order) +
               " lines the four numbers after them are not open, high, low and close in order" +
               hint + ", or read one price a line with --prices single";
    }
    return dates + ", but " + std::to_string(fewer) + " lines hold no " +
           (form == PriceForm::Single ? "price" : "four prices") + " after them" + hint;
}

class DetectionCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "detection"; }
    std::string message(int outcome) const override {
        switch (static_cast<Detection::Outcome>(outcome)) {
            case Detection::Outcome::TooFewLines:
                return "100 lines or fewer are not examined";
            case Detection::Outcome::BadColumns:
                return "the columns cannot give bars";
            default:
                break;
        }
        return "no date and time layout fits 96 of the first 100 lines";
    }
};

}  // namespace

std::error_code DetectionError(Detection::Outcome outcome) {
    static const DetectionCategory category;
    return {static_cast<int>(outcome), category};
}

Detection DetectInputLayouts(std::span<const std::string_view> first, const DateNames& names,
                             std::optional<DateLayout> fixed_date_layout,
                             std::optional<TimeLayout> fixed_time_layout, PriceForm form,
                             const ShapeChoices& shape_choices) {
    Detection detection;
    ShapeChoices choices = shape_choices;
    choices.prices = form;
    if (!FindLineShape(first, choices, detection.shape, detection.reason)) {
        detection.outcome = Detection::Outcome::BadColumns;
        return detection;
    }
    if (first.size() <= static_cast<std::size_t>(DetectLineCount)) return detection;
    // The lines after the header, as the readers see them.
    std::vector<std::string> shaped;
    for (std::size_t i = static_cast<std::size_t>(detection.shape.header_line);
         i < first.size() && shaped.size() < static_cast<std::size_t>(DetectLineCount); ++i) {
        shaped.emplace_back(ShapeLine(first[i], detection.shape));
    }
    const std::vector<std::string_view> examined(shaped.begin(), shaped.end());
    if (detection.shape.prices != PriceForm::Auto) form = detection.shape.prices;

    // Four prices are tried first; with the form left open, then one price.
    detection.form = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    auto found =
        FirstFittingPair(examined, names, fixed_date_layout, fixed_time_layout, detection.form);
    if (!found && form == PriceForm::Auto) {
        detection.form = PriceForm::Single;
        found = FirstFittingPair(examined, names, fixed_date_layout, fixed_time_layout,
                                 PriceForm::Single);
    }
    if (!found) {
        // Tell the pair that came nearest with four prices: every pair counted
        // over every line, the first of the highest counts in the order pairs
        // are tried.
        const PriceForm nearest_form = form == PriceForm::Single ? form : PriceForm::Ohlc;
        detection.form = nearest_form;
        detection.outcome = Detection::Outcome::NoFit;
        ForEachPair(fixed_date_layout, fixed_time_layout, [&](const LayoutPair& pair) {
            const int fits = CountFits(examined, pair, nearest_form, names);
            if (fits > detection.fitting_lines) {
                detection.fitting_lines = fits;
                detection.pair = pair;
            }
            return false;
        });
        detection.reason =
            DescribeNoFit(examined, names, nearest_form, !detection.shape.columns.empty(),
                          fixed_date_layout, fixed_time_layout);
        return detection;
    }
    detection.outcome = Detection::Outcome::Detected;
    detection.pair = found->first;
    detection.fitting_lines = found->second;
    // A month-first pair whose day-first twin fits as well leaves the order
    // to later lines.
    if (!fixed_date_layout) {
        if (const auto twin = DayFirstTwin(detection.pair.date_layout)) {
            const LayoutPair day_first{*twin, detection.pair.time_layout};
            if (CountFits(examined, day_first, detection.form, names, DetectThreshold) >=
                DetectThreshold) {
                detection.day_first = day_first;
            }
        }
    }
    std::array<int, 7> counts{};
    for (const std::string_view line : examined) {
        if (!LineFitsLayouts(detection.pair.date_layout, detection.pair.time_layout, detection.form,
                             line, names)) {
            continue;
        }
        if (counts == std::array<int, 7>{}) {
            detection.zone_word =
                ZoneWordOf(detection.pair.date_layout, detection.pair.time_layout, line, names);
        }
        ++counts[static_cast<std::size_t>(NumbersAfterStamp(detection.pair, line, names))];
    }
    detection.numbers_after_stamp =
        static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
    return detection;
}

std::optional<LayoutPair> DetectLayouts(std::span<const std::string_view> lines,
                                        const DateNames& names,
                                        std::optional<DateLayout> fixed_date_layout,
                                        std::optional<TimeLayout> fixed_time_layout) {
    const auto found =
        FirstFittingPair(lines, names, fixed_date_layout, fixed_time_layout, PriceForm::Ohlc);
    if (!found) return std::nullopt;
    return found->first;
}

DayOrderCheck::DayOrderCheck(const Detection& detection, const DateNames& names)
    : names_(names), shape_(detection.shape) {
    month_first_.pair = detection.pair;
    day_first_.pair = detection.day_first.value_or(detection.pair);
}

bool DayOrderCheck::Reads(Reading& reading, std::string_view line) {
    ParsedDate date;
    ShortText rest;
    if (!ParseDateText(line, reading.pair.date_layout, reading.pair.time_layout, true, names_, date,
                       rest, 0)) {
        return false;
    }
    const std::int64_t day = DayNumber(date.year, date.month, date.day);
    const std::int64_t step = day - reading.last_day;
    if (reading.last_day != 0 && step >= 1 && step <= 7) ++reading.short_steps;
    reading.last_day = day;
    return true;
}

bool DayOrderCheck::Feed(std::string_view line, std::int64_t number) {
    if (decided_) return true;
    const std::string_view shaped = ShapeLine(line, shape_);
    const bool month_first = Reads(month_first_, shaped);
    const bool day_first = Reads(day_first_, shaped);
    if (month_first != day_first) {
        decided_ = day_first;
        deciding_line_ = number;
    }
    return decided_.has_value();
}

LayoutPair DayOrderCheck::Choice(std::string& note) const {
    note.clear();
    const std::string both = "dates fit month-first and day-first; ";
    if (decided_) {
        if (*decided_) {
            note =
                "dates read day-first (line " + std::to_string(deciding_line_) + " reads only so)";
        }
        return *decided_ ? day_first_.pair : month_first_.pair;
    }
    // Lines with times that step by days one way and not the other are
    // intraday data of following days.
    const bool timed = month_first_.pair.time_layout != TimeLayout::NotIndicated;
    if (timed && day_first_.short_steps > 0 && month_first_.short_steps == 0) {
        note = both + "took day-first, where the dates step by days";
        return day_first_.pair;
    }
    if (timed && month_first_.short_steps > 0 && day_first_.short_steps == 0) {
        return month_first_.pair;  // stepping by days, as it should
    }
    note = both + "took month-first; --date-layout " +
           std::to_string(Number(day_first_.pair.date_layout)) + " reads day-first";
    return month_first_.pair;
}

void DecideDayOrder(Detection& detection, const LineList& lines, const DateNames& names) {
    if (!detection.detected() || !detection.day_first) return;
    DayOrderCheck check(detection, names);
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        if (check.Feed(lines.Line(i), static_cast<std::int64_t>(i) + 1)) break;
    }
    detection.pair = check.Choice(detection.note);
    detection.day_first.reset();
}

int CountFittingLines(std::span<const std::string_view> lines, const LayoutPair& pair,
                      PriceForm form, const DateNames& names, const LineShape& shape) {
    const PriceForm read_as = form == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    // The lines detection examines: those after the header, as rewritten.
    const std::size_t header = std::min(lines.size(), static_cast<std::size_t>(shape.header_line));
    const auto after_header = lines.subspan(header);
    int fits = 0;
    for (const std::string_view line :
         after_header.first(std::min<std::size_t>(after_header.size(), DetectLineCount))) {
        if (LineFitsLayouts(pair.date_layout, pair.time_layout, read_as, ShapeLine(line, shape),
                            names)) {
            ++fits;
        }
    }
    return fits;
}

}  // namespace varn
