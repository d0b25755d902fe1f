#pragma once
// Running `varn` from the command-line tests: in-process through RunVarn, or
// as the real binary through the shell in a fresh temporary folder.

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "test_support.h"

namespace varn::cli::testing {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

// varn with args, in this process.
inline Outcome RunCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunVarn(args, out, err);
    return {code, out.str(), err.str()};
}

// The varn binary, quoted for the shell.
inline const std::string kVarn = std::string("'") + VARN_BIN + "'";

// Runs command through the shell in dir: its exit code, standard output and
// standard error (kept beside the folder, not in it).
inline Outcome Shell(const varn::testing::TempDir& dir, const std::string& command) {
    const std::string err_log = dir.path().string() + ".err";
    const std::string full =
        "cd '" + dir.path().string() + "' && { " + command + "; } 2>'" + err_log + "'";
    FILE* pipe = popen(full.c_str(), "r");
    std::string out;
    char buffer[4096];
    std::size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
    const int status = pclose(pipe);
    const std::string err = varn::testing::ReadAll(err_log);
    std::remove(err_log.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, err};
}

}  // namespace varn::cli::testing
