#pragma once
// Temporary files removed when the process is ended by a signal. A writer
// registers the path of its temporary file while it exists; on SIGINT,
// SIGTERM or SIGHUP the handler unlinks every registered path, restores the
// default action and raises the signal again, so the process ends with the
// usual status (128 + the signal number in a shell) and leaves the
// destination as it was.
//
//   InstallCleanupOnSignals();                  // once, at start
//   const int slot = RegisterTemporaryFile("out/.varn-a1B2c3");
//   ...                                          // Ctrl-C here unlinks it
//   ForgetTemporaryFile(slot);                  // committed or removed
//
// The registry has a fixed number of slots of fixed size and takes no lock,
// so the handler neither allocates nor waits.

#include <cstddef>
#include <string_view>

namespace varn {

// How many temporary files can be registered at once.
inline constexpr int kTemporaryFileSlots = 16;

// Registers path for removal on a signal. Returns the slot, or -1 when every
// slot is taken or path is too long (the file is then not removed on a
// signal; the job itself is unaffected).
int RegisterTemporaryFile(std::string_view path) noexcept;

// Releases slot (from RegisterTemporaryFile); -1 is ignored.
void ForgetTemporaryFile(int slot) noexcept;

// How many paths are registered now.
int RegisteredTemporaryFiles() noexcept;

// Sets the handlers for SIGINT, SIGTERM and SIGHUP. A signal ignored at start
// (nohup, a background job) stays ignored.
void InstallCleanupOnSignals() noexcept;

// Opens the null device, for reading only, on standard input, output or error
// when one is closed, so that no file a job opens takes descriptor 0, 1 or 2.
// Standard input then reads as empty; a write to standard output or error
// fails with EBADF as on the closed descriptor. Returns false when that fails.
bool OpenClosedStandardStreams() noexcept;

}  // namespace varn
