#include "io/atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "io/copy_small.h"
#include "io/signal_cleanup.h"

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

// Symbolic links followed before giving up, as the kernel does.
constexpr int kMaxLinkDepth = 40;

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What a destination is once its symbolic links are followed.
struct Destination {
    enum class Kind {
        New,       // nothing there yet: created at target
        Existing,  // a regular file at target, described by info
        Straight,  // not a regular file: written in place
    };
    Kind kind = Kind::New;
    std::string target;
    struct stat info {};
};

// Whether the link at path may be followed: not when it lies in a sticky
// world-writable folder (such as /tmp) and belongs to neither the caller nor
// the folder's owner, where another user may have planted it.
JobStatus CheckLinkOwner(const std::string& destination, const std::string& path,
                         const struct stat& link) {
    struct stat folder {};
    if (::stat(DirectoryOf(path).c_str(), &folder) != 0) return JobStatus::Ok();
    if (MayFollowLink(link.st_uid, folder.st_uid, folder.st_mode, ::geteuid())) {
        return JobStatus::Ok();
    }
    return JobStatus::Failure(destination, std::make_error_code(std::errc::permission_denied),
                              "will not follow a link another user owns in a shared folder "
                              "(remove the link or write elsewhere)");
}

JobStatus FindDestination(const std::string& destination, Destination& found) {
    std::string path = destination;
    for (int depth = 0;; ++depth) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            // Missing (a new file or a dangling link's target) or unreachable:
            // creating the temporary file beside it tells which.
            found.kind = Destination::Kind::New;
            found.target = path;
            return JobStatus::Ok();
        }
        if (S_ISDIR(info.st_mode)) {
            return JobStatus::Failure(destination, std::make_error_code(std::errc::is_a_directory),
                                      "cannot write");
        }
        if (S_ISREG(info.st_mode)) {
            found.kind = Destination::Kind::Existing;
            found.target = path;
            found.info = info;
            return JobStatus::Ok();
        }
        if (!S_ISLNK(info.st_mode)) {
            found.kind = Destination::Kind::Straight;
            return JobStatus::Ok();
        }
        // A link under /proc or /dev/fd stands for an open descriptor (its
        // text may be "pipe:[1234]"): what it opens is written in place.
        if (StartsWith(path, "/proc/") || StartsWith(path, "/dev/fd/")) {
            struct stat opened {};
            if (::stat(path.c_str(), &opened) == 0 && S_ISDIR(opened.st_mode)) {
                return JobStatus::Failure(
                    destination, std::make_error_code(std::errc::is_a_directory), "cannot write");
            }
            found.kind = Destination::Kind::Straight;
            return JobStatus::Ok();
        }
        if (JobStatus owner = CheckLinkOwner(destination, path, info); !owner) return owner;
        if (depth == kMaxLinkDepth) {
            return JobStatus::Failure(
                destination, std::make_error_code(std::errc::too_many_symbolic_link_levels),
                "cannot create");
        }
        std::string text(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        for (;;) {
            const ssize_t got = ::readlink(path.c_str(), text.data(), text.size());
            if (got < 0) return JobStatus::FromErrno(destination, "cannot create");
            if (static_cast<std::size_t>(got) < text.size()) {
                text.resize(static_cast<std::size_t>(got));
                break;
            }
            text.resize(text.size() * 2);  // the link grew since lstat
        }
        // A relative link is read from the folder that holds it.
        path = (!text.empty() && text[0] == '/')
                   ? text
                   : std::string(DirectoryOf(path)).append("/").append(text);
    }
}

}  // namespace

