// Every example of the README (its `console` blocks) and of varn's manual (its
// .EX blocks that begin with a "$ " command) prints what it shows: each block
// runs in a fresh folder with a copy of samples/, varn on the PATH, standard
// error with standard output, under the C locale. CRs and blanks at line ends
// are not compared.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

// A block's commands, each with what the document shows it printing.
using Block = std::vector<std::pair<std::string, std::string>>;

// Each line without CRs and blanks at its end; roff's "\-" and "\e" read.
std::string Plain(const std::string& text, bool roff) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        for (std::size_t at = 0; roff && at + 1 < line.size(); ++at) {
            if (line[at] == '\\' && (line[at + 1] == '-' || line[at + 1] == 'e')) {
                line.replace(at, 2, line[at + 1] == '-' ? "-" : "\\");
            }
        }
        out += line + "\n";
    }
    return out;
}

// The blocks between lines equal to open and close that begin with "$ ".
std::vector<Block> Blocks(const std::string& path, const std::string& open,
                          const std::string& close, bool roff) {
    std::istringstream in(Plain(varn::testing::ReadAll(path), roff));
    std::vector<Block> blocks;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line == (inside ? close : open)) {
            inside = !inside;
            if (inside) blocks.emplace_back();
        } else if (inside && line.rfind("$ ", 0) == 0) {
            blocks.back().push_back({line.substr(2), ""});
        } else if (inside && !blocks.back().empty()) {
            blocks.back().back().second += line + "\n";
        }
    }
    std::erase_if(blocks, [](const Block& block) { return block.empty(); });
    return blocks;
}

void RunBlocks(const std::vector<Block>& blocks) {
    const std::string bin = VARN_BIN;
    const std::string path =
        "export LC_ALL=C PATH='" + bin.substr(0, bin.rfind('/')) + "':\"$PATH\"; ";
    for (const Block& block : blocks) {
        varn::testing::TempDir dir;
        ASSERT_EQ(testing::Shell(dir, "cp -r '" VARN_SOURCE_DIR "/samples' .").code, 0);
        for (const auto& [command, shown] : block) {
            SCOPED_TRACE(command);
            const testing::Outcome got = testing::Shell(dir, path + "{ " + command + "; } 2>&1");
            EXPECT_EQ(got.code, 0);
            EXPECT_EQ(Plain(got.out, false), shown);
        }
    }
}

TEST(Documents, ReadmeExamplesPrintWhatTheyShow) {
    const auto blocks = Blocks(VARN_SOURCE_DIR "/README.md", "```console", "```", false);
    EXPECT_GE(blocks.size(), 2U);
    RunBlocks(blocks);
}

TEST(Documents, ManualExamplesPrintWhatTheyShow) {
    const auto blocks = Blocks(VARN_SOURCE_DIR "/packaging/man/varn.1.in", ".EX", ".EE", true);
    EXPECT_GE(blocks.size(), 12U);
    RunBlocks(blocks);
}

}  // namespace
}  // namespace varn::cli
