#pragma once
// A job's output lines, whatever the destination: a file written through a
// temporary file (AtomicFile), standard output, or lines kept in memory.
// Every line written to a file ends with CR LF (or LF alone when asked); lines
// kept in memory have no line end. Counts the lines written.
//
//   LineOutput out;
//   if (auto s = out.Open(Destination::FromArgument("bars.txt")); !s) return s;
//   out.WriteLine("1.5.2001 1.5000 1.6000 1.4000 1.5500");
//   return out.Commit();

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/atomic_file.h"
#include "io/job.h"
#include "io/job_status.h"

namespace varn {

// How a file's lines end: CR LF (the default, as every file this program has
// written) or LF alone, for tools that want it.
enum class LineEnd { CrLf, Lf };

class LineOutput {
  public:
    [[nodiscard]] JobStatus Open(const Destination& destination);
    // How the lines written from now on end (CR LF after Open). Text handed
    // to WriteEndedLines keeps ending its lines with CR LF; with Lf they are
    // written with LF alone.
    void SetLineEnd(LineEnd line_end) {
        line_end_ = line_end;
        file_.SetLineFeedOnly(line_end == LineEnd::Lf);
    }

    void WriteLine(std::string_view line) {
        ++lines_written_;
        if (memory_ != nullptr) {
            memory_->emplace_back(line);
        } else {
            file_.WriteLine(line);
        }
    }
    // The pieces of one line, joined.
    void WriteLineParts(std::span<const std::string_view> parts) {
        ++lines_written_;
        if (memory_ != nullptr) {
            JoinInMemory(parts);
        } else {
            file_.WriteLineParts(parts);
        }
    }

    // count lines, each already ended by CR LF, written as they stand (lines
    // kept in memory are split at their ends).
    void WriteEndedLines(std::string_view text, std::int64_t count) {
        lines_written_ += count;
        if (memory_ != nullptr) {
            SplitInMemory(text);
        } else if (line_end_ == LineEnd::Lf) {
            WriteWithLineFeeds(text);
        } else {
            file_.Write(text);
        }
    }

    // Flushes and renames a file into place (see AtomicFile::Commit); lines in
    // memory are kept as they are.
    [[nodiscard]] JobStatus Commit();

    // Whether the lines are kept in memory.
    bool to_memory() const { return memory_ != nullptr; }
    // The first write failure so far (ok while none).
    const JobStatus& status() const { return memory_ != nullptr ? ok_ : file_.status(); }
    std::int64_t lines_written() const { return lines_written_; }

  private:
    void JoinInMemory(std::span<const std::string_view> parts);
    void SplitInMemory(std::string_view text);
    void WriteWithLineFeeds(std::string_view text);

    AtomicFile file_;
    LineEnd line_end_ = LineEnd::CrLf;
    std::string scratch_;  // lines ended by CR LF rewritten with LF
    std::vector<std::string>* memory_ = nullptr;
    std::int64_t lines_written_ = 0;
    JobStatus ok_;
};

// Writes lines (each ended by CR LF in a file) to destination, committing it.
[[nodiscard]] JobStatus WriteLineFile(std::span<const std::string> lines,
                                      const Destination& destination);

}  // namespace varn
