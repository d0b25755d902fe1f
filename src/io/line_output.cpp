#include "io/line_output.h"

namespace varn {

JobStatus LineOutput::Open(const Destination& destination) {
    lines_written_ = 0;
    memory_ = nullptr;
    SetLineEnd(LineEnd::CrLf);
    switch (destination.kind()) {
        case Destination::Kind::File:
            return file_.Open(destination.name());
        case Destination::Kind::StandardOutput:
            file_.OpenStandardOutput();
            return JobStatus::Ok();
        case Destination::Kind::Lines:
            memory_ = destination.lines();
            memory_->clear();
            return JobStatus::Ok();
    }
    return JobStatus::Ok();
}

void LineOutput::JoinInMemory(std::span<const std::string_view> parts) {
    std::string& line = memory_->emplace_back();
    for (const std::string_view part : parts) line.append(part);
}

void LineOutput::SplitInMemory(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        memory_->emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 2);
    }
}

void LineOutput::WriteWithLineFeeds(std::string_view text) {
    scratch_.clear();
    scratch_.reserve(text.size());
    for (;;) {
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos) {
            scratch_.append(text);
            break;
        }
        scratch_.append(text.substr(0, end)).push_back('\n');
        text.remove_prefix(end + 2);
    }
    file_.Write(scratch_);
}

JobStatus LineOutput::Commit() { return memory_ != nullptr ? ok_ : file_.Commit(); }

JobStatus WriteLineFile(std::span<const std::string> lines, const Destination& destination) {
    LineOutput output;
    if (JobStatus status = output.Open(destination); !status) return status;
    for (const std::string& line : lines) {
        output.WriteLine(line);
        if (!output.status().ok()) break;
    }
    return output.Commit();
}

}  // namespace varn
