// Every example of the README (its `console` blocks) and of varn's manual (its
// .EX blocks that begin with a "$ " command) runs as shown: each block in a
// fresh folder holding a copy of samples/, varn on the PATH, standard error
// with standard output, under the C locale. Blank ends of lines and CRs are
// not compared.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using varn::testing::ReadAll;
using varn::testing::TempDir;

struct Step {
    std::string command;
    std::string shown;  // what the document shows it printing
};
struct Example {
    std::string where;  // document and line, for failures
    std::vector<Step> steps;
};

// Each line without CRs and blanks at its end.
std::string Normalised(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        out += line + "\n";
    }
    return out;
}

// The blocks of text between a line equal to open and one equal to close
// whose first line is a command, with roff's "\-" and "\e" read when roff.
std::vector<Example> Blocks(const std::string& path, const std::string& open,
                            const std::string& close, bool roff) {
    std::istringstream in(ReadAll(path));
    std::vector<Example> examples;
    bool inside = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!inside) {
            if (line == open) {
                inside = true;
                examples.push_back({path + ":" + std::to_string(number), {}});
            }
            continue;
        }
        if (line == close) {
            inside = false;
            if (examples.back().steps.empty()) examples.pop_back();
            continue;
        }
        if (roff) {
            std::string read;
            for (std::size_t at = 0; at < line.size(); ++at) {
                const char next = at + 1 < line.size() ? line[at + 1] : '\0';
                if (line[at] == '\\' && (next == '-' || next == 'e')) {
                    read += next == '-' ? '-' : '\\';
                    ++at;
                } else {
                    read += line[at];
                }
            }
            line = read;
        }
        std::vector<Step>& steps = examples.back().steps;
        if (line.rfind("$ ", 0) == 0) {
            steps.push_back({line.substr(2), {}});
        } else if (!steps.empty()) {
            steps.back().shown += line + "\n";
        }
    }
    return examples;
}

void RunExamples(const std::vector<Example>& examples) {
    const std::string bin = VARN_BIN;
    const std::string bin_dir = bin.substr(0, bin.rfind('/'));
    for (const Example& example : examples) {
        SCOPED_TRACE(example.where);
        TempDir dir;
        ASSERT_EQ(testing::Shell(dir, "cp -r '" VARN_SOURCE_DIR "/samples' .").code, 0);
        for (const Step& step : example.steps) {
            SCOPED_TRACE(step.command);
            const testing::Outcome got =
                testing::Shell(dir, "export LC_ALL=C PATH='" + bin_dir + "':\"$PATH\"; { " +
                                        step.command + "; } 2>&1");
            EXPECT_EQ(got.code, 0);
            EXPECT_EQ(Normalised(got.out), Normalised(step.shown));
        }
    }
}

TEST(Documents, ReadmeExamplesPrintWhatTheyShow) {
    const std::vector<Example> examples =
        Blocks(VARN_SOURCE_DIR "/README.md", "```console", "```", false);
    EXPECT_GE(examples.size(), 2U);
    RunExamples(examples);
}

TEST(Documents, ManualExamplesPrintWhatTheyShow) {
    const std::vector<Example> examples =
        Blocks(VARN_SOURCE_DIR "/packaging/man/varn.1.in", ".EX", ".EE", true);
    EXPECT_GE(examples.size(), 12U);
    RunExamples(examples);
}

}  // namespace
}  // namespace varn::cli
