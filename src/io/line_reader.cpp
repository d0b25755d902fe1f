#include "io/line_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace varn {

LineReader::LineReader(LineReader&& other) noexcept { *this = std::move(other); }

LineReader& LineReader::operator=(LineReader&& other) noexcept {
    if (this != &other) {
        input_ = std::move(other.input_);
        rules_ = other.rules_;
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

LineReader::~LineReader() = default;

JobStatus LineReader::Open(const std::string& path, LineRules rules) {
    return Open(LineSource::File(path), rules);
}

JobStatus LineReader::Open(const LineSource& source, LineRules rules) {
    DecodedInput input;
    JobStatus status = input.Open(source);
    Adopt(std::move(input), rules);
    if (!status.ok()) at_eof_ = true;
    return status;
}

void LineReader::OpenStandardInput(LineRules rules) { Adopt(STDIN_FILENO, "-", rules); }

void LineReader::Adopt(int fd, std::string path, LineRules rules) {
    DecodedInput input;
    input.Adopt(fd, std::move(path));
    Adopt(std::move(input), rules);
}

void LineReader::Adopt(DecodedInput input, LineRules rules) {
    input_ = std::move(input);
    rules_ = rules;
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
    if (at_eof_) return false;
    const std::size_t got = input_.Read(buffer_.get(), LineReader::kBufferSize);
    if (got == 0) {
        status_ = input_.status();
        at_eof_ = true;
        return false;
    }
    end_ = got;
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
    DecodedInput input;
    if (JobStatus status = input.Open(LineSource::File(path)); !status) return status;
    if (!input.Sniff()) return input.status();
    if (input.plain() && input.regular()) {
        text.reserve(static_cast<std::size_t>(std::max<off_t>(0, input.file_size())));
    }
    char chunk[LineReader::kBufferSize];
    while (const std::size_t got = input.Read(chunk, sizeof chunk)) text.append(chunk, got);
    if (!input.status().ok()) text.clear();
    return input.status();
}

}  // namespace varn
