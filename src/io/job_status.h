#pragma once
// The outcome of a job that reads or writes files: ok, or the failing path,
// the operating system's reason and what was being done. The edges (window and
// command line) turn it into words once:
// "prices.txt: cannot open for reading: No such file or directory".

#include <string>
#include <system_error>
#include <utility>

namespace varn {

struct JobStatus {
    std::string path;       // the file concerned; empty when ok
    std::error_code error;  // the reason; empty when ok
    std::string action;     // what was being done, e.g. "cannot open for reading"

    static JobStatus Ok() { return {}; }
    static JobStatus Failure(std::string path, std::error_code error, std::string action) {
        return {std::move(path), error, std::move(action)};
    }
    // The status of errno after a failed system call.
    static JobStatus FromErrno(std::string path, std::string action);

    bool ok() const { return !error; }
    explicit operator bool() const { return ok(); }

    // "<path>: <action>: <reason>", or empty when ok.
    std::string Message() const;
};

}  // namespace varn
