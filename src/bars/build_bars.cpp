#include "bars/build_bars.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "bars/detect.h"
#include "bars/parse_batch.h"
#include "calendar/calendar.h"
#include "io/line_input.h"
#include "io/line_output.h"
#include "text/quantity.h"
#include "text/text_helpers.h"

namespace varn {

std::string_view DelimiterText(Delimiter delimiter) {
    return delimiter == Delimiter::Comma ? ", " : " ";
}

BarReading BarSettings::Reading() const {
    BarReading reading;
    reading.span = BarSpan{period, period_minutes, session_offset_minutes};
    reading.form = prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    reading.volume = volume;
    reading.open_interest = open_interest && reading.form == PriceForm::Ohlc;
    return reading;
}

std::string BarHeader(const BarSettings& settings) {
    const std::string_view d = DelimiterText(settings.delimiter);
    std::string header = "date";
    for (const char* name : {"open", "high", "low", "close"}) header.append(d).append(name);
    if (settings.volume) header.append(d).append("volume");
    if (settings.open_interest) header.append(d).append("open_interest");
    return header;
}

BarBuilder::BarBuilder(BarSettings settings, Sink sink, BarCallback on_bar)
    : settings_(settings),
      delimiter_(DelimiterText(settings.delimiter)),
      sink_(std::move(sink)),
      on_bar_(std::move(on_bar)) {}

void BarBuilder::AddParsed(const ParsedBarLine& line) {
    if (!line.ok) return;  // a line that does not parse takes no part
    const BarLine& bar = line.bar;
    if (open_ && bar.key != key_) Emit();
    if (!open_) {
        open_ = true;
        key_ = bar.key;
        open_price_ = bar.open;
        high_ = bar.high;
        low_ = bar.low;
        volume_ = 0;
        open_interest_ = 0;
    } else {
        high_ = std::max(high_, bar.high);
        low_ = std::min(low_, bar.low);
    }
    close_ = bar.close;
    // NoValue marks a line without the number: it adds nothing.
    if (settings_.volume && bar.volume != NoValue) volume_ += bar.volume;
    if (settings_.open_interest && bar.open_interest != NoValue) {
        open_interest_ = bar.open_interest;
    }
    // The stamp is written only for a bar's last line: keep its date.
    last_date_ = line.date;
}

void BarBuilder::Finish() {
    if (open_) Emit();
}

void BarBuilder::Emit() {
    const std::string& d = delimiter_;
    text_.assign(BarStamp(last_date_, settings_.time_layout, settings_.stamp));
    const std::size_t stamp_length = text_.size();
    text_.append(d).append(FormatPrice(open_price_));
    text_.append(d).append(FormatPrice(high_));
    text_.append(d).append(FormatPrice(low_));
    text_.append(d).append(FormatPrice(close_));
    if (settings_.volume) AppendQuantity(text_.append(d), volume_);
    if (settings_.open_interest) AppendQuantity(text_.append(d), open_interest_);
    open_ = false;
    sink_(text_);
    if (on_bar_) {
        BuiltBar bar;
        bar.line = text_;
        bar.stamp = bar.line.substr(0, stamp_length);
        bar.date = last_date_;
        bar.open = open_price_;
        bar.high = high_;
        bar.low = low_;
        bar.close = close_;
        bar.volume = settings_.volume ? volume_ : 0;
        bar.open_interest = settings_.open_interest ? open_interest_ : 0;
        on_bar_(bar);
    }
}

namespace {

// Lines of the input gathered for parsing together. Lines that do not stay
// valid past the next read are copied into one block.
class Batch {
  public:
    // Takes the next line; the views of earlier lines stay valid.
    void Add(std::string_view line, bool stays) {
        if (stays) {
            views_.push_back(line);
            ends_.push_back(kInPlace);
            return;
        }
        text_.append(line);
        views_.emplace_back();
        ends_.push_back(text_.size());
    }
    // The lines, once all are added (the block no longer moves).
    std::span<const std::string_view> Lines() {
        std::size_t begin = 0;
        for (std::size_t i = 0; i < views_.size(); ++i) {
            if (ends_[i] == kInPlace) continue;
            views_[i] = std::string_view(text_).substr(begin, ends_[i] - begin);
            begin = ends_[i];
        }
        return views_;
    }
    std::size_t size() const { return views_.size(); }
    void Clear() {
        text_.clear();
        views_.clear();
        ends_.clear();
    }

