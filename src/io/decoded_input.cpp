#include "io/decoded_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "io/decode_error.h"
#include "io/fd_stream.h"
#include "io/gzip_stream.h"
#include "io/input_sniff.h"
#include "io/utf16_stream.h"
#include "io/zip_stream.h"

namespace varn {
namespace {

bool HasLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

DecodedInput::DecodedInput(DecodedInput&& other) noexcept { *this = std::move(other); }

DecodedInput& DecodedInput::operator=(DecodedInput&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        owns_fd_ = std::exchange(other.owns_fd_, false);
        name_ = std::move(other.name_);
        member_ = std::move(other.member_);
        regular_ = other.regular_;
        file_size_ = other.file_size_;
        origin_ = other.origin_;
        mark_ = other.mark_;
        sniffed_ = other.sniffed_;
        plain_ = other.plain_;
        fd_ended_ = other.fd_ended_;
        ended_ = other.ended_;
        head_ = std::move(other.head_);
        head_at_ = other.head_at_;
        stream_ = std::move(other.stream_);
        status_ = std::move(other.status_);
    }
    return *this;
}

DecodedInput::~DecodedInput() { Close(); }

void DecodedInput::Close() {
    stream_.reset();  // the layers read fd_: gone before it closes
    if (owns_fd_ && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    owns_fd_ = false;
}

JobStatus DecodedInput::Open(const LineSource& source) {
    if (source.kind() == LineSource::Kind::StandardInput) {
        Adopt(STDIN_FILENO, source.name(), source.member());
        return status_;
    }
    const int fd = ::open(source.name().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Adopt(-1, source.name(), source.member());
        ended_ = true;
        return status_ = JobStatus::FromErrno(source.name(), "cannot open for reading");
    }
    Adopt(fd, source.name(), source.member());
    return status_;
}

void DecodedInput::Adopt(int fd, std::string name, std::string member) {
    Close();
    fd_ = fd;
    owns_fd_ = fd > STDIN_FILENO;
    name_ = std::move(name);
    member_ = std::move(member);
    struct stat info {};
    regular_ = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    file_size_ = regular_ ? info.st_size : 0;
    // A standard input may stand past its start (after `head` read some of
    // it): what lies before is not part of the input.
    origin_ = regular_ ? std::max<off_t>(0, ::lseek(fd, 0, SEEK_CUR)) : 0;
    mark_ = 0;
    sniffed_ = false;
    plain_ = false;
    fd_ended_ = false;
    ended_ = false;
    head_.clear();
    head_at_ = 0;
    status_ = JobStatus::Ok();
}

bool DecodedInput::SeekPlain(off_t offset) {
    head_.clear();
    head_at_ = 0;
    stream_.reset();
    sniffed_ = true;
    plain_ = true;
    fd_ended_ = false;
    ended_ = false;
    if (::lseek(fd_, offset, SEEK_SET) < 0) {
        status_ = JobStatus::FromErrno(name_, "cannot read");
        ended_ = true;
        return false;
    }
    return true;
}

bool DecodedInput::ReadHead(char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    while (got < kSniffSize && got < capacity) {
        const ssize_t n = ::read(fd_, buffer + got, capacity - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            status_ = JobStatus::FromErrno(name_, "cannot read");
            return false;
        }
        if (n == 0) {
            fd_ended_ = true;
            break;
        }
        got += static_cast<std::size_t>(n);
        // A pipe or a terminal is not kept waiting once a line has come and
        // no magic number is half read.
        const std::string_view head(buffer, got);
        if (!regular_ && HasLineEnd(head) && !MayBeginMagic(head)) break;
    }
    return true;
}

bool DecodedInput::Decide(std::string_view head) {
    // The form is told from the first kSniffSize bytes, however many came.
    const InputSniff sniff = SniffInput(head.substr(0, kSniffSize));
    switch (sniff.form) {
        case InputForm::Gzip:
            stream_ = std::make_unique<GzipStream>(
                std::make_unique<FdStream>(fd_, name_, fd_ended_), std::string(head), name_);
            return SniffDecoded();
        case InputForm::Zip:
            stream_ = std::make_unique<ZipStream>(fd_, regular_, origin_, std::string(head),
                                                  member_, name_);
            return SniffDecoded();
        case InputForm::Refused:
            status_ = JobStatus::Refusal(name_, DecodeErrorCode(sniff.refusal), sniff.reason);
            return false;
        case InputForm::Utf16Le:
        case InputForm::Utf16Be:
            stream_ =
                std::make_unique<Utf16Stream>(std::make_unique<FdStream>(fd_, name_, fd_ended_),
                                              std::string(head.substr(sniff.mark)),
                                              sniff.form == InputForm::Utf16Be, sniff.mark, name_);
            head_.clear();  // head may have been these bytes: the stream has them now
            return true;
        case InputForm::Text:
        case InputForm::Utf8:
            plain_ = true;
            mark_ = sniff.mark;
            return true;
    }
    return true;
}

bool DecodedInput::Sniff() {
    if (sniffed_) return status_.ok();
    sniffed_ = true;
    head_.resize(kSniffSize);
    std::size_t got = 0;
    if (fd_ < 0 || !ReadHead(head_.data(), head_.size(), got)) {
        head_.clear();
        return false;
    }
    head_.resize(got);
    if (!Decide(head_)) return false;
    // Plain text is handed out from head_ first; a stream has taken the
    // bytes (and put what it decoded first into head_).
    if (plain_) head_at_ = mark_;
    return true;
}

std::size_t DecodedInput::FirstRead(char* into, std::size_t size) {
    sniffed_ = true;
    std::size_t got = 0;
    if (fd_ < 0 || !ReadHead(into, size, got) || !Decide(std::string_view(into, got))) return 0;
    if (!plain_) return Read(into, size);
    if (mark_ > 0) {
        got -= mark_;
        std::memmove(into, into + mark_, got);
    }
    // Only a mark so far: the text comes after it.
    return got > 0 ? got : Read(into, size);
}

bool DecodedInput::SniffDecoded() {
    // The first decompressed bytes, as many as a file's first read gives.
    head_.resize(kSniffSize);
    std::size_t got = 0;
    while (got < kSniffSize) {
        const std::size_t n = stream_->Read(head_.data() + got, kSniffSize - got);
        if (n == 0) break;
        got += n;
    }
    head_.resize(got);
    if (!stream_->status().ok()) {
        status_ = stream_->status();
        return false;
    }
    const InputSniff sniff = SniffInput(head_);
    switch (sniff.form) {
        case InputForm::Gzip:
        case InputForm::Zip:
            status_ = JobStatus::Refusal(
                name_, DecodeErrorCode(DecodeError::Compressed),
                "compressed twice (a gzip or zip file inside another): unpack the outer one first");
            return false;
        case InputForm::Refused:
            status_ = JobStatus::Refusal(name_, DecodeErrorCode(sniff.refusal), sniff.reason);
            return false;
        case InputForm::Utf16Le:
        case InputForm::Utf16Be:
            head_.erase(0, sniff.mark);
            stream_ =
                std::make_unique<Utf16Stream>(std::move(stream_), std::move(head_),
                                              sniff.form == InputForm::Utf16Be, sniff.mark, name_);
            head_.clear();
            return true;
        case InputForm::Text:
        case InputForm::Utf8:
            head_at_ = sniff.mark;
            return true;
    }
    return true;
}

std::size_t DecodedInput::Read(char* into, std::size_t size) {
    if (!ended_ && !sniffed_ && size >= kSniffSize) {
        // The first bytes go straight where they are wanted.
        const std::size_t got = FirstRead(into, size);
        if (got == 0) ended_ = true;
        return got;
    }
    if (ended_ || (!sniffed_ && !Sniff()) || !status_.ok()) {
        ended_ = true;
        return 0;
    }
    if (head_at_ < head_.size()) {
        // The first bytes, read to tell the form.
        const std::size_t given = std::min(size, head_.size() - head_at_);
        std::memcpy(into, head_.data() + head_at_, given);
        head_at_ += given;
        if (head_at_ == head_.size()) {
            head_.clear();
            head_.shrink_to_fit();
            head_at_ = 0;
        }
        return given;
    }
    std::size_t got = 0;
    if (stream_) {
        got = stream_->Read(into, size);
        if (got == 0 && !stream_->status().ok()) status_ = stream_->status();
    } else if (!fd_ended_ && fd_ >= 0) {
        for (;;) {
            const ssize_t n = ::read(fd_, into, size);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) status_ = JobStatus::FromErrno(name_, "cannot read");
            got = n > 0 ? static_cast<std::size_t>(n) : 0;
            break;
        }
    }
    if (got == 0) ended_ = true;
    return got;
}

}  // namespace varn
