#pragma once
// The lines of a job's source, one at a time, whatever the source is: a file
// or standard input read under the given line rules, or lines already in
// memory. Counts the lines it hands out and asks, before each, whether the
// job should stop.
//
//   LineInput input;
//   if (auto s = input.Open(LineSource::FromArgument("-"), LineRules::Stream); !s) return s;
//   for (std::string_view line; input.Next(line);) ...

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "io/job.h"
#include "io/job_status.h"
#include "io/line_reader.h"

namespace varn {

class LineInput {
  public:
    // Opens source; rules apply to files and standard input (lines in memory
    // are split already). The status names the file and the reason on failure.
    [[nodiscard]] JobStatus Open(const LineSource& source, LineRules rules);

    // Asked before every line; when it answers true the input ends there and
    // stopped() becomes true.
    void SetStop(std::function<bool()> stop_requested) { stop_ = std::move(stop_requested); }

    // The next line, valid until the next call (lines in memory: while the
    // list is unchanged). False at the end, on a read error or on a stop.
    [[nodiscard]] bool Next(std::string_view& line) {
        if (stop_ && StopNow()) return false;
        if (list_ != nullptr) return NextListed(line);
        if (!reader_.Next(line)) return false;
        ++line_number_;
        return true;
    }

    // Lines handed out so far: the 1-based number of the last one.
    std::int64_t line_number() const { return line_number_; }
    // The number of lines in memory, or 0 when not known beforehand.
    std::size_t known_count() const { return list_ != nullptr ? list_->Count() : 0; }
    // Whether the lines stay valid after the next call (lines in memory).
    bool lines_stay() const { return list_ != nullptr; }
    bool stopped() const { return stopped_; }
    // Ok until a read fails.
    const JobStatus& status() const { return list_ != nullptr ? ok_ : reader_.status(); }
    const std::string& name() const { return name_; }

  private:
    bool StopNow();
    bool NextListed(std::string_view& line);

    LineReader reader_;
    const LineList* list_ = nullptr;
    std::function<bool()> stop_;
    std::string name_;
    std::int64_t line_number_ = 0;
    bool stopped_ = false;
    JobStatus ok_;
};

}  // namespace varn
