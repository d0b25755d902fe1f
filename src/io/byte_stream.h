#pragma once
// A source of bytes read in pieces, the common face of the layers an input
// may pass through before it is text: the raw descriptor (FdStream), gzip
// (GzipStream), a zip member (ZipStream) and UTF-16 (Utf16Stream). Each layer
// reads the one below it and reports the first failure on its way up.
//
//   GzipStream gzip(std::make_unique<FdStream>(fd, "prices.gz"), head, "prices.gz");
//   while (std::size_t got = gzip.Read(buffer, sizeof buffer)) ...;
//   if (!gzip.status()) ...   // "prices.gz: gzip data is damaged (...)"

#include <cstddef>

#include "io/job_status.h"

namespace varn {

class ByteStream {
  public:
    ByteStream() = default;
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;
    virtual ~ByteStream() = default;

    // Reads up to size bytes (size > 0) into `into`: the number read, at least
    // one until the end. 0 at the end, and on a failure, which status() then
    // tells; once 0, always 0.
    [[nodiscard]] virtual std::size_t Read(char* into, std::size_t size) = 0;

    // Ok until a read fails.
    const JobStatus& status() const { return status_; }

  protected:
    JobStatus status_;
};

}  // namespace varn
