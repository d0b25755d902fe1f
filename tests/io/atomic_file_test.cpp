#include "io/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "io/signal_cleanup.h"
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

std::string FileType(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return "missing";
    if (S_ISLNK(info.st_mode)) return "link";
    if (S_ISREG(info.st_mode)) return "file";
    if (S_ISCHR(info.st_mode)) return "character device";
    if (S_ISFIFO(info.st_mode)) return "fifo";
    return "other";
}

TEST(AtomicFile, FollowsLinksToTheirFinalTarget) {
    struct Row {
        const char* fault;
        std::vector<std::pair<std::string, std::string>> links;  // name, text
        const char* dest;
        const char* target;  // the file that must hold the new lines
    };
    const Row rows[] = {
        {"a link was replaced by a file", {{"link", "t"}}, "link", "t"},
        {"a link to a link was replaced", {{"l1", "t"}, {"l2", "l1"}}, "l2", "t"},
        {"a relative link in a subfolder was read from the wrong folder",
         {{"sub/link", "../t"}},
         "sub/link",
         "t"},
        {"a dangling link was replaced instead of creating its target",
         {{"dangling", "sub/new"}},
         "dangling",
         "sub/new"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TempDir dir;
        std::filesystem::create_directory(dir.Path("sub"));
        dir.Write("t", "old");
        for (const auto& [name, text] : row.links) {
            ASSERT_EQ(symlink(text.c_str(), dir.Path(name).c_str()), 0);
        }
        AtomicFile out;
        ASSERT_TRUE(out.Open(dir.Path(row.dest)).ok());
        out.WriteLine("new");
        ASSERT_TRUE(out.Commit().ok());
        for (const auto& link : row.links) EXPECT_EQ(FileType(dir.Path(link.first)), "link");
        EXPECT_EQ(FileType(dir.Path(row.target)), "file");
        EXPECT_EQ(ReadAll(dir.Path(row.target)), "new\r\n");
        EXPECT_EQ(ReadAll(dir.Path(row.dest)), "new\r\n");
    }
}

TEST(MayFollowLink, RefusesOtherUsersLinksInStickySharedFolders) {
    constexpr uid_t kRoot = 0, kAlice = 1000, kMallory = 1001;
    struct Row {
        const char* name;
        uid_t link_owner, folder_owner, folder_mode, caller;
        bool want;
    };
    const Row rows[] = {
        {"another user's link in /tmp, root writing", kMallory, kRoot, 01777, kRoot, false},
        {"another user's link in /tmp, a user writing", kMallory, kRoot, 01777, kAlice, false},
        {"one's own link in /tmp", kAlice, kRoot, 01777, kAlice, true},
        {"the folder owner's link in a shared folder", kAlice, kAlice, 01777, kRoot, true},
        {"sticky but not world-writable", kMallory, kRoot, 01770, kRoot, true},
        {"world-writable but not sticky", kMallory, kRoot, 00777, kRoot, true},
        {"a private folder", kMallory, kMallory, 00755, kRoot, true},
        {"the sticky and write bits among others", kMallory, kRoot, 041777, kAlice, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MayFollowLink(row.link_owner, row.folder_owner, row.folder_mode, row.caller),
                  row.want);
    }
}

TEST(AtomicFile, FollowsLinksInASharedFolderOnlyWhenTheirOwnerIsTrusted) {
    TempDir dir;
    const std::string shared = dir.Path("shared");
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string target = dir.Write("important", "precious");
    const std::string link = shared + "/out.txt";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    // One's own link is followed as before.
    AtomicFile own;
    ASSERT_TRUE(own.Open(link).ok());
    own.WriteLine("new");
    ASSERT_TRUE(own.Commit().ok());
    EXPECT_EQ(ReadAll(target), "new\r\n");
    if (geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
    // Another user's link, live or dangling, is refused and nothing is written.
    const std::string dangling = shared + "/new.txt";
    ASSERT_EQ(symlink(dir.Path("created").c_str(), dangling.c_str()), 0);
    for (const std::string& planted : {link, dangling}) {
        SCOPED_TRACE(planted);
        ASSERT_EQ(lchown(planted.c_str(), 65534, 65534), 0);
        AtomicFile out;
        const JobStatus status = out.Open(planted);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error, std::errc::permission_denied);
        EXPECT_NE(status.Message().find("link another user owns"), std::string::npos);
    }
    EXPECT_EQ(ReadAll(target), "new\r\n");
    EXPECT_EQ(dir.Listing(), "important shared ");
}

TEST(AtomicFile, ReportsALinkThatLeadsRoundInACircle) {
    TempDir dir;
    ASSERT_EQ(symlink("b", dir.Path("a").c_str()), 0);
    ASSERT_EQ(symlink("a", dir.Path("b").c_str()), 0);
    AtomicFile out;
    const JobStatus status = out.Open(dir.Path("a"));
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error, std::errc::too_many_symbolic_link_levels);
    EXPECT_EQ(dir.Listing(), "a b ");
}

