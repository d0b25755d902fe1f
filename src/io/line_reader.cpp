#include "io/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace varn {

LineReader::LineReader(LineReader&& other) noexcept { *this = std::move(other); }

LineReader& LineReader::operator=(LineReader&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        owns_fd_ = std::exchange(other.owns_fd_, false);
        rules_ = other.rules_;
        path_ = std::move(other.path_);
        status_ = std::move(other.status_);
        buffer_ = std::move(other.buffer_);
        begin_ = other.begin_;
        end_ = other.end_;
        breaks_ = other.breaks_;
        at_eof_ = other.at_eof_;
        skip_lf_ = other.skip_lf_;
        carry_ = std::move(other.carry_);
    }
    return *this;
}

LineReader::~LineReader() { Close(); }

void LineReader::Close() {
    if (owns_fd_ && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    owns_fd_ = false;
}

JobStatus LineReader::Open(const std::string& path, LineRules rules) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return JobStatus::FromErrno(path, "cannot open for reading");
    Adopt(fd, path, rules);
    return JobStatus::Ok();
}

void LineReader::OpenStandardInput(LineRules rules) {
    Adopt(STDIN_FILENO, "-", rules);
    owns_fd_ = false;
}

void LineReader::Adopt(int fd, std::string path, LineRules rules) {
    Close();
    fd_ = fd;
    owns_fd_ = fd != STDIN_FILENO;
    rules_ = rules;
    path_ = std::move(path);
    status_ = JobStatus::Ok();
    if (!buffer_) buffer_ = std::make_unique<char[]>(LineReader::kBufferSize);
    begin_ = end_ = 0;
    breaks_.Reset();
    at_eof_ = false;
    skip_lf_ = false;
    carry_.clear();
}

bool LineReader::Fill() {
    begin_ = end_ = 0;
    breaks_.Reset();
    if (at_eof_ || fd_ < 0) return false;
    ssize_t got;
    do {
        got = ::read(fd_, buffer_.get(), LineReader::kBufferSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        status_ = JobStatus::FromErrno(path_, "cannot read");
        at_eof_ = true;
        return false;
    }
    if (got == 0) {
        at_eof_ = true;
        return false;
    }
    end_ = static_cast<std::size_t>(got);
    if (rules_ == LineRules::Stream) {
        // Ctrl-Z ends the input: nothing after it is read. One that opens
        // the block leaves nothing, not an empty line.
        const std::size_t length = StreamInputLength(std::string_view(buffer_.get(), end_));
        if (length < end_) {
            end_ = length;
            at_eof_ = true;
        }
    }
    return end_ > 0;
}

bool LineReader::Next(std::string_view& line) {
    bool have_carry = false;
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !Fill()) {
            if (!status_.ok() || !have_carry) return false;
            if (rules_ == LineRules::Stream) DropCarriageReturns(carry_);
            line = carry_;
            return true;
        }
        const std::string_view buffer(buffer_.get(), end_);
        const char* p = buffer_.get() + begin_;
        const std::size_t n = end_ - begin_;

        if (rules_ == LineRules::Stream) {
            const std::size_t at = FindLineFeed(buffer, begin_);
            if (at == end_) {
                carry_.append(p, n);
                have_carry = true;
                begin_ = end_;
                continue;
            }
            const std::size_t len = at - begin_;
            begin_ = at + 1;
            if (!have_carry && std::memchr(p, '\r', len) == nullptr) {
                line = std::string_view(p, len);
                return true;
            }
            carry_.append(p, len);
            DropCarriageReturns(carry_);
            line = carry_;
            return true;
        }

        // List rules.
        if (skip_lf_) {
            skip_lf_ = false;
            if (*p == '\n') {
                ++begin_;
                continue;
            }
        }
        const std::size_t at = breaks_.Next(buffer, begin_);
        if (at == end_) {
            carry_.append(p, n);
            have_carry = true;
            begin_ = end_;
            continue;
        }
        const std::size_t len = at - begin_;
        begin_ = at + ListBreakLength(buffer, at);
        // A CR that ends the buffer may be the first half of a CR LF.
        if (begin_ == end_ && buffer[at] == '\r') skip_lf_ = true;
        if (!have_carry) {
            line = std::string_view(p, len);
        } else {
            carry_.append(p, len);
            line = carry_;
        }
        return true;
    }
}

JobStatus ReadLineList(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    LineReader reader;
    if (JobStatus status = reader.Open(path, LineRules::List); !status) return status;
    std::string_view line;
    while (reader.Next(line)) lines.emplace_back(line);
    return reader.status();
}

JobStatus ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return JobStatus::FromErrno(path, "cannot open for reading");
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.reserve(static_cast<std::size_t>(info.st_size));
    }
    char chunk[LineReader::kBufferSize];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            JobStatus status = JobStatus::FromErrno(path, "cannot read");
            ::close(fd);
            text.clear();
            return status;
        }
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return JobStatus::Ok();
}

}  // namespace varn
