#pragma once
// The bytes of an input as text, whatever form the file holds them in: the
// one road by which every reader of lines (LineReader, BlockReader, counting,
// truncation, the bar page's load) gets its bytes. The form is told by the
// content, never by the file's name, from the first bytes (io/input_sniff.h),
// read when the first bytes are asked for:
//
//   plain text               read straight through, the first bytes too
//                            when the reader's buffer holds kSniffSize
//   UTF-8 byte order mark    dropped
//   UTF-16 with a mark       decoded to UTF-8
//   gzip                     decompressed (GzipStream)
//   zip                      its member decompressed (ZipStream)
//   binary, other forms      refused, saying what to do
//
// What a gzip or zip file holds is told again the same way, so a gzipped
// UTF-16 file reads as text; a compressed file inside one is refused.
//
//   DecodedInput input;
//   if (auto s = input.Open(LineSource::File("prices.csv.gz")); !s) return s;
//   char buffer[65536];
//   while (std::size_t got = input.Read(buffer, sizeof buffer)) Use(buffer, got);
//   return input.status();  // "prices.csv.gz: gzip data is damaged (...)" after a failure

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_stream.h"
#include "io/job.h"
#include "io/job_status.h"

namespace varn {

class DecodedInput {
  public:
    // The bytes read at most to tell the form.
    static constexpr std::size_t kSniffSize = 4096;

    DecodedInput() = default;
    DecodedInput(DecodedInput&& other) noexcept;
    DecodedInput& operator=(DecodedInput&& other) noexcept;
    DecodedInput(const DecodedInput&) = delete;
    DecodedInput& operator=(const DecodedInput&) = delete;
    ~DecodedInput();

    // Opens a file, or takes standard input (not closed at the end); the
    // source's member picks a zip file's member. The status names the file
    // and the reason when it does not open.
    [[nodiscard]] JobStatus Open(const LineSource& source);
    // Reads fd, which it then owns unless it is standard input; name is what
    // messages call it.
    void Adopt(int fd, std::string name, std::string member = {});
    // For a plain regular file: reads its own bytes from offset on, telling
    // no form again (the last lines of a file found from its end). False when
    // the file cannot seek there (status() tells).
    [[nodiscard]] bool SeekPlain(off_t offset);

    // Reads the first bytes and sets up their decoding, if not done yet:
    // false when the input is refused or a read fails (status() tells).
    [[nodiscard]] bool Sniff();

    // Reads up to size bytes (size > 0) of text into `into`: the number read,
    // at least one until the end; 0 at the end and on a failure (status()
    // tells which). Once 0, always 0.
    [[nodiscard]] std::size_t Read(char* into, std::size_t size);

    // After Sniff: whether the text is the file's own bytes from
    // text_offset() on, with nothing decoded.
    bool plain() const { return plain_; }
    // Where the text begins in the descriptor: where it stood when opened,
    // plus a UTF-8 byte order mark.
    off_t text_offset() const { return origin_ + static_cast<off_t>(mark_); }
    // Whether the descriptor is a regular file, and its size then.
    bool regular() const { return regular_; }
    off_t file_size() const { return file_size_; }
    int fd() const { return fd_; }

    // Ok until the input is refused or a read fails.
    const JobStatus& status() const { return status_; }
    const std::string& name() const { return name_; }

  private:
    // Reads the first bytes of the descriptor into buffer: up to kSniffSize
    // (or capacity, if less), fewer from a pipe once a line has come. false
    // when a read fails.
    bool ReadHead(char* buffer, std::size_t capacity, std::size_t& got);
    // Sets up the reading of the text whose first bytes are head (which may
    // lie in head_); false when it is refused.
    bool Decide(std::string_view head);
    // Sets up what a gzip or zip file holds, reading its first bytes into
    // head_; false when refused.
    bool SniffDecoded();
    // The first read into a buffer of kSniffSize or more: tells the form from
    // the bytes read into it, where plain text then stays.
    std::size_t FirstRead(char* into, std::size_t size);
    void Close();

    int fd_ = -1;
    bool owns_fd_ = false;
    std::string name_;
    std::string member_;
    bool regular_ = false;
    off_t file_size_ = 0;
    off_t origin_ = 0;
    std::size_t mark_ = 0;
    bool sniffed_ = false;
    bool plain_ = false;
    bool fd_ended_ = false;  // the descriptor gave its end while sniffing
    bool ended_ = false;
    std::string head_;  // bytes read while sniffing, not yet handed out
    std::size_t head_at_ = 0;
    std::unique_ptr<ByteStream> stream_;  // the decoding layers; none for plain text
    JobStatus status_;
};

}  // namespace varn
