// varn: the command line over the same jobs as the window.
#include <clocale>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/app.h"

int main(int argc, char** argv) {
    // A closed output pipe shows up as a failed write, which ends quietly.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file grown past the size limit: the job fails and cleans up.
    std::signal(SIGXFSZ, SIG_IGN);
    // Regional month names and AM/PM designators come from the locale; numbers
    // are read and written without it.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    std::vector<std::string> args(argv + 1, argv + argc);
    const int code = varn::cli::RunVarn(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
