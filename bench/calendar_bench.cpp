// Calendar arithmetic, date formatting and date parsing, per call.
#include <benchmark/benchmark.h>

#include <string>

#include "calendar/calendar.h"
#include "calendar/format_date.h"
#include "calendar/parse_date.h"

namespace varn {
namespace {

void BM_CalendarToCenturies(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalendarToCenturies(2006, 5, day, 14.5));
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_CalendarToCenturies);

void BM_CenturiesToCalendar(benchmark::State& state) {
    double moment = 1.0;
    std::int32_t y, m, d;
    double hours, hms;
    for (auto _ : state) {
        CenturiesToCalendar(moment, y, m, d, hours, hms);
        benchmark::DoNotOptimize(d);
        moment += OneDayInCenturies;
    }
}
BENCHMARK(BM_CenturiesToCalendar);

void BM_FormatDate(benchmark::State& state) {
    const auto style = static_cast<DateStyle>(state.range(0));
    double moment = 1.0;
    ShortText text;
    for (auto _ : state) {
        FormatDate(style, moment, text);
        benchmark::DoNotOptimize(text.data());
        moment += OneDayInCenturies / 7;
    }
}
BENCHMARK(BM_FormatDate)->Arg(4)->Arg(0)->Arg(12)->Arg(102);

// One typical line per date layout, read with time layout 0 (layout 5 also
// with time layout 3).
const char* const kLayoutLines[] = {
    "010203 1.5 1.6 1.4 1.55",          "01/02/03 1.5 1.6 1.4 1.55",
    "02/01/03 1.5 1.6 1.4 1.55",        "01.02.03 1.5 1.6 1.4 1.55",
    "02.01.03 1.5 1.6 1.4 1.55",        "01/02/2003 1.5 1.6 1.4 1.55",
    "02/01/2003 1.5 1.6 1.4 1.55",      "01.02.2003 1.5 1.6 1.4 1.55",
    "02.01.2003 1.5 1.6 1.4 1.55",      "2 January, 2003 1.5 1.6 1.4 1.55",
    "January 2, 2003 1.5 1.6 1.4 1.55", "2 JAN 03 1.5 1.6 1.4 1.55",
    "2003/01/02 1.5 1.6 1.4 1.55",      "2003/02/01 1.5 1.6 1.4 1.55",
    "20030102 1.5 1.6 1.4 1.55",        " 1/ 2/2003 1.5 1.6 1.4 1.55",
    " 2/ 1/2003 1.5 1.6 1.4 1.55",      "January, 03 1.5 1.6 1.4 1.55",
    "January , 2003 1.5 1.6 1.4 1.55",  "2003 1.5 1.6 1.4 1.55",
    "2003.01 1.5 1.6 1.4 1.55",         "01.2003 1.5 1.6 1.4 1.55",
};

void BM_ParseDateText(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const DateNames names(EnglishRegionalNames());
    ParsedDate date;
    ShortText rest;
    const std::string_view line = kLayoutLines[layout];
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDateText(line, static_cast<DateLayout>(layout),
                                               TimeLayout::NotIndicated, true, names, date, rest,
                                               255));
    }
}
BENCHMARK(BM_ParseDateText)->DenseRange(0, 21);

void BM_ParseDateTextWithTime(benchmark::State& state) {
    const DateNames names(EnglishRegionalNames());
    ParsedDate date;
    ShortText rest;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseDateText("01/02/2001,09:45,1.5,1.6,1.4,1.55,100",
                                               DateLayout::MMDDYYYYSlash, TimeLayout::BlankHms,
                                               true, names, date, rest, 255));
    }
}
BENCHMARK(BM_ParseDateTextWithTime);

}  // namespace
}  // namespace varn
