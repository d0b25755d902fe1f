#include "io/archive_library.h"

#include <dlfcn.h>

#include <type_traits>

namespace varn {
namespace {

struct Loaded {
    ArchiveLibrary library{};
    std::string error;
    bool ok = false;
};

const Loaded& Load() {
    static const Loaded loaded = [] {
        Loaded result;
        void* handle = ::dlopen("libarchive.so.13", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = ::dlerror();
            result.error = why != nullptr ? why : "libarchive.so.13 cannot be loaded";
            return result;
        }
        bool all = true;
        const auto bind = [&](auto& function, const char* name) {
            void* address = ::dlsym(handle, name);
            all = all && address != nullptr;
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(address);
        };
        ArchiveLibrary& l = result.library;
        bind(l.read_new, "archive_read_new");
        bind(l.read_free, "archive_read_free");
        bind(l.read_support_format_zip, "archive_read_support_format_zip");
        bind(l.read_set_callback_data, "archive_read_set_callback_data");
        bind(l.read_set_read_callback, "archive_read_set_read_callback");
        bind(l.read_set_seek_callback, "archive_read_set_seek_callback");
        bind(l.read_set_skip_callback, "archive_read_set_skip_callback");
        bind(l.read_open1, "archive_read_open1");
        bind(l.read_next_header, "archive_read_next_header");
        bind(l.read_data, "archive_read_data");
        bind(l.error_string, "archive_error_string");
        bind(l.set_error, "archive_set_error");
        bind(l.entry_pathname, "archive_entry_pathname");
        bind(l.entry_pathname_utf8, "archive_entry_pathname_utf8");
        bind(l.entry_filetype, "archive_entry_filetype");
        bind(l.entry_is_data_encrypted, "archive_entry_is_data_encrypted");
        // The library stays loaded for the rest of the run.
        if (!all) {
            result.error = "libarchive.so.13 lacks a function the zip reader needs";
            return result;
        }
        result.ok = true;
        return result;
    }();
    return loaded;
}

}  // namespace

const ArchiveLibrary* ArchiveLibrary::Get() {
    const Loaded& loaded = Load();
    return loaded.ok ? &loaded.library : nullptr;
}

const std::string& ArchiveLibrary::LoadError() { return Load().error; }

}  // namespace varn
