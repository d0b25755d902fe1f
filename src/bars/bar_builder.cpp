#include "bars/bar_builder.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "text/quantity.h"
#include "text/text_helpers.h"

namespace varn {

std::string_view DelimiterText(Delimiter delimiter) {
    switch (delimiter) {
        case Delimiter::Comma:
            return ", ";
        case Delimiter::Tab:
            return "\t";
        case Delimiter::Csv:
            return ",";
        case Delimiter::Space:
            break;
    }
    return " ";
}

std::optional<int> ReadPriceDecimals(std::string_view text) {
    if (text == "input") return DecimalsAsInput;
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || text.size() > 2 || count < 0 ||
        count > MaxPriceDecimals) {
        return std::nullopt;
    }
    return count;
}

BarReading BarSettings::Reading() const {
    BarReading reading;
    reading.span = BarSpan{period, period_minutes, session_offset_minutes};
    reading.form = prices == PriceForm::Single ? PriceForm::Single : PriceForm::Ohlc;
    reading.volume = volume;
    reading.open_interest = open_interest && reading.form == PriceForm::Ohlc;
    reading.count_decimals = decimals == DecimalsAsInput;
    return reading;
}

std::string BarHeader(const BarSettings& settings) {
    const std::string_view d = DelimiterText(settings.delimiter);
    const bool timed_classic =
        settings.stamp == StampStyle::Classic && settings.time_layout != TimeLayout::NotIndicated;
    std::string header = timed_classic ? "date time" : "date";
    for (const char* name : {"open", "high", "low", "close"}) header.append(d).append(name);
    if (settings.volume) header.append(d).append("volume");
    if (settings.open_interest) header.append(d).append("open_interest");
    return header;
}

BarWriter::BarWriter(const BarSettings& settings, Sink sink, BarCallback on_bar)
    : settings_(settings),
      span_(settings.Reading().span),
      delimiter_(DelimiterText(settings.delimiter)),
      sink_(std::move(sink)),
      on_bar_(std::move(on_bar)) {}

void BarWriter::Write(const BarValues& bar) {
    const std::string& d = delimiter_;
    if (settings_.stamp_time == StampTime::Last) {
        text_.assign(BarStamp(bar.last_date, settings_.time_layout, settings_.stamp));
    } else {
        const bool timed = settings_.time_layout != TimeLayout::NotIndicated;
        text_.assign(BarStamp(BarStampMoment(span_, bar.last_date, settings_.stamp_time, timed),
                              settings_.time_layout, settings_.stamp));
    }
    const std::size_t stamp_length = text_.size();
    if (settings_.decimals == DecimalsByMagnitude) {
        text_.append(d).append(FormatPrice(bar.open));
        text_.append(d).append(FormatPrice(bar.high));
        text_.append(d).append(FormatPrice(bar.low));
        text_.append(d).append(FormatPrice(bar.close));
    } else {
        const int decimals =
            settings_.decimals == DecimalsAsInput ? bar.decimals : settings_.decimals;
        for (const double price : {bar.open, bar.high, bar.low, bar.close}) {
            AppendFixedPrice(text_.append(d), price, decimals);
        }
    }
    if (settings_.volume) AppendQuantity(text_.append(d), bar.volume);
    if (settings_.open_interest) AppendQuantity(text_.append(d), bar.open_interest);
    sink_(text_);
    if (on_bar_) {
        BuiltBar built;
        built.line = text_;
        built.stamp = built.line.substr(0, stamp_length);
        built.date = bar.last_date;
        built.open = bar.open;
        built.high = bar.high;
        built.low = bar.low;
        built.close = bar.close;
        built.volume = settings_.volume ? bar.volume : 0;
        built.open_interest = settings_.open_interest ? bar.open_interest : 0;
        on_bar_(built);
    }
}

BarBuilder::BarBuilder(BarSettings settings, Sink sink, BarCallback on_bar)
    : settings_(settings),
      writer_(settings, std::move(sink), std::move(on_bar)),
      count_decimals_(settings.decimals == DecimalsAsInput) {}

