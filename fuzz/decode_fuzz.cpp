// Feeds arbitrary bytes to the decoding reader (io/decoded_input.h) as a
// whole input: as a file, so a zip file is read from its central directory,
// or through a pipe, so it is read as a stream. The first byte picks which,
// the size of the pieces read (a byte at a time up to 64 KiB, for the
// decoders' small-buffer paths), and whether a zip member is named; the rest
// is the input. A decompression bomb is read no further than 8 MiB.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/decoded_input.h"

namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// A descriptor that reads the bytes: a file in memory, or a pipe written
// and closed beforehand (made large enough to hold them).
int InputOf(const std::uint8_t* data, std::size_t size, bool piped) {
    if (piped) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return -1;
        // Never waiting: bytes the pipe cannot hold leave the input out.
        ::fcntl(ends[1], F_SETPIPE_SZ, static_cast<int>(size + 4096));
        ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
        const bool written = WriteAll(ends[1], data, size);
        ::close(ends[1]);
        if (!written) {
            ::close(ends[0]);
            return -1;
        }
        return ends[0];
    }
    const int fd = ::memfd_create("fuzz", MFD_CLOEXEC);
    if (fd < 0 || !WriteAll(fd, data, size) || ::lseek(fd, 0, SEEK_SET) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    constexpr std::size_t kPieces[] = {1, 2, 3, 7, 100, 4096, 5000, 65536};
    constexpr std::size_t kMostRead = std::size_t{8} << 20;
    const std::uint8_t choice = data[0];
    const int fd = InputOf(data + 1, size - 1, (choice & 1) != 0);
    if (fd < 0) return 0;
    varn::DecodedInput input;
    input.Adopt(fd, "fuzz", (choice & 0x10) != 0 ? "a" : "");
    std::vector<char> buffer(kPieces[(choice >> 1) & 7]);
    std::size_t total = 0;
    while (total < kMostRead) {
        const std::size_t got = input.Read(buffer.data(), buffer.size());
        if (got == 0) break;
        if (got > buffer.size()) __builtin_trap();  // a reader wrote past the buffer
        total += got;
    }
    // Refused or damaged inputs always say why.
    if (total < kMostRead && !input.status().ok() && input.status().Message().empty()) {
        __builtin_trap();
    }
    return 0;
}
