#pragma once
// The one member of a zip file, or the member chosen by name, decompressed as
// it is read, through libarchive. Directories, and the "__MACOSX/" entries
// some zip tools add, are not members to choose from. A file of several
// members and none chosen is refused naming them; a workbook (xl/...) or an
// OpenDocument file is refused as a spreadsheet.
//
// A regular file is read from its central directory, so the members are
// known before any is read. A pipe is read as it comes: the first member is
// read (or the one chosen, skipping those before it), and a second member
// found after it fails the job then, naming them all.
//
//   ZipStream zip(fd, true, 0, {}, "", "prices.zip");
//   zip.Read(buffer, size) -> the member's bytes, or 0 and status():
//   "prices.zip: a zip file of 2 members (a.csv, b.csv): choose one with --member
//   NAME, or unpack it"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "io/byte_stream.h"
#include "io/decode_error.h"

struct archive;
struct archive_entry;

namespace varn {

struct ArchiveLibrary;

class ZipStream final : public ByteStream {
  public:
    // fd: the input, read from origin when seekable (a regular file), else
    // as a stream whose first bytes, head, were read already. member: the
    // member to read; empty for the only one.
    ZipStream(int fd, bool seekable, std::int64_t origin, std::string head, std::string member,
              std::string name);
    ~ZipStream() override;

    [[nodiscard]] std::size_t Read(char* into, std::size_t size) override;

  private:
    // Finds the member to read and stands at its data; false with status()
    // telling why not.
    bool Begin();
    bool BeginSeekable();
    bool BeginStreamed();
    // Stands at entry, the member chosen (name): false (and a refusal) when
    // it cannot be read.
    bool Take(archive_entry* entry, const std::string& name);
    // Past the member read from a stream: false (and a refusal) when another
    // member follows.
    bool CheckNoMoreMembers();
    bool OpenArchive();
    void CloseArchive();
    // The reasons, in words; each returns false.
    bool Refuse(DecodeError error, std::string detail);
    bool Damaged();
    bool RefuseFromNames(const std::vector<std::string>& names);

    // libarchive's read, seek and skip over fd_.
    friend struct ZipCallbacks;

    int fd_;
    bool seekable_;
    std::int64_t origin_;
    std::string head_;
    std::string member_;
    std::string name_;
    const ArchiveLibrary* library_ = nullptr;  // loaded when the first zip file is read
    archive* archive_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    bool head_given_ = false;
    bool begun_ = false;
    bool done_ = false;
    int read_errno_ = 0;              // a failed read of fd_
    std::vector<std::string> names_;  // the members seen so far
};

}  // namespace varn
