#include "bars/build_bars.h"

#include <algorithm>
#include <utility>

#include "bars/parse_batch.h"
#include "calendar/calendar.h"
#include "io/atomic_file.h"
#include "io/line_reader.h"
#include "text/text_helpers.h"

namespace varn {

std::string_view DelimiterText(int delimiter_item) { return delimiter_item == 1 ? ", " : " "; }

BarBuilder::BarBuilder(BarSettings settings, const DateNames& names, Sink sink)
    : settings_(std::move(settings)), names_(names), sink_(std::move(sink)) {}

void BarBuilder::Add(std::string_view line) {
    ParsedBarLine parsed;
    parsed.ok = ParseBarPrices(settings_.date_layout, settings_.time_layout, settings_.period, line,
                               names_, parsed.date, parsed.bar);
    AddParsed(parsed);
}

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
    } else {
        high_ = std::max(high_, bar.high);
        low_ = std::min(low_, bar.low);
    }
    close_ = bar.close;
    // The stamp is written only for a bar's last line: keep its date.
    last_date_ = line.date;
}

void BarBuilder::Finish() {
    if (open_) Emit();
}

void BarBuilder::Emit() {
    const std::string& d = settings_.delimiter;
    text_.assign(BarStamp(last_date_, settings_.time_layout));
    text_.append(d).append(FormatPrice(open_price_));
    text_.append(d).append(FormatPrice(high_));
    text_.append(d).append(FormatPrice(low_));
    text_.append(d).append(FormatPrice(close_));
    open_ = false;
    sink_(text_);
}

std::vector<std::string> BuildBars(const BarInputLines& lines, const BarSettings& settings,
                                   const DateNames& names, const BarProgress& progress,
                                   bool* stopped) {
    std::vector<std::string> bars;
    BarBuilder builder(settings, names, [&bars](std::string_view bar) { bars.emplace_back(bar); });
    if (stopped != nullptr) *stopped = false;
    const std::size_t count = lines.Count();
    int shown = -1;
    std::vector<std::string_view> batch;
    std::vector<ParsedBarLine> parsed;
    std::size_t batch_begin = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == batch_begin + batch.size()) {
            // Parse the next lines ahead, together.
            batch_begin = i;
            batch.clear();
            for (std::size_t j = i; j < count && batch.size() < kBarBatchLines; ++j) {
                batch.push_back(lines.Line(j));
            }
            parsed.resize(batch.size());
            ParseBarLines(batch, settings.date_layout, settings.time_layout, settings.period,
                          builder.names(), parsed);
        }
        if (progress.step && i % 100 == 0) {
            const int percent = count > 1 ? ScaleToRange(0, 100, 0, static_cast<double>(count - 1),
                                                         static_cast<long double>(i))
                                          : 0;
            if (percent != shown) {
                shown = percent;
                progress.step(percent);
            }
        }
        if (progress.stop_requested && progress.stop_requested()) {
            if (stopped != nullptr) *stopped = true;
            return bars;  // the open bar is dropped
        }
        builder.AddParsed(parsed[i - batch_begin]);
    }
    builder.Finish();
    if (progress.step) progress.step(100);
    return bars;
}

JobStatus BuildBarsFile(const std::string& input, const std::string& output,
                        const BarSettings& settings, const DateNames& names) {
    LineReader reader;
    if (input == "-") {
        reader.OpenStandardInput(LineRules::List);
    } else if (JobStatus status = reader.Open(input, LineRules::List); !status) {
        return status;
    }
    AtomicFile writer;
    if (output == "-") {
        writer.OpenStandardOutput();
    } else if (JobStatus status = writer.Open(output); !status) {
        return status;
    }
    if (JobStatus status = BuildBarsStream({}, reader, writer, settings, names); !status) {
        return status;
    }
    return writer.Commit();
}

void ReadFirstLines(LineReader& reader, std::size_t count, std::vector<std::string>& lines) {
    lines.clear();
    std::string_view line;
    while (lines.size() < count && reader.Next(line)) lines.emplace_back(line);
}

JobStatus BuildBarsStream(const std::vector<std::string>& first, LineReader& reader,
                          AtomicFile& output, const BarSettings& settings, const DateNames& names) {
    BarBuilder builder(settings, names, [&output](std::string_view bar) { output.WriteLine(bar); });
    for (const std::string& line : first) builder.Add(line);
    // The rest in batches: copied (the reader's lines do not outlive the next
    // read), parsed together, then built in order.
    std::string text;
    std::vector<std::size_t> ends;
    std::vector<std::string_view> batch;
    std::vector<ParsedBarLine> parsed;
    std::string_view line;
    bool more = true;
    while (more) {
        text.clear();
        ends.clear();
        while (ends.size() < kBarBatchLines && (more = reader.Next(line))) {
            text.append(line);
            ends.push_back(text.size());
        }
        batch.clear();
        std::size_t begin = 0;
        for (const std::size_t end : ends) {
            batch.emplace_back(text.data() + begin, end - begin);
            begin = end;
        }
        parsed.resize(batch.size());
        ParseBarLines(batch, settings.date_layout, settings.time_layout, settings.period,
                      builder.names(), parsed);
        for (const ParsedBarLine& p : parsed) builder.AddParsed(p);
        if (!output.status().ok()) return output.status();
    }
    if (!reader.status().ok()) return reader.status();
    builder.Finish();
    return output.status();
}

}  // namespace varn
