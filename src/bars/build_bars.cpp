#include "bars/build_bars.h"

#include <algorithm>
#include <deque>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

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

// The lines of one block: bytes of whole lines read from a file, or a run of
// lines in memory.
struct BarBlock {
    std::string text;
    std::size_t first = 0;  // lines in memory: [first, last)
    std::size_t last = 0;
};

// A block's lines and what each parsed to.
struct ParsedBlock {
    std::vector<std::string_view> lines;
    std::vector<ParsedBarLine> parsed;
    // When the block's bars are built where it is parsed: the bars of the
    // runs of equal keys that begin and end inside the block, lines
    // [inner_begin, inner_end), and those lines' counts. The first run may
    // continue the previous block's bar and the last one the next block's:
    // their lines are built in order with the rest.
    std::size_t inner_begin = 0;
    std::size_t inner_end = 0;
    std::string bar_text;  // the bar lines, each ended by CR LF
    std::int64_t bar_count = 0;
    std::int64_t inner_used = 0;
    std::int64_t inner_without_volume = 0;
    std::int64_t inner_out_of_order = 0;
    std::size_t first_inner_out_of_order = 0;  // index in the block, when inner_out_of_order
    std::vector<std::size_t> inner_failed;     // the lines that do not read
};

// Finds the runs of equal keys that begin and end inside block and builds
// their bars: everything after the first run and before the last.
void BuildInnerBars(const BarSettings& settings, const BarReading& reading, ParsedBlock& block) {
    const std::vector<ParsedBarLine>& parsed = block.parsed;
    const std::size_t n = parsed.size();
    block.inner_begin = block.inner_end = 0;
    block.bar_text.clear();
    block.bar_count = 0;
    block.inner_used = block.inner_without_volume = block.inner_out_of_order = 0;
    block.inner_failed.clear();
    std::size_t first = 0;
    while (first < n && !parsed[first].ok) ++first;
    if (first == n) return;
    // The first line of the second run.
    std::size_t begin = first + 1;
    while (begin < n && (!parsed[begin].ok || parsed[begin].bar.key == parsed[first].bar.key)) {
        ++begin;
    }
    if (begin == n) return;
    // The first line of the last run.
    std::size_t last = n;
    while (!parsed[last - 1].ok) --last;
    const std::int32_t last_key = parsed[last - 1].bar.key;
    std::size_t end = last - 1;
    for (std::size_t i = end; i-- > begin;) {
        if (!parsed[i].ok) continue;
        if (parsed[i].bar.key != last_key) break;
        end = i;
    }
    if (end <= begin) return;
    BarBuilder builder(settings, [&block](std::string_view bar) {
        block.bar_text.append(bar).append("\r\n");
        ++block.bar_count;
    });
    for (std::size_t i = begin; i < end; ++i) {
        if (parsed[i].ok) {
            ++block.inner_used;
            if (reading.volume && IsMissing(parsed[i].bar.volume)) ++block.inner_without_volume;
            if (parsed[i].bar.out_of_order && block.inner_out_of_order++ == 0) {
                block.first_inner_out_of_order = i;
            }
        } else {
            block.inner_failed.push_back(i);
        }
        builder.AddParsed(parsed[i]);
    }
    builder.Finish();
    block.inner_begin = begin;
    block.inner_end = end;
}

// The input of a bar job: blocks from a file or standard input, or runs of
// lines in memory. The first blocks are read before the job starts, for the
// lines that detection looks at; they are handed out again first.
class BarBlocks {
  public:
    BarBlocks(const LineSource& source, std::size_t block_bytes)
        : source_(source),
          list_(source.kind() == LineSource::Kind::Lines ? source.lines() : nullptr),
          block_bytes_(block_bytes) {}

    JobStatus Open() {
        if (list_ != nullptr) return JobStatus::Ok();
        reader_ = std::make_unique<BlockReader>();
        return reader_->Open(source_, LineRules::List, block_bytes_);
    }

    // Up to count first lines of the input, which stay valid during the job.
    std::vector<std::string_view> FirstLines(std::size_t count) {
        std::vector<std::string_view> lines;
        if (list_ != nullptr) {
            for (std::size_t i = 0; i < std::min(count, list_->Count()); ++i) {
                lines.push_back(list_->Line(i));
            }
            return lines;
        }
        std::string text;
        while (lines.size() < count && reader_->Next(text)) {
            // A deque keeps its strings in place, and so their bytes.
            const std::string_view block = early_.emplace_back(std::move(text));
            ForEachListLine(block, [&](std::size_t offset, std::size_t length) {
                if (lines.size() < count) lines.push_back(block.substr(offset, length));
            });
        }
        return lines;
    }

