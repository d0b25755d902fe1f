#include "io/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

namespace varn {
namespace {

using testing::ReadAll;
using testing::TempDir;

TEST(AtomicFile, WritesLinesWithCrLfOnCommit) {
    TempDir dir;
    const std::string dest = dir.Path("out.txt");
    AtomicFile out;
    ASSERT_TRUE(out.Open(dest).ok());
    out.WriteLine("a");
    out.WriteLine("");
    out.WriteLine(std::string("b\0c", 3));
    // Nothing at the destination before the commit.
    EXPECT_FALSE(std::filesystem::exists(dest));
    ASSERT_TRUE(out.Commit().ok());
    EXPECT_EQ(ReadAll(dest), std::string("a\r\n\r\nb\0c\r\n", 10));
    EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AtomicFile, LeavesDestinationUntouchedWithoutCommit) {
    TempDir dir;
    const std::string dest = dir.Write("out.txt", "precious");
    {
        AtomicFile out;
        ASSERT_TRUE(out.Open(dest).ok());
        out.WriteLine("partial");
    }
    EXPECT_EQ(ReadAll(dest), "precious");
    EXPECT_EQ(dir.Listing(), "out.txt ");
}

TEST(AtomicFile, WritesLinesLargerThanItsBuffer) {
    TempDir dir;
    const std::string dest = dir.Path("big.txt");
    const std::string line(2'500'000, 'z');
    AtomicFile out;
    ASSERT_TRUE(out.Open(dest).ok());
    for (int i = 0; i < 3; ++i) out.WriteLine(line);
    ASSERT_TRUE(out.Commit().ok());
    EXPECT_EQ(ReadAll(dest), line + "\r\n" + line + "\r\n" + line + "\r\n");
}

TEST(AtomicFile, KeepsPermissionsOfReplacedFile) {
    TempDir dir;
    const std::string dest = dir.Write("out.txt", "old");
    ASSERT_EQ(chmod(dest.c_str(), 0640), 0);
    AtomicFile out;
    ASSERT_TRUE(out.Open(dest).ok());
    out.WriteLine("new");
    ASSERT_TRUE(out.Commit().ok());
    struct stat info {};
    ASSERT_EQ(stat(dest.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

TEST(AtomicFile, ReportsUnwritableDestinationByName) {
    TempDir dir;
    struct Row {
        const char* name;
        std::string dest;
    };
    const std::string folder = dir.Path("folder");
    std::filesystem::create_directory(folder);
    const Row rows[] = {
        {"missing folder", dir.Path("no/such/out.txt")},
        {"a folder", folder},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtomicFile out;
        const JobStatus status = out.Open(row.dest);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.Message().find(row.dest), std::string::npos);
    }
}

TEST(AtomicFile, ReportsWriteFailureAtCommit) {
    // /dev/full fails every write; its folder cannot hold our temporary file
    // unless we are root, so write through standard output redirected there.
    TempDir dir;
    const int saved = dup(STDOUT_FILENO);
    const int full = open("/dev/full", O_WRONLY);
    if (full < 0) GTEST_SKIP() << "no /dev/full";
    dup2(full, STDOUT_FILENO);
    AtomicFile out;
    out.OpenStandardOutput();
    out.WriteLine("x");
    const JobStatus status = out.Commit();
    dup2(saved, STDOUT_FILENO);
    close(full);
    close(saved);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error, std::errc::no_space_on_device);
}

}  // namespace
}  // namespace varn
