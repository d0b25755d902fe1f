// The varn binary on compressed inputs: a gzip and a zip file give every
// command the output of the plain file, from a file and from a pipe;
// --member picks a zip file's member; a refused or damaged input exits 1
// with its reason and writes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli_support.h"
#include "packed_support.h"
#include "test_support.h"

namespace varn::cli {
namespace {

using testing::kVarn;
using varn::testing::TempDir;

// 150 one-minute lines over two days.
std::string MinuteLines() {
    std::string text;
    for (int i = 0; i < 150; ++i) {
        const int minute = (23 * 60 - 40 + i) % 1440;
        char line[64];
        std::snprintf(line, sizeof line, "01/%d/2024,%02d:%02d,1.2%d,1.3,1.1,1.2%d,100\r\n",
                      i < 100 ? 13 : 14, minute / 60, minute % 60, i % 10, i % 7);
        text += line;
    }
    return text;
}

testing::Outcome RunShell(const TempDir& dir, const std::string& command) {
    return testing::Shell(dir, "export LC_ALL=C; " + command);
}

TEST(DecodeCli, CompressedInputsGiveThePlainFilesOutput) {
    TempDir dir;
    const std::string text = MinuteLines();
    dir.Write("m.csv", text);
    dir.Write("m.csv.gz", varn::testing::GzipMembers(text, 2000));
    dir.Write("m.zip", varn::testing::Zip({{"m.csv", text}}));
    dir.Write("two.zip", varn::testing::Zip({{"notes.txt", "hello\n"}, {"m.csv", text}}));
    const std::string commands[] = {
        "bars --period day IN out && cat out",
        "bars -p 5min --delimiter comma IN - | tail -3",
        "detect IN",
        "count IN",
        "truncate -n 3 IN -",
        "convert -f 2 IN out && cat out",
    };
    for (const std::string& command : commands) {
        const auto with = [&](const std::string& in) {
            std::string line = kVarn + " " + command;
            const std::size_t at = line.find("IN");
            return line.replace(at, 2, in);
        };
        const testing::Outcome plain = RunShell(dir, with("m.csv"));
        ASSERT_EQ(plain.code, 0) << command << ": " << plain.err;
        ASSERT_FALSE(plain.out.empty());
        // Files, standard input that is a file, and pipes.
        for (const std::string in : {"m.csv.gz", "m.zip", "--member m.csv two.zip", "- <m.zip",
                                     "- <m.csv.gz", "cat m.csv.gz |", "cat m.zip |"}) {
            SCOPED_TRACE(command + " on " + in);
            const testing::Outcome got =
                RunShell(dir, in.starts_with("cat ") ? in + " " + with("-") : with(in));
            EXPECT_EQ(got.code, 0) << got.err;
            EXPECT_EQ(got.out, plain.out);
            EXPECT_EQ(got.err, plain.err);
        }
    }
}

TEST(DecodeCli, RefusedInputsExitOneAndWriteNothing) {
    struct Row {
        const char* name;
        std::string bytes;
        const char* options;
        const char* says;
    };
    const std::string text = MinuteLines();
    const std::string gzip = varn::testing::Gzip(text);
    const Row rows[] = {
        {"two members", varn::testing::Zip({{"a.csv", text}, {"b.csv", text}}), "",
         "varn: in: a zip file of 2 members (a.csv, b.csv): choose one with --member NAME, or "
         "unpack it\n"},
        {"no such member", varn::testing::Zip({{"a.csv", text}}), "--member b.csv",
         "varn: in: the zip file has no member b.csv (it holds a.csv)\n"},
        {"cut-short gzip", gzip.substr(0, gzip.size() - 9), "",
         "varn: in: gzip data is damaged (it ends early: the file is cut short)\n"},
        {"xz", varn::testing::Packed(text, ARCHIVE_FILTER_XZ), "",
         "varn: in: xz-compressed: unpack it first with unxz -k\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        dir.Write("in", row.bytes);
        const testing::Outcome got =
            RunShell(dir, kVarn + " bars -p day " + row.options + " in out.txt");
        EXPECT_EQ(got.code, 1);
        EXPECT_EQ(got.err, row.says);
        EXPECT_EQ(dir.Listing(), "in ");
    }
}

}  // namespace
}  // namespace varn::cli
