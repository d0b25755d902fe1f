#pragma once
// Helpers shared by the tests: a fresh temporary folder removed at the end,
// and whole-file reads and writes of raw bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace varn::testing {

// Layouts and periods by the numbers the lists show, for tables of cases.
template <typename Enum>
constexpr Enum Numbered(int n) {
    return static_cast<Enum>(n);
}

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varn-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to name and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string full = Path(name);
        std::ofstream out(full, std::ios::binary);
        out << bytes;
        return full;
    }

    // The names of the files in the folder, sorted.
    std::string Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        std::string joined;
        for (const auto& n : names) joined += n + " ";
        return joined;
    }

  private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Standard input replaced by a pipe that a thread fills with text, chunk
// bytes at a time, so that reads come back short; the old standard input is
// back when it goes.
class PipedStandardInput {
  public:
    explicit PipedStandardInput(std::string text, std::size_t chunk = 1000) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        saved_ = ::dup(STDIN_FILENO);
        ::dup2(ends[0], STDIN_FILENO);
        ::close(ends[0]);
        writer_ = std::thread([fd = ends[1], text = std::move(text), chunk] {
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t put =
                    ::write(fd, text.data() + done, std::min(text.size() - done, chunk));
                if (put <= 0) break;
                done += static_cast<std::size_t>(put);
            }
            ::close(fd);
        });
    }
    PipedStandardInput(const PipedStandardInput&) = delete;
    PipedStandardInput& operator=(const PipedStandardInput&) = delete;
    ~PipedStandardInput() {
        writer_.join();
        ::dup2(saved_, STDIN_FILENO);
        ::close(saved_);
    }

  private:
    int saved_ = -1;
    std::thread writer_;
};

}  // namespace varn::testing
