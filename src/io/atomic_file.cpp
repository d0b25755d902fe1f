#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace varn {
namespace {

// Written a cache-sized buffer at a time (see LineReader::kBufferSize).
constexpr std::size_t kBufferSize = std::size_t{64} << 10;

// The permissions a newly created file would get: 0666 less the umask.
mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Copies size bytes; sizes up to 16 take two fixed-size moves each.
inline void CopySmall(char* to, const char* from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size < 4) {
        for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
    } else {
        std::memcpy(to, from, size);
    }
}

}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() noexcept {
    if (fd_ >= 0 && !to_stdout_) {
        ::close(fd_);
        if (!committed_ && !temp_path_.empty()) ::unlink(temp_path_.c_str());
    }
    fd_ = -1;
}

JobStatus AtomicFile::Open(const std::string& destination) {
    Discard();
    destination_ = destination;
    committed_ = false;
    to_stdout_ = false;
    status_ = JobStatus::Ok();
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);

    // A destination that is a folder cannot be replaced by a file.
    struct stat existing {};
    const bool exists = ::stat(destination.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return JobStatus::Failure(destination, std::make_error_code(std::errc::is_a_directory),
                                  "cannot write");
    }

    std::string name = DirectoryOf(destination);
    name.append("/.varn-XXXXXX");
    std::vector<char> tmpl(name.begin(), name.end());
    tmpl.push_back('\0');
    fd_ = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd_ < 0) return JobStatus::FromErrno(destination, "cannot create");
    temp_path_.assign(tmpl.data());
    // Keep the permissions of the file being replaced, else those of a new file.
    const mode_t mode = exists ? (existing.st_mode & 07777) : DefaultFileMode();
    ::fchmod(fd_, mode);
    return JobStatus::Ok();
}

void AtomicFile::OpenStandardOutput() {
    Discard();
    fd_ = STDOUT_FILENO;
    to_stdout_ = true;
    committed_ = false;
    destination_ = "-";
    temp_path_.clear();
    status_ = JobStatus::Ok();
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
}

void AtomicFile::Write(std::string_view bytes) {
    if (!status_.ok() || fd_ < 0) return;
    while (!bytes.empty()) {
        if (used_ == kBufferSize && !Flush()) return;
        const std::size_t take = std::min(bytes.size(), kBufferSize - used_);
        std::memcpy(buffer_.get() + used_, bytes.data(), take);
        used_ += take;
        bytes.remove_prefix(take);
    }
}

void AtomicFile::WriteLine(std::string_view line) {
    if (used_ + line.size() + 2 <= kBufferSize) {
        // The common case: the whole line fits in the buffer.
        char* at = buffer_.get() + used_;
        CopySmall(at, line.data(), line.size());  // an empty line may have no data
        at[line.size()] = '\r';
        at[line.size() + 1] = '\n';
        used_ += line.size() + 2;
        return;
    }
    Write(line);
    Write("\r\n");
}

void AtomicFile::WriteLineParts(std::span<const std::string_view> parts) {
    std::size_t size = 2;
    for (const std::string_view part : parts) size += part.size();
    if (used_ + size > kBufferSize) {
        for (const std::string_view part : parts) Write(part);
        Write("\r\n");
        return;
    }
    // Pieces are mostly a few bytes long: copied in fixed-size moves, two of
    // them overlapping, rather than through a call per piece.
    char* at = buffer_.get() + used_;
    for (const std::string_view part : parts) {
        CopySmall(at, part.data(), part.size());
        at += part.size();
    }
    *at++ = '\r';
    *at++ = '\n';
    used_ += size;
}

bool AtomicFile::Flush() {
    std::size_t done = 0;
    while (done < used_) {
        const ssize_t put = ::write(fd_, buffer_.get() + done, used_ - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            status_ = JobStatus::FromErrno(destination_, "cannot write");
            used_ = 0;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    used_ = 0;
    return true;
}

JobStatus AtomicFile::Commit() {
    if (fd_ < 0) {
        if (status_.ok()) {
            status_ = JobStatus::Failure(
                destination_, std::make_error_code(std::errc::bad_file_descriptor), "cannot write");
        }
        return status_;
    }
    if (status_.ok()) Flush();
    if (to_stdout_) {
        fd_ = -1;
        committed_ = true;
        return status_;
    }
    if (!status_.ok()) {
        Discard();
        return status_;
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        status_ = JobStatus::FromErrno(destination_, "cannot write");
        ::unlink(temp_path_.c_str());
        return status_;
    }
    fd_ = -1;
    if (::rename(temp_path_.c_str(), destination_.c_str()) != 0) {
        status_ = JobStatus::FromErrno(destination_, "cannot replace");
        ::unlink(temp_path_.c_str());
        return status_;
    }
    committed_ = true;
    return status_;
}

}  // namespace varn
