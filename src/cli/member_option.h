#pragma once
// `--member NAME`, taken by every subcommand that reads an input: the member
// of a zip file to read when it holds several.
//
//   varn count --member prices.csv data.zip

#include <CLI/CLI.hpp>
#include <string>

namespace varn::cli {

inline void AddMemberOption(CLI::App* command, std::string& member) {
    command->add_option("--member", member,
                        "the member of a zip INPUT to read, when it holds several");
}

}  // namespace varn::cli