void BarBuilder::AddParsed(const ParsedBarLine& line) {
    if (!line.ok) return;  // a line that does not parse takes no part
    const BarLine& bar = line.bar;
    if (open_ && bar.key != key_) Finish();
    if (!open_) {
        open_ = true;
        key_ = bar.key;
        bar_.open = bar.open;
        bar_.high = bar.high;
        bar_.low = bar.low;
        bar_.volume = 0;
        bar_.open_interest = 0;
        bar_.decimals = bar.decimals;
    } else {
        bar_.high = std::max(bar_.high, bar.high);
        bar_.low = std::min(bar_.low, bar.low);
        if (count_decimals_) bar_.decimals = std::max<int>(bar_.decimals, bar.decimals);
    }
    bar_.close = bar.close;
    // A line without the number adds nothing.
    if (settings_.volume && !IsMissing(bar.volume)) bar_.volume += bar.volume;
    if (settings_.open_interest && !IsMissing(bar.open_interest)) {
        bar_.open_interest = bar.open_interest;
    }
    // The stamp is written only for a bar's last line: keep its date.
    bar_.last_date = line.date;
}

void BarBuilder::AddRepeat(const ParsedBarLine& line) {
    if (open_ && count_decimals_) bar_.decimals = std::max<int>(bar_.decimals, line.bar.decimals);
}

void BarBuilder::Finish() {
    if (!open_) return;
    open_ = false;
    writer_.Write(bar_);
}

void KeyedBars::Add(const ParsedBarLine& line) {
    const BarLine& read = line.bar;
    const Moment moment = MomentOf(line);
    if (any_) {
        if (moment < last_moment_) ++earlier_steps_;
        if (last_moment_ < moment) ++later_steps_;
    }
    any_ = true;
    last_moment_ = moment;
    if (last_bar_ == nullptr || read.key != last_key_) {
        const auto [at, added] = bars_.try_emplace(read.key);
        last_bar_ = &at->second;
        last_key_ = read.key;
        if (added) {
            Bar& bar = at->second;
            bar.values.open = read.open;
            bar.values.high = read.high;
            bar.values.low = read.low;
            bar.values.close = read.close;
            bar.values.last_date = line.date;
            bar.values.decimals = read.decimals;
            bar.open_at = bar.close_at = moment;
            if (settings_.open_interest && !IsMissing(read.open_interest)) {
                bar.values.open_interest = read.open_interest;
                bar.interest_at = moment;
                bar.has_interest = true;
            }
            Mark(bar, line, moment);
            return;
        }
    }
    Bar& bar = *last_bar_;
    BarValues& values = bar.values;
    values.high = std::max(values.high, read.high);
    values.low = std::min(values.low, read.low);
    // Of every line, a repeat's too: as the sorted lines would give it.
    values.decimals = std::max<int>(values.decimals, read.decimals);
    // The earliest line opens, the first of several at that moment; the
    // latest closes, the last of several.
    if (moment < bar.open_at) {
        bar.open_at = moment;
        values.open = read.open;
    }
    if (!(moment < bar.close_at)) {
        bar.close_at = moment;
        values.close = read.close;
        values.last_date = line.date;
    }
    if (settings_.open_interest && !IsMissing(read.open_interest) &&
        (!bar.has_interest || !(moment < bar.interest_at))) {
        values.open_interest = read.open_interest;
        bar.interest_at = moment;
        bar.has_interest = true;
    }
    Mark(bar, line, moment);
}

void KeyedBars::Mark(Bar& bar, const ParsedBarLine& line, const Moment& moment) {
    const std::uint64_t signature = LineSignature(line);
    if (!settings_.volume) {
        bar.signatures.push_back(signature);
        return;
    }
    const double volume = IsMissing(line.bar.volume) ? 0 : line.bar.volume;
    bar.marks.push_back({moment, signature, volume});
}

void KeyedBars::WriteAll(BarWriter& writer, bool drop_last) {
    duplicates_ = 0;
    std::vector<std::pair<std::int32_t, Bar*>> in_order;
    in_order.reserve(bars_.size());
    for (auto& [key, bar] : bars_) in_order.emplace_back(key, &bar);
    std::sort(in_order.begin(), in_order.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, bar_at] : in_order) {
        Bar& bar = *bar_at;
        // A repeat of a line adds nothing.
        std::sort(bar.signatures.begin(), bar.signatures.end());
        duplicates_ +=
            bar.signatures.end() - std::unique(bar.signatures.begin(), bar.signatures.end());
        // Volumes in time order, as the same lines sorted would sum them.
        std::stable_sort(bar.marks.begin(), bar.marks.end(),
                         [](const LineMark& a, const LineMark& b) { return a.at < b.at; });
        LineOrder order;
        bar.values.volume = 0;
        for (const LineMark& mark : bar.marks) {
            if (order.AddSigned(mark.at, mark.signature) == LineOrder::Step::Duplicate) {
                ++duplicates_;
            } else {
                bar.values.volume += mark.volume;
            }
        }
        if (drop_last && &bar == last_bar_) continue;
        writer.Write(bar.values);
    }
}

}  // namespace varn
