#pragma once
// gzip data decompressed as it is read, through zlib: one member or several
// one after another (as `cat a.gz b.gz` makes them), each checked against its
// length and CRC. Zero bytes after the last member (padding) are ignored;
// any other bytes there, a member cut short, or data that does not inflate
// make a failure: "prices.gz: gzip data is damaged (invalid distance too far
// back)".
//
//   GzipStream gzip(std::make_unique<FdStream>(fd, "p.gz"), std::move(head), "p.gz");
//   gzip.Read(buffer, size) -> decompressed bytes, straight into buffer

#include <zlib.h>

#include <memory>
#include <string>

#include "io/byte_stream.h"

namespace varn {

class GzipStream final : public ByteStream {
  public:
    // Compressed bytes read from source ahead of time.
    static constexpr std::size_t kInputSize = std::size_t{64} << 10;

    // head: the first compressed bytes, already read from source; name is
    // what messages call the input.
    GzipStream(std::unique_ptr<ByteStream> source, std::string head, std::string name);
    ~GzipStream() override;

    [[nodiscard]] std::size_t Read(char* into, std::size_t size) override;

  private:
    // Gives zlib more compressed bytes; false at their end or on a failure.
    bool Refill();
    // Between members: skips padding and begins the next member. False when
    // nothing follows yet (more must be read) or on a failure.
    bool BeginMember();
    void Fail(std::string detail);

    std::unique_ptr<ByteStream> source_;
    std::string head_;
    std::string name_;
    std::unique_ptr<char[]> input_;
    z_stream zlib_{};
    bool zlib_ready_ = false;
    bool head_given_ = false;
    bool source_ended_ = false;
    bool in_member_ = true;  // a member has begun and its end is still to come
    bool padding_ = false;   // zero bytes seen after the last member
    bool done_ = false;
};

}  // namespace varn
