#include "io/line_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace varn {
namespace {

constexpr char kCtrlZ = 26;

}  // namespace

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
        next_lf_ = other.next_lf_;
        next_cr_ = other.next_cr_;
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
    next_lf_ = next_cr_ = kUnknown;
    at_eof_ = false;
    skip_lf_ = false;
    carry_.clear();
}

std::size_t LineReader::Find(char c) const {
    const void* at = std::memchr(buffer_.get() + begin_, c, end_ - begin_);
    return at == nullptr ? end_
                         : static_cast<std::size_t>(static_cast<const char*>(at) - buffer_.get());
}

bool LineReader::Fill() {
    begin_ = end_ = 0;
    next_lf_ = next_cr_ = kUnknown;
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
        // Ctrl-Z ends the input: nothing after it is read.
        if (const void* z = std::memchr(buffer_.get(), kCtrlZ, end_)) {
            end_ = static_cast<std::size_t>(static_cast<const char*>(z) - buffer_.get());
            at_eof_ = true;
        }
    }
    return true;
}

bool LineReader::Next(std::string_view& line) {
    bool have_carry = false;
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !Fill()) {
            if (!status_.ok() || !have_carry) return false;
            if (rules_ == LineRules::Stream) std::erase(carry_, '\r');
            line = carry_;
            return true;
        }
        const char* p = buffer_.get() + begin_;
        const std::size_t n = end_ - begin_;

        if (rules_ == LineRules::Stream) {
            const void* lf = std::memchr(p, '\n', n);
            if (lf == nullptr) {
                carry_.append(p, n);
                have_carry = true;
                begin_ = end_;
                continue;
            }
            const auto len = static_cast<std::size_t>(static_cast<const char*>(lf) - p);
            begin_ += len + 1;
            if (!have_carry && std::memchr(p, '\r', len) == nullptr) {
                line = std::string_view(p, len);
                return true;
            }
            // Every CR in a line is dropped: the one before LF ends the line,
            // the others are not followed by LF.
            carry_.append(p, len);
            std::erase(carry_, '\r');
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
        // The next LF and the next CR of the buffer, each found once per
        // buffer position: a file of lone CRs costs no more than one of LFs.
        if (next_lf_ == kUnknown || next_lf_ < begin_) next_lf_ = Find('\n');
        if (next_cr_ == kUnknown || next_cr_ < begin_) next_cr_ = Find('\r');
        const char* stop = p + n;
        const char* q = buffer_.get() + std::min(next_lf_, next_cr_);
        if (q == stop) {
            carry_.append(p, n);
            have_carry = true;
            begin_ = end_;
            continue;
        }
        const auto len = static_cast<std::size_t>(q - p);
        begin_ += len + 1;
        if (*q == '\r') {
            if (begin_ < end_) {
                if (buffer_[begin_] == '\n') ++begin_;
            } else {
                skip_lf_ = true;
            }
        }
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

}  // namespace varn