bool MayFollowLink(uid_t link_owner, uid_t folder_owner, mode_t folder_mode, uid_t caller) {
    const bool shared = (folder_mode & S_ISVTX) != 0 && (folder_mode & S_IWOTH) != 0;
    return !shared || link_owner == caller || link_owner == folder_owner;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::RemoveTemporary() noexcept {
    if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
    ForgetTemporaryFile(signal_slot_);
    signal_slot_ = -1;
}

void AtomicFile::Discard() noexcept {
    if (fd_ >= 0 && !to_stdout_) {
        ::close(fd_);
        if (!committed_ && !straight_) RemoveTemporary();
    }
    fd_ = -1;
}

JobStatus AtomicFile::Open(const std::string& destination) {
    Discard();
    destination_ = destination;
    target_.clear();
    temp_path_.clear();
    committed_ = false;
    to_stdout_ = false;
    straight_ = false;
    status_ = JobStatus::Ok();
    lf_only_ = false;
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);

    Destination found;
    if (JobStatus status = FindDestination(destination, found); !status) return status;
    if (found.kind == Destination::Kind::Straight) {
        fd_ = ::open(destination.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) return JobStatus::FromErrno(destination, "cannot open for writing");
        straight_ = true;
        return JobStatus::Ok();
    }
    target_ = std::move(found.target);

    std::string name = DirectoryOf(target_);
    name.append("/.varn-XXXXXX");
    std::vector<char> tmpl(name.begin(), name.end());
    tmpl.push_back('\0');
    // A signal between creating the file and registering it would leave the
    // file behind: the ending signals wait until it is registered.
    sigset_t ending;
    sigset_t before;
    sigemptyset(&ending);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&ending, sig);
    ::pthread_sigmask(SIG_BLOCK, &ending, &before);
    fd_ = ::mkostemp(tmpl.data(), O_CLOEXEC);
    const int create_errno = errno;
    if (fd_ >= 0) {
        temp_path_.assign(tmpl.data());
        signal_slot_ = RegisterTemporaryFile(temp_path_);
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (fd_ < 0) {
        errno = create_errno;
        return JobStatus::FromErrno(destination, "cannot create");
    }
    if (found.kind == Destination::Kind::Existing) {
        // Keep the owner and group of the file being replaced where allowed
        // (an unprivileged user mostly may not; that is not an error), then its
        // permissions: a change of owner may clear the set-user-ID bit.
        if (found.info.st_uid != ::geteuid() || found.info.st_gid != ::getegid()) {
            if (::fchown(fd_, found.info.st_uid, found.info.st_gid) != 0) {
                // The group alone, where the owner may not be given away.
                if (::fchown(fd_, static_cast<uid_t>(-1), found.info.st_gid) != 0) {
                    // Kept as the caller's: not an error.
                }
            }
        }
        ::fchmod(fd_, found.info.st_mode & 07777);
    } else {
        ::fchmod(fd_, DefaultFileMode());
    }
    return JobStatus::Ok();
}

void AtomicFile::OpenStandardOutput() {
    Discard();
    fd_ = STDOUT_FILENO;
    to_stdout_ = true;
    straight_ = false;
    committed_ = false;
    destination_ = "standard output";
    target_.clear();
    temp_path_.clear();
    status_ = JobStatus::Ok();
    lf_only_ = false;
    used_ = 0;
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
}

void AtomicFile::Write(std::string_view bytes) {
    if (!status_.ok() || fd_ < 0) return;
    if (bytes.size() >= kBufferSize) {
        // A large run goes straight out, without a copy into the buffer.
        if (used_ > 0 && !Flush()) return;
        WriteOut(bytes.data(), bytes.size());
        return;
    }
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
        at += line.size();
        if (!lf_only_) *at++ = '\r';
        *at = '\n';
        used_ += line.size() + (lf_only_ ? 1 : 2);
        return;
    }
    Write(line);
    Write(lf_only_ ? "\n" : "\r\n");
}

void AtomicFile::WriteLineParts(std::span<const std::string_view> parts) {
    std::size_t size = 2;
    for (const std::string_view part : parts) size += part.size();
    if (used_ + size > kBufferSize) {
        for (const std::string_view part : parts) Write(part);
        Write(lf_only_ ? "\n" : "\r\n");
        return;
    }
    // Pieces are mostly a few bytes long: copied in fixed-size moves, two of
    // them overlapping, rather than through a call per piece.
    char* at = buffer_.get() + used_;
    for (const std::string_view part : parts) {
        CopySmall(at, part.data(), part.size());
        at += part.size();
    }
    if (!lf_only_) *at++ = '\r';
    *at++ = '\n';
    used_ = static_cast<std::size_t>(at - buffer_.get());
}

bool AtomicFile::Flush() {
    const std::size_t used = std::exchange(used_, 0);
    return WriteOut(buffer_.get(), used);
}

bool AtomicFile::WriteOut(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(fd_, data + done, size - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            status_ = JobStatus::FromErrno(destination_, "cannot write");
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
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
    if (straight_) {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0 && errno != EINTR)
            status_ = JobStatus::FromErrno(destination_, "cannot write");
        committed_ = true;
        return status_;
    }
    // The data reaches the disk before the name does: after a power cut the
    // destination holds either its old bytes or all of the new ones.
    if (::fsync(fd_) != 0) {
        status_ = JobStatus::FromErrno(destination_, "cannot write");
        Discard();
        return status_;
    }
    if (::close(fd_) != 0) {
        fd_ = -1;
        status_ = JobStatus::FromErrno(destination_, "cannot write");
        RemoveTemporary();
        return status_;
    }
    fd_ = -1;
    if (::rename(temp_path_.c_str(), target_.c_str()) != 0) {
        status_ = JobStatus::FromErrno(destination_, "cannot replace");
        RemoveTemporary();
        return status_;
    }
    // Released after the rename: a signal in between unlinks a name that is
    // gone, which is harmless.
    ForgetTemporaryFile(signal_slot_);
    signal_slot_ = -1;
    committed_ = true;
    // The rename itself reaches the disk with the folder. The file is in
    // place either way, so a folder that cannot be flushed is no failure.
    const int folder = ::open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return status_;
}

}  // namespace varn
