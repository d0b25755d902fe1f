#include "bars/build_bars.h"

#include <algorithm>
#include <deque>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

#include "bars/bar_blocks.h"
#include "bars/bar_sinks.h"
#include "bars/detect.h"
#include "bars/job_zones.h"
#include "bars/parse_batch.h"
#include "calendar/calendar.h"
#include "io/block_reader.h"
#include "io/line_output.h"
#include "io/ordered_pool.h"
#include "text/quantity.h"
#include "text/text_helpers.h"

namespace varn {

namespace {

// How the job reads its lines: the layouts (chosen or detected), the shape
// of the lines, and detection's notes.
struct JobReading {
    LineShape shape;
    std::optional<LayoutPair> day_first;  // the day order is left to later lines
    Detection detection;
};

// What the reports say of how lines were read.
InputReading DescribeReading(const LineShape& shape, const std::string& zone_word) {
    InputReading reading;
    reading.separator = std::string(SeparatorName(shape.separator));
    reading.decimal_comma = shape.decimal == DecimalMark::Comma;
    reading.header_line = shape.header_line;
    reading.columns = shape.ColumnsText();
    reading.columns_from_header = shape.columns_from_header;
    reading.zone_word = zone_word;
    return reading;
}

// The layouts of the job: as chosen, or detected from the first lines; and
// the shape of the lines, found from them either way.
JobStatus ChooseLayouts(std::span<const std::string_view> first, const std::string& name,
                        const BarChoices& choices, const DateNames& names, JobReport& report,
                        JobReading& reading) {
    if (choices.date_layout && choices.time_layout) {
        ShapeChoices shape_choices = choices.shape;
        shape_choices.prices = choices.prices;
        std::string reason;
        if (!FindLineShape(first, shape_choices, reading.shape, reason)) {
            report.detection_reason = reason;
            return JobStatus::Failure(name, DetectionError(Detection::Outcome::BadColumns),
                                      "cannot read the columns");
        }
        // Nothing is detected, so Auto reads four prices unless the columns
        // name one.
        PriceForm form = choices.prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
        if (reading.shape.prices != PriceForm::Auto) form = reading.shape.prices;
        report.layouts = UsedLayouts{*choices.date_layout, *choices.time_layout, false, form};
        report.reading = DescribeReading(reading.shape, {});
        return JobStatus::Ok();
    }
    reading.detection = DetectInputLayouts(first, names, choices.date_layout, choices.time_layout,
                                           choices.prices, choices.shape);
    const Detection& detection = reading.detection;
    reading.shape = detection.shape;
    report.reading = DescribeReading(detection.shape, detection.zone_word);
    if (!detection.detected()) {
        if (detection.outcome == Detection::Outcome::NoFit) {
            // The pair that came nearest, not used.
            report.layouts = UsedLayouts{detection.pair.date_layout, detection.pair.time_layout,
                                         false, detection.form};
            report.fitting_lines = detection.fitting_lines;
        }
        report.detection_reason = detection.reason;
        return JobStatus::Failure(name, DetectionError(detection.outcome),
                                  detection.outcome == Detection::Outcome::BadColumns
                                      ? "cannot read the columns"
                                      : "cannot detect the date and time layouts");
    }
    report.layouts =
        UsedLayouts{detection.pair.date_layout, detection.pair.time_layout, true, detection.form};
    report.fitting_lines = detection.fitting_lines;
    reading.day_first = detection.day_first;
    // Lines read as one price that hold more numbers (price, bid, ask,
    // size): which of them is the volume cannot be told.
    if (choices.volume && choices.prices == PriceForm::Auto &&
        detection.form == PriceForm::Single && detection.shape.columns.empty() &&
        detection.numbers_after_stamp > 2) {
        report.detection_reason =
            "the lines hold " + std::to_string(detection.numbers_after_stamp) +
            " numbers after the time, not open, high, low and close in order, and are read as "
            "one price; which of the others is the volume cannot be told: name the columns "
            "with --columns (date,time,price,bid,ask,volume)";
        return JobStatus::Failure(name, DetectionError(Detection::Outcome::BadColumns),
                                  "cannot tell the volume");
    }
    return JobStatus::Ok();
}

// "line 17 does not read: Can't extract ..." or "line 5 has its prices out of
// order": the first line --strict refuses.
std::string StrictFailureText(const JobReport& report) {
    const std::int64_t skipped = report.first_skipped.empty() ? 0 : report.first_skipped[0].line;
    if (skipped > 0 && (report.first_out_of_order == 0 || skipped < report.first_out_of_order)) {
        return "line " + std::to_string(skipped) +
               " does not read: " + report.first_skipped[0].reason;
    }
    return "line " + std::to_string(report.first_out_of_order) +
           " has its prices out of order (high below low, or open or close outside high-low)";
}

// When month-first and day-first both fit the first lines, the lines on
// decide: read while they are held, or from the start again (so the first
// lines may be gone after). Sets the layouts of the report and its note.
JobStatus SettleDayOrder(BarBlocks& blocks, std::span<const std::string_view> first,
                         const JobReading& input, const DateNames& names, JobReport& report) {
    if (!input.day_first) return JobStatus::Ok();
    DayOrderCheck check(input.detection, names);
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (check.Feed(first[i], static_cast<std::int64_t>(i) + 1)) break;
    }
    if (!check.decided() && !blocks.ReadOn(check, first.size())) return blocks.status();
    std::string note;
    const LayoutPair pair = check.Choice(note);
    report.layouts->date = pair.date_layout;
    report.layouts->time = pair.time_layout;
    if (!note.empty()) report.notes.push_back(note);
    return JobStatus::Ok();
}

class ReadingCategory final : public std::error_category {
  public:
    const char* name() const noexcept override { return "bar reading"; }
    std::string message(int fault) const override {
        switch (static_cast<ReadingFault>(fault)) {
            case ReadingFault::Strict:
                return "--strict refuses it; nothing written";
            case ReadingFault::ManySymbols:
                return "the lines hold several symbols; nothing written";
            case ReadingFault::NoSymbol:
                return "no bars of the symbol asked for; nothing written";
            case ReadingFault::BackInTime:
                break;
        }
        return "give a file that can be read twice, write to a file, or --order keep; nothing "
               "written";
    }
};

// Counts lines whose prices are out of order, the first at index (0-based).
void CountOutOfOrder(JobReport& report, std::int64_t index, std::int64_t count) {
    if (report.lines_out_of_order == 0) report.first_out_of_order = index + 1;
    report.lines_out_of_order += count;
}

// "3 symbols: AAA, BBB, CCC; choose one with --symbol or write one file
// each with --split DIR", with up to ten of them named.
std::string SymbolsText(const std::vector<std::pair<std::string, std::int64_t>>& symbols) {
    std::string text =
        std::to_string(symbols.size()) + (symbols.size() == 1 ? " symbol" : " symbols");
    for (std::size_t i = 0; i < symbols.size() && i < 10; ++i) {
        text += (i == 0 ? ": " : ", ") + (symbols[i].first.empty() ? "(none)" : symbols[i].first);
    }
    if (symbols.size() > 10) text += ", and " + std::to_string(symbols.size() - 10) + " more";
    return text + "; choose one with --symbol or write one file each with --split DIR";
}

// The notes of how the time order was taken: "read newest first", "412
// lines out of time order", "37 duplicate lines counted once".
void NoteTimeOrder(const BarSinks& sinks, JobReport& report) {
    std::int64_t earlier = 0;
    std::int64_t later = 0;
    for (const BarSink* sink : sinks.all()) {
        if (const KeyedBars* keyed = sink->keyed()) {
            earlier += keyed->earlier_steps();
            later += keyed->later_steps();
            report.duplicate_lines += keyed->duplicates();
        }
    }
    report.lines_back_in_time = earlier;
    if (earlier > 0 && later == 0) {
        report.notes.emplace_back("read newest first");
    } else if (earlier > 0) {
        report.notes.push_back(std::to_string(earlier) + (earlier == 1 ? " line" : " lines") +
                               " out of time order");
    }
    if (report.duplicate_lines > 0) {
        report.notes.push_back(std::to_string(report.duplicate_lines) + " duplicate " +
                               (report.duplicate_lines == 1 ? "line" : "lines") + " counted once");
    }
}

}  // namespace