  private:
    static constexpr std::size_t kInPlace = static_cast<std::size_t>(-1);
    std::string text_;
    std::vector<std::string_view> views_;
    std::vector<std::size_t> ends_;
};

// Reads the first lines that detection looks at, keeping them for the build.
void ReadFirstLines(LineInput& input, Batch& batch) {
    std::string_view line;
    while (batch.size() < static_cast<std::size_t>(DetectLineCount) + 1 && input.Next(line)) {
        batch.Add(line, input.lines_stay());
    }
}

// The layouts of the job: as chosen, or detected from the first lines.
JobStatus ChooseLayouts(Batch& first, const LineInput& input, const BarChoices& choices,
                        const DateNames& names, JobReport& report) {
    if (choices.date_layout && choices.time_layout) {
        // Nothing is detected, so Auto reads four prices.
        const PriceForm form =
            choices.prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
        report.layouts = UsedLayouts{*choices.date_layout, *choices.time_layout, false, form};
        return JobStatus::Ok();
    }
    const Detection detection = DetectInputLayouts(first.Lines(), names, choices.date_layout,
                                                   choices.time_layout, choices.prices);
    if (!detection.detected()) {
        if (detection.outcome == Detection::Outcome::NoFit) {
            // The pair that came nearest, not used.
            report.layouts = UsedLayouts{detection.pair.date_layout, detection.pair.time_layout,
                                         false, PriceForm::Ohlc};
            report.fitting_lines = detection.fitting_lines;
        }
        return JobStatus::Failure(input.name(), DetectionError(detection.outcome),
                                  "cannot detect the date and time layouts");
    }
    report.layouts =
        UsedLayouts{detection.pair.date_layout, detection.pair.time_layout, true, detection.form};
    report.fitting_lines = detection.fitting_lines;
    return JobStatus::Ok();
}

// Parses the batch, then builds its lines in order, counting and reporting.
// first_line is the 1-based number of the batch's first line.
void BuildBatch(Batch& batch, std::int64_t first_line, const BarSettings& settings,
                const DateNames& names, BarBuilder& builder, const JobCallbacks& callbacks,
                std::size_t known_count, int& shown, JobReport& report) {
    static thread_local std::vector<ParsedBarLine> parsed;
    const std::span<const std::string_view> lines = batch.Lines();
    parsed.resize(lines.size());
    const BarReading reading = settings.Reading();
    ParseBarLines(lines, settings.date_layout, settings.time_layout, reading, names, parsed);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto index = static_cast<std::size_t>(first_line - 1) + i;
        if (callbacks.step && known_count > 0 && index % 100 == 0) {
            const int percent = known_count > 1
                                    ? ScaleToRange(0, 100, 0, static_cast<double>(known_count - 1),
                                                   static_cast<long double>(index))
                                    : 0;
            if (percent != shown) {
                shown = percent;
                callbacks.step(percent);
            }
        }
        if (parsed[i].ok) {
            ++report.lines_used;
            if (reading.volume && parsed[i].bar.volume == NoValue) ++report.lines_without_volume;
        } else if (report.WantsReason()) {
            // Parse the line once more for the words of its failure.
            ShortText reason;
            ParsedBarLine again;
            (void)ReadBarFields(settings.date_layout, settings.time_layout, reading, lines[i],
                                names, again.date, again.bar, &reason);
            report.Skip(static_cast<std::int64_t>(index) + 1, reason);
        } else {
            report.Skip(static_cast<std::int64_t>(index) + 1, {});
        }
        builder.AddParsed(parsed[i]);
    }
}

}  // namespace

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
    LineInput input;
    if (report.status = input.Open(source, LineRules::List); !report.ok()) return report;
    input.SetStop(callbacks.stop_requested);
    const DateNames names(choices.names);

    Batch batch;
    ReadFirstLines(input, batch);
    if (!input.status().ok()) {
        report.status = input.status();
        return report;
    }
    if (report.status = ChooseLayouts(batch, input, choices, names, report); !report.ok()) {
        report.lines_read = input.line_number();
        return report;
    }
    LineOutput output;
    if (report.status = output.Open(destination); !report.ok()) return report;

    BarSettings settings{report.layouts->date, report.layouts->time, choices.period,
                         choices.delimiter};
    settings.period_minutes = choices.period_minutes;
    settings.session_offset_minutes = choices.session_offset_minutes;
    settings.prices = report.layouts->prices;
    settings.volume = choices.volume;
    settings.open_interest = choices.open_interest;
    settings.stamp = choices.stamp;
    if (choices.header) output.WriteLine(BarHeader(settings));
    const std::int64_t header_lines = choices.header ? 1 : 0;
    BarBuilder builder(
        settings, [&output](std::string_view bar) { output.WriteLine(bar); }, choices.on_bar);
    int shown = -1;
    std::int64_t batch_first = 1;
    std::string_view line;
    for (;;) {
        while (batch.size() < kBarBatchLines && input.Next(line)) {
            batch.Add(line, input.lines_stay());
        }
        if (batch.size() == 0) break;
        BuildBatch(batch, batch_first, settings, names, builder, callbacks, input.known_count(),
                   shown, report);
        batch_first += static_cast<std::int64_t>(batch.size());
        batch.Clear();
        if (!output.status().ok()) break;
    }
    report.lines_read = input.line_number();
    report.stopped = input.stopped();
    if (!input.status().ok()) {
        report.status = input.status();
        return report;
    }
    if (!report.stopped) builder.Finish();  // a stop drops the open bar
    report.lines_written = output.lines_written();
    report.bars_written = std::max<std::int64_t>(0, report.lines_written - header_lines);
    // Lines read and none of them a bar: nothing is written, an existing
    // file stays as it was.
    if (!report.stopped && report.lines_read > 0 && report.lines_used == 0) {
        report.status =
            JobStatus::Failure(input.name(), NoLineUsedError(), std::string(NothingWritten));
        return report;
    }
    report.status = output.Commit();
    if (report.ok() && !report.stopped && callbacks.step) callbacks.step(100);
    return report;
}

JobReport RunDetect(const LineSource& source, const BarChoices& choices) {
    JobReport report;
    LineInput input;
    if (report.status = input.Open(source, LineRules::List); !report.ok()) return report;
    Batch first;
    ReadFirstLines(input, first);
    report.lines_read = input.line_number();
    if (report.status = input.status(); !report.ok()) return report;
    report.status = ChooseLayouts(first, input, choices, DateNames(choices.names), report);
    return report;
}

}  // namespace varn
