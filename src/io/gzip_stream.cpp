#include "io/gzip_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>

#include "io/decode_error.h"

namespace varn {
namespace {

// zlib counts in unsigned int: hand it at most this much at a time.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

// Window bits 15 with 16 added: gzip headers and trailers only.
constexpr int kGzipWindow = 15 + 16;

}  // namespace

GzipStream::GzipStream(std::unique_ptr<ByteStream> source, std::string head, std::string name)
    : source_(std::move(source)),
      head_(std::move(head)),
      name_(std::move(name)),
      input_(std::make_unique<char[]>(kInputSize)) {
    const int result = inflateInit2(&zlib_, kGzipWindow);
    zlib_ready_ = result == Z_OK;
    if (!zlib_ready_) {
        status_ = JobStatus::Failure(name_, std::make_error_code(std::errc::not_enough_memory),
                                     "cannot read");
        done_ = true;
    }
}

GzipStream::~GzipStream() {
    if (zlib_ready_) inflateEnd(&zlib_);
}

void GzipStream::Fail(std::string detail) {
    status_ = JobStatus::Refusal(name_, DecodeErrorCode(DecodeError::Damaged), std::move(detail));
    done_ = true;
}

bool GzipStream::Refill() {
    if (!head_given_) {
        head_given_ = true;
        if (!head_.empty()) {
            zlib_.next_in = reinterpret_cast<Bytef*>(head_.data());
            zlib_.avail_in = static_cast<uInt>(head_.size());
            return true;
        }
    }
    if (source_ended_) return false;
    const std::size_t got = source_->Read(input_.get(), kInputSize);
    if (got == 0) {
        source_ended_ = true;
        if (!source_->status().ok()) {
            status_ = source_->status();
            done_ = true;
        }
        return false;
    }
    zlib_.next_in = reinterpret_cast<Bytef*>(input_.get());
    zlib_.avail_in = static_cast<uInt>(got);
    return true;
}

bool GzipStream::BeginMember() {
    while (zlib_.avail_in > 0 && *zlib_.next_in == 0) {
        ++zlib_.next_in;
        --zlib_.avail_in;
        padding_ = true;
    }
    if (zlib_.avail_in == 0) return false;
    if (padding_) {
        Fail("gzip data is damaged (bytes after its end)");
        return false;
    }
    if (zlib_.avail_in >= 2 && (zlib_.next_in[0] != 0x1f || zlib_.next_in[1] != 0x8b)) {
        Fail("gzip data is damaged (bytes after its end that are not gzip data)");
        return false;
    }
    inflateReset(&zlib_);
    in_member_ = true;
    return true;
}

std::size_t GzipStream::Read(char* into, std::size_t size) {
    if (done_) return 0;
    const std::size_t wanted = std::min(size, kMaxStep);
    zlib_.next_out = reinterpret_cast<Bytef*>(into);
    zlib_.avail_out = static_cast<uInt>(wanted);
    while (zlib_.avail_out == wanted) {
        if (zlib_.avail_in == 0 && !Refill()) {
            if (done_) return 0;  // the source failed
            if (in_member_) {
                Fail("gzip data is damaged (it ends early: the file is cut short)");
                return 0;
            }
            done_ = true;
            break;
        }
        if (!in_member_ && !BeginMember()) {
            if (done_) return 0;
            continue;  // only padding so far: read on
        }
        const int result = inflate(&zlib_, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            in_member_ = false;
        } else if (result == Z_MEM_ERROR) {
            status_ = JobStatus::Failure(name_, std::make_error_code(std::errc::not_enough_memory),
                                         "cannot read");
            done_ = true;
            return 0;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            // Z_OK, or Z_BUF_ERROR when every input byte is used, read on.
            Fail(std::string("gzip data is damaged (") +
                 (zlib_.msg != nullptr ? zlib_.msg : "not deflate data") + ")");
            return 0;
        }
    }
    return wanted - zlib_.avail_out;
}

}  // namespace varn