    bool Next(BarBlock& block) {
        if (list_ != nullptr) {
            return NextListedRun(*list_, next_listed_, block_bytes_, block.first, block.last);
        }
        if (!early_.empty()) {
            block.text = std::move(early_.front());
            early_.pop_front();
            return true;
        }
        return reader_->Next(block.text);
    }

    // Hands the lines after the first `from` to check until it decides or the
    // input ends. The blocks read stay to be handed out, up to a bound; past
    // it a file is read on and opened again afterwards, standard input is
    // left undecided. False on a read error.
    bool ReadOn(DayOrderCheck& check, std::size_t from) {
        if (list_ != nullptr) {
            for (std::size_t i = from; i < list_->Count(); ++i) {
                if (check.Feed(list_->Line(i), static_cast<std::int64_t>(i) + 1)) break;
            }
            return true;
        }
        std::size_t seen = 0;  // lines of the blocks held
        std::size_t kept = 0;  // their bytes
        for (const std::string& block : early_) {
            kept += block.size();
            bool decided = false;
            ForEachListLine(block, [&](std::size_t offset, std::size_t length) {
                if (!decided && seen++ >= from) {
                    decided =
                        check.Feed(block.substr(offset, length), static_cast<std::int64_t>(seen));
                }
            });
            if (decided) return true;
        }
        bool dropped = false;
        std::string text;
        while (!check.decided()) {
            if (!reader_->Next(text)) {
                if (!reader_->status().ok()) return false;
                break;
            }
            bool decided = false;
            ForEachListLine(text, [&](std::size_t offset, std::size_t length) {
                ++seen;
                if (!decided) {
                    decided = check.Feed(std::string_view(text).substr(offset, length),
                                         static_cast<std::int64_t>(seen));
                }
            });
            if (dropped) continue;
            kept += text.size();
            early_.push_back(std::move(text));
            if (kept > kReadOnBytes) {
                if (source_.kind() != LineSource::Kind::File) break;
                early_.clear();
                dropped = true;
            }
        }
        if (dropped) {
            // Read from the start once more.
            return Open().ok();
        }
        return true;
    }

    // Splits and parses one block (on any thread).
    void Parse(const BarBlock& block, const BarSettings& settings, const BarReading& reading,
               const DateNames& names, ParsedBlock& result) const {
        result.lines.clear();
        if (list_ != nullptr) {
            for (std::size_t i = block.first; i < block.last; ++i) {
                result.lines.push_back(list_->Line(i));
            }
        } else {
            const std::string_view text = block.text;
            ForEachListLine(text, [&](std::size_t offset, std::size_t length) {
                result.lines.push_back(text.substr(offset, length));
            });
        }
        result.parsed.resize(result.lines.size());
        ParseBarLines(result.lines, settings.date_layout, settings.time_layout, reading, names,
                      result.parsed);
    }

    const JobStatus& status() const { return list_ != nullptr ? ok_ : reader_->status(); }
    std::size_t known_count() const { return list_ != nullptr ? list_->Count() : 0; }

  private:
    // The bytes held while later lines decide the day order.
    static constexpr std::size_t kReadOnBytes = std::size_t{16} << 20;

    const LineSource& source_;
    const LineList* list_;
    std::size_t block_bytes_;
    std::unique_ptr<BlockReader> reader_;
    std::deque<std::string> early_;  // blocks read for detection, not yet handed out
    std::size_t next_listed_ = 0;
    JobStatus ok_;
};

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
        if (fault == static_cast<int>(ReadingFault::Strict)) {
            return "--strict refuses it; nothing written";
        }
        return "a file of several symbols is not read; nothing written";
    }
};

// Counts lines whose prices are out of order, the first at index (0-based).
void CountOutOfOrder(JobReport& report, std::int64_t index, std::int64_t count) {
    if (report.lines_out_of_order == 0) report.first_out_of_order = index + 1;
    report.lines_out_of_order += count;
}

// Asks before each line whether the job should stop, once per line.
class StopCheck {
  public:
    explicit StopCheck(const std::function<bool()>& stop_requested) : stop_(stop_requested) {}
    // Whether the job stops before line `index` (0-based).
    bool Before(std::int64_t index) {
        if (index < asked_) return false;  // asked for already, not stopped at
        if (stopped_ || !stop_) return stopped_;
        stopped_ = stop_();
        if (!stopped_) asked_ = index + 1;
        return stopped_;
    }
    bool stopped() const { return stopped_; }

