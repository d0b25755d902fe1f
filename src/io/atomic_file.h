#pragma once
// Writing a job's output so that nothing is lost on failure. The lines go to a
// temporary file beside the destination; Commit() flushes it to disk, closes
// and renames it over the destination, then flushes the folder, so a power cut
// leaves the old file or the new one. A writer destroyed without a commit
// removes its temporary file, so a failed job leaves an existing destination
// exactly as it was and no partial file; so does a SIGINT, SIGTERM or SIGHUP
// once InstallCleanupOnSignals() has run. The writer ends every line with
// CR LF.
//
// A symbolic link is followed through every level: its final target is
// replaced (a dangling link's target is created) and the link stays a link.
// A link in a sticky world-writable folder (such as /tmp) is followed only
// when it belongs to the caller or to the folder's owner, whatever the
// system's own setting: another user's link there may lead root to overwrite
// a file that user could not.
// The replacement keeps the mode bits, owner and group of the file it
// replaces, as far as the process may set them. An existing destination that
// is not a regular file (a device, a FIFO, a socket, /dev/stdout) is written
// straight through, as the shell's ">" would: no temporary file, no rename.
//
//   AtomicFile out;
//   if (auto s = out.Open("bars.txt"); !s) return s;
//   out.WriteLine("1.5.2001 1.5000 1.6000 1.4000 1.5500");
//   return out.Commit();

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "io/job_status.h"

namespace varn {

// Whether a link owned by link_owner, in a folder owned by folder_owner with
// the permission bits folder_mode, may be followed by the user caller: always
// outside a sticky world-writable folder; inside one, only the caller's own
// links and the folder owner's.
bool MayFollowLink(uid_t link_owner, uid_t folder_owner, mode_t folder_mode, uid_t caller);

class AtomicFile {
  public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Removes the temporary file when not committed; never throws.
    ~AtomicFile();

    // Creates the temporary file beside destination (or its final target), or
    // opens a destination that is not a regular file for writing.
    [[nodiscard]] JobStatus Open(const std::string& destination);
    // Writes to standard output instead: no temporary file, Commit() only
    // flushes. Shown as "standard output" in messages.
    void OpenStandardOutput();

    // Whether WriteLine and WriteLineParts end lines with LF alone rather
    // than CR LF (until the next Open).
    void SetLineFeedOnly(bool lf_only) { lf_only_ = lf_only; }

    // Appends line and CR LF. A failure is kept and reported by Commit().
    void WriteLine(std::string_view line);
    // Appends the pieces of one line, then CR LF.
    void WriteLineParts(std::span<const std::string_view> parts);
    // Appends bytes as they are.
    void Write(std::string_view bytes);

    // Flushes to disk, closes and renames the temporary file over the
    // destination, then flushes the folder; a destination written straight
    // through is only flushed and closed.
    // Returns the first failure of any write, or of these steps.
    [[nodiscard]] JobStatus Commit();

    // The first write failure so far (ok while none).
    const JobStatus& status() const { return status_; }

  private:
    bool Flush();
    // Writes size bytes to the file; false (and status_ set) on failure.
    bool WriteOut(const char* data, std::size_t size);
    void Discard() noexcept;
    // Unlinks the temporary file and releases its signal slot.
    void RemoveTemporary() noexcept;

    int fd_ = -1;
    bool to_stdout_ = false;
    bool straight_ = false;  // a device, FIFO or socket: written in place
    int signal_slot_ = -1;   // see RegisterTemporaryFile
    bool committed_ = false;
    bool lf_only_ = false;
    std::string destination_;  // as given, for messages
    std::string target_;       // the file the rename replaces
    std::string temp_path_;
    JobStatus status_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
};

}  // namespace varn