TEST(AtomicFile, WritesDevicesAndFifosInPlace) {
    TempDir dir;
    const std::string null_copy = dir.Path("null");
    if (mknod(null_copy.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "mknod refused here";
    }
    {
        AtomicFile out;
        ASSERT_TRUE(out.Open(null_copy).ok());
        out.WriteLine("gone");
        ASSERT_TRUE(out.Commit().ok());
    }
    EXPECT_EQ(FileType(null_copy), "character device") << "the device became a file";
    EXPECT_EQ(dir.Listing(), "null ");

    // A FIFO's reader gets the lines; the FIFO stays.
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadAll(fifo); });
    {
        AtomicFile out;
        ASSERT_TRUE(out.Open(fifo).ok());
        out.WriteLine("through");
        EXPECT_EQ(RegisteredTemporaryFiles(), 0) << "no temporary file for a FIFO";
        ASSERT_TRUE(out.Commit().ok());
    }
    reader.join();
    EXPECT_EQ(got, "through\r\n");
    EXPECT_EQ(FileType(fifo), "fifo");
}

TEST(AtomicFile, KeepsOwnerAndGroupOfReplacedFile) {
    if (geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    TempDir dir;
    const std::string dest = dir.Write("out.txt", "old");
    ASSERT_EQ(chown(dest.c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(dest.c_str(), 0640), 0);
    AtomicFile out;
    ASSERT_TRUE(out.Open(dest).ok());
    out.WriteLine("new");
    ASSERT_TRUE(out.Commit().ok());
    struct stat info {};
    ASSERT_EQ(stat(dest.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534U);
    EXPECT_EQ(info.st_gid, 65534U);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
}

TEST(AtomicFile, RegistersItsTemporaryFileWhileItExists) {
    struct Row {
        const char* fault;
        bool commit;
    };
    const Row rows[] = {{"a committed file stayed registered", true},
                        {"a discarded file stayed registered", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        TempDir dir;
        const int before = RegisteredTemporaryFiles();
        {
            AtomicFile out;
            ASSERT_TRUE(out.Open(dir.Path("out.txt")).ok());
            EXPECT_EQ(RegisteredTemporaryFiles(), before + 1) << "a signal would leave it behind";
            if (row.commit) {
                ASSERT_TRUE(out.Commit().ok());
            }
        }
        EXPECT_EQ(RegisteredTemporaryFiles(), before);
    }
}

TEST(SignalCleanup, RegistryHoldsFixedSlots) {
    std::vector<int> slots;
    for (int i = 0; i < kTemporaryFileSlots; ++i) {
        slots.push_back(RegisterTemporaryFile("x" + std::to_string(i)));
        EXPECT_GE(slots.back(), 0);
    }
    EXPECT_EQ(RegisterTemporaryFile("one too many"), -1);
    EXPECT_EQ(RegisterTemporaryFile(std::string(PATH_MAX, 'p')), -1) << "too long to hold";
    EXPECT_EQ(RegisterTemporaryFile(""), -1);
    for (const int slot : slots) ForgetTemporaryFile(slot);
    ForgetTemporaryFile(-1);
    EXPECT_EQ(RegisteredTemporaryFiles(), 0);
}

// Runs body in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(SignalCleanup, SignalRemovesRegisteredFilesAndEndsTheProcess) {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        TempDir dir;
        const std::string temp = dir.Write(".varn-test", "partial");
        const std::string kept = dir.Write("kept", "kept");
        const int status = InChild([&] {
            signal(sig, SIG_DFL);
            InstallCleanupOnSignals();
            RegisterTemporaryFile(temp);
            raise(sig);
            _exit(99);  // not reached: the signal ends the process
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_EQ(dir.Listing(), "kept ");
    }
}

TEST(SignalCleanup, IgnoredSignalStaysIgnored) {
    const int status = InChild([] {
        signal(SIGHUP, SIG_IGN);  // as under nohup
        InstallCleanupOnSignals();
        raise(SIGHUP);
        _exit(7);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST(SignalCleanup, ClosedStandardStreamsGetTheNullDevice) {
    struct Row {
        const char* fault;
        std::vector<int> closed;
    };
    const Row rows[] = {
        {"a file opened next took standard input's number", {0}},
        {"a file opened next took standard output's number", {1}},
        {"all three closed", {0, 1, 2}},
        {"a write to closed standard error vanished", {2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        const int status = InChild([&] {
            for (const int fd : row.closed) close(fd);
            if (!OpenClosedStandardStreams()) _exit(1);
            for (const int fd : row.closed) {
                struct stat info {};
                if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) ||
                    info.st_rdev != makedev(1, 3)) {
                    _exit(2);
                }
                // Output written to a closed stream is not lost without a word.
                if (fd != STDIN_FILENO && (write(fd, "x", 1) != -1 || errno != EBADF)) _exit(4);
            }
            // The next file opened takes a number above standard error.
            const int next = open(".", O_RDONLY);
            _exit(next > STDERR_FILENO ? 0 : 3);
        });
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

TEST(JobStatus, NamesStayOnOneLine) {
    struct Row {
        std::string name;
        const char* shown;
    };
    const Row rows[] = {
        {"", "''"},
        {"prices.txt", "prices.txt"},
        {"with space.txt", "with space.txt"},
        {"a\nb", "$'a\\nb'"},
        {"tab\tcr\r", "$'tab\\tcr\\r'"},
        {"it's\x01", "$'it\\'s\\x01'"},
        {"back\\slash\x7f", "$'back\\\\slash\\x7F'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(DisplayName(row.name), row.shown);
        const JobStatus status = JobStatus::Failure(
            row.name, std::make_error_code(std::errc::no_such_file_or_directory), "cannot open");
        EXPECT_EQ(status.Message(),
                  std::string(row.shown) + ": cannot open: " +
                      std::make_error_code(std::errc::no_such_file_or_directory).message());
    }
    EXPECT_EQ(EscapeControls("--lines: 1\n2\x1b"), "--lines: 1\\n2\\x1B");
}

TEST(JobStatus, OutOfMemoryBecomesAFailureNamingTheFile) {
    TempDir dir;
    const std::string dest = dir.Write("out.txt", "precious");
    const JobStatus status = CatchOutOfMemory("huge.txt", [&] {
        AtomicFile out;
        if (JobStatus opened = out.Open(dest); !opened) return opened;
        out.WriteLine("partial");
        throw std::bad_alloc();
        return out.Commit();
    });
    EXPECT_EQ(status.Message(), "huge.txt: cannot read: " +
                                    std::make_error_code(std::errc::not_enough_memory).message());
    EXPECT_EQ(dir.Listing(), "out.txt ") << "the temporary file went with the unwinding";
    EXPECT_EQ(ReadAll(dest), "precious");
    EXPECT_TRUE(CatchOutOfMemory("x", [] { return JobStatus::Ok(); }).ok());
}

}  // namespace
}  // namespace varn
