#pragma once
// The bytes of an open descriptor as they come, for the decoding layers to
// read; the descriptor stays its owner's.

#include <string>

#include "io/byte_stream.h"

namespace varn {

class FdStream final : public ByteStream {
  public:
    // name is what messages call the input. ended: the descriptor has given
    // its end already (a terminal is not asked again).
    FdStream(int fd, std::string name, bool ended = false)
        : fd_(fd), name_(std::move(name)), ended_(ended) {}

    [[nodiscard]] std::size_t Read(char* into, std::size_t size) override;

  private:
    int fd_;
    std::string name_;
    bool ended_;
};

}  // namespace varn
