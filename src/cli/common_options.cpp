// The options more than one command takes.
#include "cli/command.h"
#include "cli/count_option.h"

namespace varn::cli {

void AddThreadsOption(CLI::App& cmd, int& threads, const std::string& what) {
    cmd.add_option("--threads", threads, what + " (default: one for each core, at most 32)")
        ->transform(CountValidator(1, 256));
}

void AddLineEndOption(CLI::App& cmd, std::string& eol) {
    cmd.add_option("--eol", eol, "how lines end: crlf (default) or lf")
        ->check(CLI::IsMember({"crlf", "lf"}));
}

LineEnd LineEndOf(const std::string& eol) { return eol == "lf" ? LineEnd::Lf : LineEnd::CrLf; }

}  // namespace varn::cli
