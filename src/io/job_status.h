#pragma once
// The outcome of a job that reads or writes files: ok, or the failing path,
// the operating system's reason and what was being done. The edges (window and
// command line) turn it into words once:
// "prices.txt: cannot open for reading: No such file or directory".
// A refused input carries its reason in words of its own, which then stand
// in place of the error's: "prices.xz: xz-compressed: unpack it first with
// unxz -k".

#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace varn {

struct JobStatus {
    std::string path;       // the file concerned; empty when ok
    std::error_code error;  // the reason; empty when ok
    std::string action;     // what was being done, e.g. "cannot open for reading"
    std::string detail;     // the reason in words, when the error's own are too general

    static JobStatus Ok() { return {}; }
    static JobStatus Failure(std::string path, std::error_code error, std::string action) {
        return {std::move(path), error, std::move(action), {}};
    }
    // An input read or refused for a reason told in words; action may be empty.
    static JobStatus Refusal(std::string path, std::error_code error, std::string detail,
                             std::string action = {}) {
        return {std::move(path), error, std::move(action), std::move(detail)};
    }
    // The status of errno after a failed system call.
    static JobStatus FromErrno(std::string path, std::string action);

    bool ok() const { return !error; }
    explicit operator bool() const { return ok(); }

    // "<path>: <action>: <reason>" (the reason: detail, or else the error's
    // message), or empty when ok; the path as DisplayName shows it.
    std::string Message() const;
};

// Runs job (a callable returning JobStatus). Running out of memory on the way
// becomes a failure naming path, "Cannot allocate memory", instead of ending
// the program; writers destroyed by the unwinding have removed their
// temporary files by then.
//
//   CatchOutOfMemory("huge.txt", [&] { return ConvertPriceFile(...); })
//     -> "huge.txt: cannot read: Cannot allocate memory" when memory ran out
template <typename Job>
JobStatus CatchOutOfMemory(const std::string& path, Job&& job) {
    try {
        return job();
    } catch (const std::bad_alloc&) {
        return JobStatus::Failure(path, std::make_error_code(std::errc::not_enough_memory),
                                  "cannot read");
    }
}

// A file name as error lines show it, on one line: as typed, '' when empty,
// and in the shell's $'...' form with escapes when it holds a line break or
// another control character: "a\nb" shows as $'a\nb'.
std::string DisplayName(std::string_view name);

// text with every control character written as an escape (\n, \t, \r,
// \xHH), so that it stays on one line.
std::string EscapeControls(std::string_view text);

}  // namespace varn