std::error_code ReadingError(ReadingFault fault) {
    static const ReadingCategory category;
    return {static_cast<int>(fault), category};
}

JobReport RunBars(const LineSource& source, const Destination& destination,
                  const BarChoices& choices, const JobCallbacks& callbacks) {
    JobReport report;
    if (choices.period_minutes != 0 && !ValidBarMinutes(choices.period_minutes)) {
        report.status = JobStatus::Failure(destination.name(),
                                           std::make_error_code(std::errc::invalid_argument),
                                           "a bar length must divide a day");
        return report;
    }
    if (!ValidSessionOffset(choices.session_offset_minutes)) {
        report.status = JobStatus::Failure(destination.name(),
                                           std::make_error_code(std::errc::invalid_argument),
                                           "a session start must lie within a day");
        return report;
    }
    if (choices.decimals != DecimalsByMagnitude && choices.decimals != DecimalsAsInput &&
        (choices.decimals < 0 || choices.decimals > MaxPriceDecimals)) {
        report.status = JobStatus::Failure(destination.name(),
                                           std::make_error_code(std::errc::invalid_argument),
                                           "prices have 0 to 10 decimals");
        return report;
    }
    BarBlocks blocks(source, choices.block_bytes);
    if (report.status = blocks.Open(); !report.ok()) return report;
    const DateNames names(choices.names);

    // The first lines, for detection: a stop asked for before one of them
    // leaves the lines before it.
    std::vector<std::string_view> first = blocks.FirstLines(DetectFirstLines);
    if (!blocks.status().ok()) {
        report.status = blocks.status();
        return report;
    }
    StopCheck stop(callbacks.stop_requested);
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (stop.Before(static_cast<std::int64_t>(i))) {
            first.resize(i);
            break;
        }
    }
    JobReading input;
    if (report.status = ChooseLayouts(first, source.name(), choices, names, report, input);
        !report.ok()) {
        report.lines_read = static_cast<std::int64_t>(first.size());
        return report;
    }
    // The zones are checked on the first lines while they are held (the day
    // order does not change whether a time carries a zone).
    std::string zone_word;
    ZoneShift zones;
    if (report.status = ChooseZones(first, source.name(), choices, input.shape, names, report,
                                    zone_word, zones);
        !report.ok()) {
        return report;
    }
    if (!stop.stopped()) {
        if (report.status = SettleDayOrder(blocks, first, input, names, report); !report.ok()) {
            return report;
        }
    }
    first.clear();  // the blocks they were in may be gone
    const bool symbols = input.shape.HasSymbol();
    if (!symbols && (!choices.symbol.empty() || !choices.split_dir.empty())) {
        report.status =
            JobStatus::Failure(source.name(), ReadingError(ReadingFault::NoSymbol),
                               "the lines carry no symbol column (name it with --columns)");
        return report;
    }

    BarSettings settings{report.layouts->date, report.layouts->time, choices.period,
                         choices.delimiter};
    settings.period_minutes = choices.period_minutes;
    settings.session_offset_minutes = choices.session_offset_minutes;
    settings.prices = report.layouts->prices;
    settings.volume = choices.volume;
    settings.open_interest = choices.open_interest;
    settings.stamp = choices.stamp;
    settings.stamp_time = choices.stamp_time;
    settings.decimals = choices.decimals;
    BarReading reading = settings.Reading();
    reading.shape = &input.shape;
    ZoneTally zone_tally;
    reading.zones = zones;
    reading.zones.tally = &zone_tally;
    const std::size_t known_count = blocks.known_count();
    // The lines up to a header are no records: neither used nor skipped.
    const std::int64_t header_lines = input.shape.header_line;

    // Counts a line that does not read (index 0-based).
    const auto SkipLine = [&](std::int64_t index, std::string_view line) {
        if (index < header_lines) {
            ++report.header_lines;
            return;
        }
        if (report.WantsReason()) {
            // Parse the line once more for the words of its failure.
            ShortText reason;
            ParsedBarLine again;
            (void)ReadBarFields(settings.date_layout, settings.time_layout, reading, line, names,
                                again.date, again.bar, &reason);
            report.Skip(index + 1, reason);
        } else {
            report.Skip(index + 1, {});
        }
    };

    // Lines in time order are built as they come; when one goes back in time
    // the job starts again from the first line and builds bars by their keys.
    PassMode mode = choices.order == TimeOrder::Keep ? PassMode::Runs : PassMode::InOrder;
    if (mode == PassMode::InOrder) blocks.KeepForRewind();
    BarSinks::Options options;
    options.destination = destination;
    options.split_dir = choices.split_dir;
    options.symbol = choices.symbol;
    options.line_end = choices.line_end;
    options.header = choices.header;
    options.hold = mode == PassMode::InOrder;
    options.on_bar = choices.on_bar;
    const JobReport before = report;
    std::optional<BarSinks> sinks;
    std::int64_t went_back = 0;  // the line that went back in time (1-based), when one did
    bool many_symbols = false;   // more than one, and neither chosen nor split
    while (true) {
        sinks.emplace(settings, mode, options);
        many_symbols = false;
        went_back = 0;
        int shown = -1;
        JobStatus open_status;
        // Blocks are parsed on the pool's threads; the bars are built here,
        // from the lines in order, exactly as from lines parsed one by one.
        // Without a stop, progress or bar callback to serve line by line, the
        // bars inside each block are built with its parse.
        const bool build_inside = !callbacks.stop_requested &&
                                  !(callbacks.step && known_count > 0) && !choices.on_bar &&
                                  !symbols && mode != PassMode::Keyed;
        BarSink* sink = nullptr;  // of the line before, without a symbol column
        const auto take = [&](const BarBlock&, const ParsedBlock& block) {
            if (block.goes_back) {
                went_back = report.lines_read + static_cast<std::int64_t>(block.back_at) + 1;
                return false;
            }
            for (std::size_t i = 0; i < block.lines.size(); ++i) {
                if (i == block.inner_begin && block.inner_end > i) {
                    // The bars of the inner runs, built already: the open bar
                    // ends where they begin.
                    sink->AddBuilt(block.bar_text, block.bar_count);
                    if (mode == PassMode::InOrder) sink->order().ContinueAfter(block.inner_last);
                    report.duplicate_lines += block.inner_duplicates;
                    const std::int64_t first_index =
                        report.lines_read - static_cast<std::int64_t>(i);
                    for (const std::size_t failed : block.inner_failed) {
                        SkipLine(first_index + static_cast<std::int64_t>(failed),
                                 block.lines[failed]);
                    }
                    report.lines_used += block.inner_used;
                    report.lines_without_volume += block.inner_without_volume;
                    if (block.inner_out_of_order > 0) {
                        CountOutOfOrder(
                            report,
                            first_index + static_cast<std::int64_t>(block.first_inner_out_of_order),
                            block.inner_out_of_order);
                    }
                    report.lines_read += static_cast<std::int64_t>(block.inner_end - i);
                    i = block.inner_end;
                }
                const std::int64_t index = report.lines_read;
                if (stop.Before(index)) return false;
                if (callbacks.step && known_count > 0 && index % 100 == 0) {
                    const int percent =
                        known_count > 1
                            ? ScaleToRange(0, 100, 0, static_cast<double>(known_count - 1),
                                           static_cast<long double>(index))
                            : 0;
                    if (percent != shown) {
                        shown = percent;
                        callbacks.step(percent);
                    }
                }
                ++report.lines_read;
                const ParsedBarLine& parsed = block.parsed[i];
                if (!parsed.ok) {
                    SkipLine(index, block.lines[i]);
                    continue;
                }
                if (symbols) {
                    sinks->Count(parsed.symbol);
                    const auto& seen = sinks->symbols();
                    if (seen.size() > 1 && choices.symbol.empty() && choices.split_dir.empty()) {
                        many_symbols = true;  // read on only to name them all
                    }
                    if (many_symbols) continue;
                    sink = sinks->For(parsed.symbol, open_status);
                    if (!open_status) return false;
                    if (sink == nullptr) continue;  // another symbol than the one chosen
                } else if (sink == nullptr) {
                    sink = sinks->For({}, open_status);
                    if (!open_status) return false;
                }
                ++report.lines_used;
                if (reading.volume && IsMissing(parsed.bar.volume)) ++report.lines_without_volume;
                if (parsed.bar.out_of_order) CountOutOfOrder(report, index, 1);
                if (mode == PassMode::InOrder) {
                    const LineOrder::Step step = sink->order().Add(parsed);
                    if (step == LineOrder::Step::Earlier) {
                        went_back = index + 1;
                        return false;
                    }
                    if (step == LineOrder::Step::Duplicate) {
                        ++report.duplicate_lines;
                        sink->AddRepeat(parsed);
                        continue;
                    }
                }
                sink->Add(parsed);
            }
            return sink == nullptr || sink->status().ok();
        };
        {
            OrderedPool<BarBlock, ParsedBlock> pool(
                PoolThreads(choices.threads), [&](BarBlock& block, ParsedBlock& result) {
                    blocks.Parse(block, settings, reading, names, result);
                    if (build_inside) {
                        BuildInnerBars(settings, reading, mode == PassMode::InOrder, result);
                    } else {
                        result.inner_begin = result.inner_end = 0;
                        result.goes_back = false;
                    }
                });
            pool.Run([&blocks](BarBlock& block) { return blocks.Next(block); }, take);
        }
        if (!open_status) {
            report.status = open_status;
            return report;
        }
        if (went_back == 0 || mode != PassMode::InOrder || stop.stopped()) break;
        // A line went back in time: read it all again, by keys.
        if (!sinks->can_restart() || !blocks.Rewind()) {
            if (!blocks.status().ok()) {
                report.status = blocks.status();
                return report;
            }
            report.status = JobStatus::Failure(
                source.name(), ReadingError(ReadingFault::BackInTime),
                "line " + std::to_string(went_back) + " goes back in time, and " +
                    (sinks->can_restart() ? std::string("the input cannot be read again")
                                          : std::string("bars went to standard output already")));
            return report;
        }
        sinks.reset();
        report = before;
        stop.Restart();
        mode = PassMode::Keyed;
    }
    if (many_symbols) {
        report.reading->symbols = sinks->symbols();
        report.status = JobStatus::Failure(source.name(), ReadingError(ReadingFault::ManySymbols),
                                           SymbolsText(sinks->symbols()));
        return report;
    }
    if (symbols) report.reading->symbols = sinks->symbols();
    if (zone_tally.repeated() > 0) {
        report.notes.push_back(RepeatedHourNote(zone_tally.repeated(), *zones.in));
    }
    report.stopped = stop.stopped();
    if (!report.stopped && !blocks.status().ok()) {
        report.status = blocks.status();
        return report;
    }
    if (choices.strict && (report.lines_skipped > 0 || report.lines_out_of_order > 0)) {
        report.status = JobStatus::Failure(source.name(), ReadingError(ReadingFault::Strict),
                                           StrictFailureText(report));
        return report;
    }
    if (!choices.symbol.empty() && sinks->all().empty()) {
        report.status = JobStatus::Failure(
            source.name(), ReadingError(ReadingFault::NoSymbol),
            "no line of symbol " + choices.symbol + " (" + SymbolsText(sinks->symbols()) + ")");
        return report;
    }
    // Lines read and none of them a bar: nothing is written, an existing
    // file stays as it was.
    if (!report.stopped && report.lines_read > 0 && report.lines_used == 0) {
        report.status =
            JobStatus::Failure(source.name(), NoLineUsedError(), std::string(NothingWritten));
        return report;
    }
    if (sinks->all().empty() && choices.split_dir.empty()) {
        // No line at all: the destination gets what an empty job writes.
        JobStatus ignored;
        (void)sinks->For({}, ignored);
    }
    report.status = sinks->CommitAll(report.stopped);
    report.bars_written = sinks->bars_written();
    report.lines_written =
        report.bars_written + (choices.header ? static_cast<std::int64_t>(sinks->all().size()) : 0);
    NoteTimeOrder(*sinks, report);
    if (report.ok() && !report.stopped && callbacks.step) callbacks.step(100);
    return report;
}

