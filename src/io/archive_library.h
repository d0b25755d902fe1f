#pragma once
// libarchive, loaded when the first zip file is read rather than when the
// program starts. Linked in, it brings a dozen libraries of its own (XML,
// ICU, the other packers) whose loading tripled the start-up time of every
// job, zip or not (5 ms to 15 ms for `varn count` of an empty file).
//
//   const ArchiveLibrary* library = ArchiveLibrary::Get();
//   if (library == nullptr) return Refuse(ArchiveLibrary::LoadError());
//   archive* a = library->read_new();

#include <archive.h>
#include <archive_entry.h>

#include <string>

namespace varn {

// The functions of libarchive the zip reader calls, by their names there
// without the "archive_" prefix.
struct ArchiveLibrary {
    decltype(&::archive_read_new) read_new;
    decltype(&::archive_read_free) read_free;
    decltype(&::archive_read_support_format_zip) read_support_format_zip;
    decltype(&::archive_read_set_callback_data) read_set_callback_data;
    decltype(&::archive_read_set_read_callback) read_set_read_callback;
    decltype(&::archive_read_set_seek_callback) read_set_seek_callback;
    decltype(&::archive_read_set_skip_callback) read_set_skip_callback;
    decltype(&::archive_read_open1) read_open1;
    decltype(&::archive_read_next_header) read_next_header;
    decltype(&::archive_read_data) read_data;
    decltype(&::archive_error_string) error_string;
    decltype(&::archive_set_error) set_error;
    decltype(&::archive_entry_pathname) entry_pathname;
    decltype(&::archive_entry_pathname_utf8) entry_pathname_utf8;
    decltype(&::archive_entry_filetype) entry_filetype;
    decltype(&::archive_entry_is_data_encrypted) entry_is_data_encrypted;

    // The library, loaded on the first call (by any thread); null when it
    // cannot be loaded.
    static const ArchiveLibrary* Get();
    // Why Get() answers null, in words: "libarchive.so.13: cannot open
    // shared object file: No such file or directory".
    static const std::string& LoadError();
};

}  // namespace varn
