#include "io/fd_stream.h"

#include <unistd.h>

#include <cerrno>

namespace varn {

std::size_t FdStream::Read(char* into, std::size_t size) {
    if (ended_) return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got > 0) return static_cast<std::size_t>(got);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) status_ = JobStatus::FromErrno(name_, "cannot read");
        ended_ = true;
        return 0;
    }
}

}  // namespace varn
