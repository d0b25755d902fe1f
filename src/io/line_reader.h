#pragma once
// Reading a text file line by line, without the line ends, under one of the
// rule sets of io/line_rules.h: LineRules::Stream for the conversions (LF or
// CR LF, lone CRs dropped, Ctrl-Z ends the input), LineRules::List for files
// read as a list of lines (CR LF, LF or a lone CR).
//
// "a\r\nb\rc" is the lines "a", "bc" under Stream and "a", "b", "c" under List.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "io/decoded_input.h"
#include "io/job.h"
#include "io/job_status.h"
#include "io/line_rules.h"

namespace varn {

class LineReader {
  public:
    // Bytes read at a time: small enough to stay in the processor's cache,
    // which makes the kernel's copy markedly cheaper than a large buffer.
    static constexpr std::size_t kBufferSize = std::size_t{64} << 10;

    LineReader() = default;
    LineReader(LineReader&& other) noexcept;
    LineReader& operator=(LineReader&& other) noexcept;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    // Opens path for reading; the status names the path and the reason on
    // failure. Every input is read as text the way io/decoded_input.h tells
    // (decompressed, decoded, or refused with a reason as a read failure).
    [[nodiscard]] JobStatus Open(const std::string& path, LineRules rules);
    // Opens a file or standard input (the source's member picks a zip
    // file's); lines in memory are not read here.
    [[nodiscard]] JobStatus Open(const LineSource& source, LineRules rules);
    // Reads standard input (not closed at the end); shown as "-" in messages.
    void OpenStandardInput(LineRules rules);
    // Reads an already open descriptor, which the reader then owns unless it is
    // standard input.
    void Adopt(int fd, std::string path, LineRules rules);
    // Reads an input opened already, e.g. one read as plain bytes from an
    // offset (DecodedInput::AdoptPlain).
    void Adopt(DecodedInput input, LineRules rules);

    // The next line, valid until the next call. False at the end of the input
    // or on a read error; status() tells which.
    [[nodiscard]] bool Next(std::string_view& line);

    // Ok until a read fails.
    const JobStatus& status() const { return status_; }
    const std::string& path() const { return input_.name(); }

  private:
    // Reads the next block into the buffer; false at the end of the input
    // (a Ctrl-Z under Stream) or on a read error.
    bool Fill();

    DecodedInput input_;
    LineRules rules_ = LineRules::Stream;
    JobStatus status_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;   // first unread byte in buffer_
    std::size_t end_ = 0;     // one past the last valid byte
    bool at_eof_ = false;     // nothing more to read from input_
    bool skip_lf_ = false;    // List: the previous line ended at CR; skip a leading LF
    ListBreakFinder breaks_;  // List: the breaks of the buffer
    std::string carry_;       // a line that spans buffer refills
};

// Reads the whole of path under the List rules into lines (replacing what
// they held), decoded as io/decoded_input.h tells.
[[nodiscard]] JobStatus ReadLineList(const std::string& path, std::vector<std::string>& lines);

// Reads the whole of path into text (replacing what it held; empty after a
// failure), line ends and all, decoded as io/decoded_input.h tells.
[[nodiscard]] JobStatus ReadWholeFile(const std::string& path, std::string& text);

}  // namespace varn
