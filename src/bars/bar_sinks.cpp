#include "bars/bar_sinks.h"

#include <filesystem>
#include <utility>

namespace varn {
namespace {

// Standard output held while the job may start again, at most.
constexpr std::size_t kHeldBytes = std::size_t{16} << 20;

bool IsNameByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
}

}  // namespace

std::string SymbolFileName(std::string_view symbol) {
    std::string name;
    for (const char c : symbol) name += IsNameByte(c) ? c : '_';
    if (name.empty() || name == "." || name == "..") name.insert(0, "_");
    return name;
}

BarSink::BarSink(const BarSettings& settings, PassMode mode, BarCallback on_bar)
    : settings_(settings) {
    const auto sink = [this](std::string_view bar) { WriteLine(bar); };
    if (mode == PassMode::Keyed) {
        keyed_ = std::make_unique<KeyedBars>(settings);
        keyed_writer_ = std::make_unique<BarWriter>(settings, sink, std::move(on_bar));
    } else {
        builder_ = std::make_unique<BarBuilder>(settings, sink, std::move(on_bar));
    }
}

JobStatus BarSink::Open(const Destination& destination, LineEnd line_end, bool header, bool hold) {
    name_ = destination.name();
    to_standard_output_ = destination.kind() == Destination::Kind::StandardOutput;
    held_ = hold && to_standard_output_;
    if (!held_) {
        if (JobStatus status = out_.Open(destination); !status) return status;
    }
    out_.SetLineEnd(line_end);
    line_end_ = line_end;
    if (header) {
        WriteLine(BarHeader(settings_));
        header_lines_ = 1;
    }
    return JobStatus::Ok();
}

void BarSink::WriteLine(std::string_view line) {
    ++lines_;
    if (!held_) {
        out_.WriteLine(line);
        return;
    }
    held_lines_.emplace_back(line);
    held_bytes_ += line.size();
    if (held_bytes_ > kHeldBytes) Release();
}

void BarSink::Release() {
    if (!held_) return;
    held_ = false;
    (void)out_.Open(Destination::StandardOutput());
    out_.SetLineEnd(line_end_);
    for (const std::string& line : held_lines_) out_.WriteLine(line);
    held_lines_.clear();
    held_lines_.shrink_to_fit();
}

void BarSink::Add(const ParsedBarLine& line) {
    if (keyed_) {
        keyed_->Add(line);
    } else {
        builder_->AddParsed(line);
    }
}

void BarSink::AddRepeat(const ParsedBarLine& line) {
    if (builder_) builder_->AddRepeat(line);
}

void BarSink::AddBuilt(std::string_view bar_text, std::int64_t bar_count) {
    builder_->Finish();
    if (!held_) {
        lines_ += bar_count;
        out_.WriteEndedLines(bar_text, bar_count);
        return;
    }
    for (std::size_t start = 0; start < bar_text.size();) {
        const std::size_t end = bar_text.find("\r\n", start);
        WriteLine(bar_text.substr(start, end - start));
        start = end + 2;
    }
}

JobStatus BarSink::Commit(bool stopped) {
    if (keyed_) {
        keyed_->WriteAll(*keyed_writer_, stopped);
    } else if (!stopped) {
        builder_->Finish();  // a stop drops the open bar
    }
    Release();
    return out_.Commit();
}

JobStatus BarSink::status() const { return held_ ? JobStatus::Ok() : out_.status(); }

std::int64_t BarSink::bars_written() const { return lines_ - header_lines_; }

BarSinks::BarSinks(const BarSettings& settings, PassMode mode, Options options)
    : settings_(settings), mode_(mode), options_(std::move(options)) {}

void BarSinks::Count(std::string_view symbol) {
    const auto at = symbol_at_.find(symbol);
    if (at != symbol_at_.end()) {
        ++symbols_[at->second].second;
        return;
    }
    symbol_at_.emplace(std::string(symbol), symbols_.size());
    symbols_.emplace_back(std::string(symbol), 1);
}

BarSink* BarSinks::For(std::string_view symbol, JobStatus& status) {
    if (!options_.symbol.empty() && symbol != options_.symbol) return nullptr;
    if (options_.split_dir.empty()) {
        if (!only_) {
            only_ = std::make_unique<BarSink>(settings_, mode_, options_.on_bar);
            status = only_->Open(options_.destination, options_.line_end, options_.header,
                                 options_.hold);
            if (!status) return nullptr;
        }
        return only_.get();
    }
    if (const auto at = sinks_.find(symbol); at != sinks_.end()) return at->second.get();
    if (sinks_.empty()) {
        // The folder is made when the first symbol's file is.
        std::error_code made;
        std::filesystem::create_directories(options_.split_dir, made);
        if (made) {
            status = JobStatus::Failure(options_.split_dir, made, "cannot make the folder");
            return nullptr;
        }
    }
    // Two symbols that make the same file name get "-2", "-3", ... after it.
    std::string file = SymbolFileName(symbol);
    for (int n = 2; file_of_.count(file) > 0; ++n)
        file = SymbolFileName(symbol) + "-" + std::to_string(n);
    file_of_.emplace(file, std::string(symbol));
    auto sink = std::make_unique<BarSink>(settings_, mode_, options_.on_bar);
    const std::string path = (std::filesystem::path(options_.split_dir) / (file + ".txt")).string();
    status = sink->Open(Destination::File(path), options_.line_end, options_.header, false);
    if (!status) return nullptr;
    return sinks_.emplace(std::string(symbol), std::move(sink)).first->second.get();
}

JobStatus BarSinks::CommitAll(bool stopped) {
    JobStatus first_failure;
    for (BarSink* sink : Mutable()) {
        JobStatus status = sink->Commit(stopped);
        if (!status && first_failure.ok()) first_failure = status;
    }
    return first_failure;
}

bool BarSinks::can_restart() const {
    for (const BarSink* sink : all()) {
        if (!sink->can_restart()) return false;
    }
    return true;
}

std::int64_t BarSinks::bars_written() const {
    std::int64_t bars = 0;
    for (const BarSink* sink : all()) bars += sink->bars_written();
    return bars;
}

std::vector<const BarSink*> BarSinks::all() const {
    std::vector<const BarSink*> list;
    if (only_) list.push_back(only_.get());
    for (const auto& [symbol, sink] : sinks_) list.push_back(sink.get());
    return list;
}

std::vector<BarSink*> BarSinks::Mutable() {
    std::vector<BarSink*> list;
    if (only_) list.push_back(only_.get());
    for (auto& [symbol, sink] : sinks_) list.push_back(sink.get());
    return list;
}

}  // namespace varn
