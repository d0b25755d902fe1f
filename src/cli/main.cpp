// varn: the command line over the same jobs as the window.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "cli/app.h"
#include "io/signal_cleanup.h"

namespace {

// Flushes what was printed on standard output. Returns 0 when it all arrived
// (or its reader went away), else the errno of the failed write.
int FlushStandardOutput() {
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (!failed) return 0;
    return errno != 0 ? errno : EIO;
}

}  // namespace

int main(int argc, char** argv) {
    // A job's files must not take the number of a closed standard stream: a
    // file opened as descriptor 0 would be read as standard input.
    varn::OpenClosedStandardStreams();
    // Ctrl-C, a kill or a hang-up removes the temporary file of the job.
    varn::InstallCleanupOnSignals();
    // A closed output pipe shows up as a failed write, which ends quietly.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file grown past the size limit: the job fails and cleans up.
    std::signal(SIGXFSZ, SIG_IGN);
    // Regional month names and AM/PM designators come from the locale; numbers
    // are read and written without it.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    int code = 1;
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        code = varn::cli::RunVarn(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "varn: " << std::error_code(ENOMEM, std::generic_category()).message() << '\n';
    }
    // What varn prints for people (a count, layouts, help) is only printed once
    // it has reached its destination.
    if (const int error = FlushStandardOutput(); error != 0 && error != EPIPE) {
        std::cerr << "varn: standard output: cannot write: "
                  << std::error_code(error, std::generic_category()).message() << '\n';
        if (code == 0) code = 1;
    }
    return code;
}