JobReport RunDetect(const LineSource& source, const BarChoices& choices) {
    JobReport report;
    BarBlocks blocks(source, choices.block_bytes);
    if (report.status = blocks.Open(); !report.ok()) return report;
    const std::vector<std::string_view> first = blocks.FirstLines(DetectFirstLines);
    report.lines_read = static_cast<std::int64_t>(first.size());
    if (report.status = blocks.status(); !report.ok()) return report;
    const DateNames names(choices.names);
    JobReading input;
    report.status = ChooseLayouts(first, source.name(), choices, names, report, input);
    std::string zone_word;
    ZoneShift zones;
    if (report.ok()) {
        report.status = ChooseZones(first, source.name(), choices, input.shape, names, report,
                                    zone_word, zones);
    }
    if (report.ok()) report.status = SettleDayOrder(blocks, first, input, names, report);
    if (report.ok() && input.shape.HasSymbol()) {
        // The symbols of every line, and how many lines each has.
        // The blocks read so far are handed out first.
        BarSinks counts(BarSettings{}, PassMode::Runs, {});
        std::int64_t number = 0;
        for (BarBlock block; blocks.Next(block);) {
            const auto count = [&](std::string_view line) {
                if (++number <= input.shape.header_line) return;
                std::string_view symbol;
                (void)ShapeLine(line, input.shape, &symbol);
                if (!symbol.empty()) counts.Count(symbol);
            };
            if (const LineList* list = source.lines()) {
                for (std::size_t i = block.first; i < block.last; ++i) count(list->Line(i));
            } else {
                ForEachListLine(block.text, [&](std::size_t offset, std::size_t length) {
                    count(std::string_view(block.text).substr(offset, length));
                });
            }
        }
        if (report.status = blocks.status(); !report.ok()) return report;
        report.reading->symbols = counts.symbols();
        report.lines_read = number;
    }
    return report;
}

}  // namespace varn
