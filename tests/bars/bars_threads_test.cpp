// The bar job on a pool of threads and in blocks of any size gives the bars
// and report of building from lines parsed one by one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bars/bar_input.h"
#include "bars/build_bars.h"
#include "io/line_rules.h"
#include "test_support.h"

namespace varn {
namespace {

using testing::PipedStandardInput;
using testing::ReadAll;
using testing::TempDir;

using Bars = std::vector<std::string>;

struct Expected {
    Bars bars;
    std::int64_t read = 0;
    std::int64_t used = 0;
    std::int64_t skipped = 0;
    std::vector<SkippedLine> first_skipped;
};

BarChoices Choices(BarPeriod period, int minutes) {
    BarChoices choices;
    choices.date_layout = DateLayout::MMDDYYYYSlash;
    choices.time_layout = TimeLayout::SemicolonHms;
    choices.period = period;
    choices.period_minutes = minutes;
    choices.volume = true;
    choices.names = EnglishRegionalNames();
    return choices;
}

// The bars of the lines of text, each parsed alone and built in order.
Expected OneByOne(const std::string& text, const BarChoices& choices) {
    Expected want;
    BarSettings settings{*choices.date_layout, *choices.time_layout, choices.period,
                         choices.delimiter};
    settings.period_minutes = choices.period_minutes;
    settings.volume = choices.volume;
    const BarReading reading = settings.Reading();
    const DateNames names(choices.names);
    BarBuilder builder(settings, [&want](std::string_view bar) { want.bars.emplace_back(bar); });
    for (const std::string& line : ListLines(text)) {
        ++want.read;
        ParsedBarLine parsed;
        ShortText reason;
        parsed.ok = ReadBarFields(settings.date_layout, settings.time_layout, reading, line, names,
                                  parsed.date, parsed.bar, &reason);
        if (parsed.ok) {
            ++want.used;
        } else {
            ++want.skipped;
            if (want.first_skipped.size() < JobReport::KeptSkips) {
                want.first_skipped.push_back({want.read, reason});
            }
        }
        builder.AddParsed(parsed);
    }
    builder.Finish();
    return want;
}

// Minute lines over several days with line ends of every kind, broken lines
// here and there, an empty line and a line longer than small blocks.
std::string MinuteLines() {
    std::string text;
    const char* const ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 3000; ++i) {
        const int minutes = i * 7;
        char line[96];
        std::snprintf(line, sizeof line, "%02d/%02d/2001,%02d:%02d,%d.5,%d.75,%d.25,%d.5,%d",
                      minutes / 1440 / 28 + 1, minutes / 1440 % 28 + 1, minutes / 60 % 24,
                      minutes % 60, i % 50, i % 50 + 1, i % 50, i % 50, i);
        if (i % 301 == 7) text += "broken ";
        if (i == 1000) text += std::string(3000, ' ');
        text += line;
        text += ends[i % 3];
        if (i == 2000) text += "\r\n";
    }
    text += "12/31/2001,23:59,1,2,0.5,1.5,9";  // no final line break
    return text;
}

void ExpectSame(const JobReport& report, const Bars& bars, const Expected& want) {
    EXPECT_TRUE(report.ok()) << report.status.Message();
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(bars, want.bars);
    EXPECT_EQ(report.lines_read, want.read);
    EXPECT_EQ(report.lines_used, want.used);
    EXPECT_EQ(report.lines_skipped, want.skipped);
    EXPECT_EQ(report.first_skipped, want.first_skipped);
    EXPECT_EQ(report.bars_written, static_cast<std::int64_t>(want.bars.size()));
}

Bars FileLines(const std::string& path) {
    Bars lines = ListLines(ReadAll(path));
    return lines;
}

TEST(BarsInBlocks, GiveTheBarsOfOneLineAtATime) {
    const std::string text = MinuteLines();
    TempDir dir;
    const std::string in = dir.Write("in.txt", text);
    BarInputLines memory;
    memory.Assign(text);
    struct Period {
        const char* name;
        BarPeriod period;
        int minutes;
    };
    const Period periods[] = {{"5 minutes", BarPeriod::FiveMinutes, 0},
                              {"day", BarPeriod::Day, 0},
                              {"hour", BarPeriod::Hour, 0},
                              {"month", BarPeriod::Month, 0},
                              {"20 minutes", BarPeriod::Hour, 20}};
    for (const Period& period : periods) {
        const BarChoices base = Choices(period.period, period.minutes);
        const Expected want = OneByOne(text, base);
        ASSERT_GT(want.bars.size(), 1U);
        ASSERT_GT(want.skipped, 5);
        for (const int threads : {1, 2, 7}) {
            for (const std::size_t block : {1, 2, 3, 5, 8, 13, 17, 4096, 0}) {
                SCOPED_TRACE(std::string(period.name) + ", threads " + std::to_string(threads) +
                             ", block " + std::to_string(block));
                BarChoices choices = base;
                choices.threads = threads;
                choices.block_bytes = block;
                const std::string out = dir.Path("out.txt");
                const JobReport from_file =
                    RunBars(LineSource::File(in), Destination::File(out), choices);
                ExpectSame(from_file, FileLines(out), want);
                Bars in_memory;
                ExpectSame(RunBars(LineSource::Lines(memory, "lines"),
                                   Destination::Lines(in_memory), choices),
                           in_memory, want);
            }
            SCOPED_TRACE(std::string(period.name) + ", threads " + std::to_string(threads) +
                         ", a pipe");
            BarChoices choices = base;
            choices.threads = threads;
            choices.block_bytes = 1000;
            Bars piped;
            JobReport report;
            {
                PipedStandardInput stdin_pipe(text, 777);
                report = RunBars(LineSource::StandardInput(), Destination::Lines(piped), choices);
            }
            ExpectSame(report, piped, want);
        }
    }
}

TEST(BarsInBlocks, DetectTheLayoutsFromTheFirstBlocks) {
    // Detection needs more than 100 lines: with tiny blocks they come from
    // many blocks, which are then built from like the rest.
    const std::string text = MinuteLines();
    TempDir dir;
    const std::string in = dir.Write("in.txt", text);
    BarChoices given = Choices(BarPeriod::Day, 0);
    const Expected want = OneByOne(text, given);
    for (const std::size_t block : {1, 64, 0}) {
        SCOPED_TRACE(block);
        BarChoices choices = given;
        choices.date_layout.reset();
        choices.time_layout.reset();
        choices.block_bytes = block;
        choices.threads = 2;
        Bars bars;
        const JobReport report = RunBars(LineSource::File(in), Destination::Lines(bars), choices);
        ASSERT_TRUE(report.layouts.has_value());
        EXPECT_TRUE(report.layouts->detected);
        EXPECT_EQ(report.layouts->date, DateLayout::MMDDYYYYSlash);
        ExpectSame(report, bars, want);
    }
}

TEST(BarsInBlocks, AStopMidwayKeepsTheClosedBars) {
    const std::string text = MinuteLines();
    TempDir dir;
    const std::string in = dir.Write("in.txt", text);
    const BarChoices base = Choices(BarPeriod::Hour, 0);
    struct Row {
        int threads;
        std::size_t block;
        int stop_after;
    };
    const Row rows[] = {{1, 0, 1500}, {2, 100, 1500}, {7, 13, 50}, {2, 4096, 2999}};
    for (const Row& row : rows) {
        SCOPED_TRACE("threads " + std::to_string(row.threads) + ", block " +
                     std::to_string(row.block) + ", stop after " + std::to_string(row.stop_after));
        // The bars closed before the stop: those of the lines before it, less
        // the bar still open.
        const Bars lines = ListLines(text);
        std::string before;
        for (int i = 0; i < row.stop_after; ++i)
            before += lines[static_cast<std::size_t>(i)] + "\n";
        Expected want = OneByOne(before, base);
        want.bars.pop_back();

        BarChoices choices = base;
        choices.threads = row.threads;
        choices.block_bytes = row.block;
        int asked = 0;
        JobCallbacks callbacks;
        callbacks.stop_requested = [&asked, &row] { return ++asked > row.stop_after; };
        Bars bars;
        const JobReport report =
            RunBars(LineSource::File(in), Destination::Lines(bars), choices, callbacks);
        EXPECT_TRUE(report.ok());
        EXPECT_TRUE(report.stopped);
        EXPECT_EQ(report.lines_read, row.stop_after);
        EXPECT_EQ(report.lines_skipped, want.skipped);
        EXPECT_EQ(report.first_skipped, want.first_skipped);
        EXPECT_EQ(bars, want.bars);
    }
}

}  // namespace
}  // namespace varn
