#include "io/utf16_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "io/decode_error.h"

namespace varn {

Utf16Stream::Utf16Stream(std::unique_ptr<ByteStream> source, std::string head, bool big_endian,
                         std::size_t mark, std::string name)
    : source_(std::move(source)),
      name_(std::move(name)),
      capacity_(std::max(kInputSize, head.size())),
      input_(std::make_unique<char[]>(capacity_)),
      consumed_(mark) {
    converter_ = iconv_open("UTF-8", big_endian ? "UTF-16BE" : "UTF-16LE");
    // iconv_open answers (iconv_t)-1 when it fails.
    if (reinterpret_cast<std::intptr_t>(converter_) == -1) {
        converter_ = nullptr;
        status_ = JobStatus::FromErrno(name_, "cannot decode UTF-16");
        done_ = true;
        return;
    }
    end_ = head.size();
    std::memcpy(input_.get(), head.data(), end_);
}

Utf16Stream::~Utf16Stream() {
    if (converter_ != nullptr) iconv_close(converter_);
}

void Utf16Stream::Fail(std::string detail) {
    status_ = JobStatus::Refusal(name_, DecodeErrorCode(DecodeError::Damaged), std::move(detail));
    done_ = true;
}

bool Utf16Stream::Refill() {
    if (source_ended_) return false;
    if (begin_ > 0) {
        std::memmove(input_.get(), input_.get() + begin_, end_ - begin_);
        consumed_ += begin_;
        end_ -= begin_;
        begin_ = 0;
    }
    const std::size_t got = source_->Read(input_.get() + end_, capacity_ - end_);
    if (got == 0) {
        source_ended_ = true;
        if (!source_->status().ok()) {
            status_ = source_->status();
            done_ = true;
        }
        return false;
    }
    end_ += got;
    return true;
}

std::size_t Utf16Stream::Convert(char* into, std::size_t size) {
    for (;;) {
        // A character is 4 bytes at most: keep at least that much at hand.
        if (end_ - begin_ < 4 && Refill()) continue;
        if (done_) return 0;
        if (begin_ == end_) {
            done_ = true;
            return 0;
        }
        char* in = input_.get() + begin_;
        std::size_t in_left = end_ - begin_;
        char* out = into;
        std::size_t out_left = size;
        const std::size_t result = iconv(converter_, &in, &in_left, &out, &out_left);
        const int error = errno;
        begin_ = end_ - in_left;
        const std::size_t written = size - out_left;
        if (result != static_cast<std::size_t>(-1) || written > 0) return written;
        if (error == EINVAL) {
            // Half a character at the end of what was read: read on.
            if (Refill()) continue;
            if (done_) return 0;
            Fail("not valid UTF-16 (it ends in half a character)");
            return 0;
        }
        if (error == EILSEQ) {
            Fail("not valid UTF-16 (at byte " + std::to_string(consumed_ + begin_) + ")");
            return 0;
        }
        // E2BIG with nothing written cannot happen with 4 bytes of room.
        Fail("cannot decode UTF-16");
        return 0;
    }
}

std::size_t Utf16Stream::Read(char* into, std::size_t size) {
    if (spill_begin_ == spill_end_) {
        if (size >= 4) return Convert(into, size);
        spill_begin_ = 0;
        spill_end_ = Convert(spill_, sizeof spill_);
    }
    const std::size_t given = std::min(size, spill_end_ - spill_begin_);
    std::memcpy(into, spill_ + spill_begin_, given);
    spill_begin_ += given;
    return given;
}

}  // namespace varn