  private:
    const std::function<bool()>& stop_;
    std::int64_t asked_ = 0;  // lines asked for and not stopped at
    bool stopped_ = false;
};

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
    LineOutput output;
    if (report.status = output.Open(destination); !report.ok()) return report;
    output.SetLineEnd(choices.line_end);

    BarSettings settings{report.layouts->date, report.layouts->time, choices.period,
                         choices.delimiter};
    settings.period_minutes = choices.period_minutes;
    settings.session_offset_minutes = choices.session_offset_minutes;
    settings.prices = report.layouts->prices;
    settings.volume = choices.volume;
    settings.open_interest = choices.open_interest;
    settings.stamp = choices.stamp;
    if (choices.header) output.WriteLine(BarHeader(settings));
    const std::int64_t written_header = choices.header ? 1 : 0;
    BarBuilder builder(
        settings, [&output](std::string_view bar) { output.WriteLine(bar); }, choices.on_bar);
    BarReading reading = settings.Reading();
    reading.shape = &input.shape;
    ZoneTally zone_tally;
    reading.zones = zones;
    reading.zones.tally = &zone_tally;
    const std::size_t known_count = blocks.known_count();
    int shown = -1;
    // The lines up to a header are no records: neither used nor skipped.
    const std::int64_t header_lines = input.shape.header_line;
    // The lines' symbols: a file of one symbol reads, more are refused.
    const bool symbols = input.shape.HasSymbol();
    std::vector<std::string>& seen_symbols = report.reading->symbols;

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

    // Blocks are parsed on the pool's threads; the bars are built here, from
    // the lines in order, exactly as from lines parsed one by one.
    // Without a stop, progress or bar callback to serve line by line, the
    // bars inside each block are built with its parse.
    const bool build_inside = !callbacks.stop_requested && !(callbacks.step && known_count > 0) &&
                              !choices.on_bar && !symbols;
    const auto take = [&](const BarBlock&, const ParsedBlock& block) {
        for (std::size_t i = 0; i < block.lines.size(); ++i) {
            if (i == block.inner_begin && block.inner_end > i) {
                // The bars of the inner runs, built already: the open bar ends
                // where they begin.
                builder.Finish();
                output.WriteEndedLines(block.bar_text, block.bar_count);
                const std::int64_t first_index = report.lines_read - static_cast<std::int64_t>(i);
                for (const std::size_t failed : block.inner_failed) {
                    SkipLine(first_index + static_cast<std::int64_t>(failed), block.lines[failed]);
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
                    known_count > 1 ? ScaleToRange(0, 100, 0, static_cast<double>(known_count - 1),
                                                   static_cast<long double>(index))
                                    : 0;
                if (percent != shown) {
                    shown = percent;
                    callbacks.step(percent);
                }
            }
            ++report.lines_read;
            const ParsedBarLine& parsed = block.parsed[i];
            if (parsed.ok && symbols &&
                (seen_symbols.empty() || parsed.symbol != seen_symbols.front())) {
                seen_symbols.push_back(parsed.symbol);
                if (seen_symbols.size() > 1) return false;
            }
            if (parsed.ok) {
                ++report.lines_used;
                if (reading.volume && IsMissing(parsed.bar.volume)) ++report.lines_without_volume;
                if (parsed.bar.out_of_order) CountOutOfOrder(report, index, 1);
            } else {
                SkipLine(index, block.lines[i]);
            }
            builder.AddParsed(parsed);
        }
        return output.status().ok();
    };
    {
        OrderedPool<BarBlock, ParsedBlock> pool(
            PoolThreads(choices.threads), [&](BarBlock& block, ParsedBlock& result) {
                blocks.Parse(block, settings, reading, names, result);
                if (build_inside) {
                    BuildInnerBars(settings, reading, result);
                } else {
                    result.inner_begin = result.inner_end = 0;
                }
            });
        pool.Run([&blocks](BarBlock& block) { return blocks.Next(block); }, take);
    }
    if (seen_symbols.size() > 1) {
        report.status =
            JobStatus::Failure(source.name(), ReadingError(ReadingFault::ManySymbols),
                               "symbols " + seen_symbols[0] + " and " + seen_symbols[1] +
                                   " (line " + std::to_string(report.lines_read + 1) + ")");
        return report;
    }
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
    if (!report.stopped) builder.Finish();  // a stop drops the open bar
    report.lines_written = output.lines_written();
    report.bars_written = std::max<std::int64_t>(0, report.lines_written - written_header);
    // Lines read and none of them a bar: nothing is written, an existing
    // file stays as it was.
    if (!report.stopped && report.lines_read > 0 && report.lines_used == 0) {
        report.status =
            JobStatus::Failure(source.name(), NoLineUsedError(), std::string(NothingWritten));
        return report;
    }
    report.status = output.Commit();
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
    return report;
}

}  // namespace varn
