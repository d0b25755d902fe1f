#pragma once
// UTF-16 text turned into UTF-8 as it is read, through the C library's
// iconv: "1\0,\0" (LE) reads as "1,". Pairs of surrogates become one
// four-byte character; a lone surrogate, or text that ends in half a
// character, is a failure naming the byte: "prices.txt: not valid UTF-16
// (at byte 1026)".

#include <iconv.h>

#include <memory>
#include <string>

#include "io/byte_stream.h"

namespace varn {

class Utf16Stream final : public ByteStream {
  public:
    static constexpr std::size_t kInputSize = std::size_t{64} << 10;

    // head: the first bytes of the text (after its byte order mark), already
    // read from source; mark: the bytes of that mark, for the offsets that
    // messages give.
    Utf16Stream(std::unique_ptr<ByteStream> source, std::string head, bool big_endian,
                std::size_t mark, std::string name);
    ~Utf16Stream() override;

    [[nodiscard]] std::size_t Read(char* into, std::size_t size) override;

  private:
    // Converts into `into` (size 4 at least): the bytes written, 0 at the end
    // or on a failure.
    std::size_t Convert(char* into, std::size_t size);
    // Moves the unconverted bytes to the front and reads more after them;
    // false when none came (the end, or a failure).
    bool Refill();
    void Fail(std::string detail);

    std::unique_ptr<ByteStream> source_;
    std::string name_;
    iconv_t converter_ = nullptr;  // null when it could not be opened
    std::size_t capacity_;         // of input_: kInputSize, or the head when longer
    std::unique_ptr<char[]> input_;
    std::size_t begin_ = 0;     // first unconverted byte of input_
    std::size_t end_ = 0;       // one past the last byte read
    std::size_t consumed_ = 0;  // bytes of the input converted before input_[0]
    bool source_ended_ = false;
    bool done_ = false;
    // A character too long for a small read, handed out over several.
    char spill_[8] = {};
    std::size_t spill_begin_ = 0;
    std::size_t spill_end_ = 0;
};

}  // namespace varn
