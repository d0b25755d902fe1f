#include "io/zip_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/archive_library.h"

namespace varn {

constexpr std::size_t kZipBufferSize = std::size_t{64} << 10;

struct ZipCallbacks {
    static la_ssize_t Read(archive* a, void* self, const void** buffer) {
        auto* zip = static_cast<ZipStream*>(self);
        if (!zip->head_given_) {
            zip->head_given_ = true;
            if (!zip->head_.empty()) {
                *buffer = zip->head_.data();
                return static_cast<la_ssize_t>(zip->head_.size());
            }
        }
        for (;;) {
            const ssize_t got = ::read(zip->fd_, zip->buffer_.get(), kZipBufferSize);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                zip->read_errno_ = errno;
                zip->library_->set_error(a, errno, "%s", std::strerror(errno));
                return ARCHIVE_FATAL;
            }
            *buffer = zip->buffer_.get();
            return got;
        }
    }

    static la_int64_t Seek(archive*, void* self, la_int64_t offset, int whence) {
        auto* zip = static_cast<ZipStream*>(self);
        const off_t to = whence == SEEK_SET ? zip->origin_ + offset : offset;
        const off_t at = ::lseek(zip->fd_, to, whence);
        return at < 0 ? ARCHIVE_FATAL : at - zip->origin_;
    }

    static la_int64_t Skip(archive*, void* self, la_int64_t request) {
        auto* zip = static_cast<ZipStream*>(self);
        const off_t here = ::lseek(zip->fd_, 0, SEEK_CUR);
        const off_t end = ::lseek(zip->fd_, 0, SEEK_END);
        if (here < 0 || end < 0) return 0;
        const off_t to = std::min<off_t>(here + request, end);
        if (::lseek(zip->fd_, to, SEEK_SET) < 0) return 0;
        return to - here;
    }
};

namespace {

// A member's name as the zip file gives it.
std::string EntryName(const ArchiveLibrary& library, archive_entry* entry) {
    const char* name = library.entry_pathname_utf8(entry);
    if (name == nullptr) name = library.entry_pathname(entry);
    return name != nullptr ? name : "";
}

// Whether an entry is a member to read: a file, and not what macOS adds.
bool IsMember(const ArchiveLibrary& library, archive_entry* entry, const std::string& name) {
    return library.entry_filetype(entry) == AE_IFREG && !name.ends_with('/') &&
           !name.starts_with("__MACOSX/");
}

// "a.csv, b.csv and 3 more"
std::string ListNames(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 8;
    std::string text;
    for (std::size_t i = 0; i < std::min(names.size(), kShown); ++i) {
        if (i > 0) text += ", ";
        text += names[i];
    }
    if (names.size() > kShown) text += " and " + std::to_string(names.size() - kShown) + " more";
    return text;
}

// The workbook a zip file's member names show, or empty.
std::string_view SpreadsheetKind(const std::vector<std::string>& names) {
    const auto has = [&](std::string_view name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (std::any_of(names.begin(), names.end(),
                    [](const std::string& n) { return n.starts_with("xl/"); })) {
        return "an Excel workbook";
    }
    if (has("mimetype") && has("content.xml")) return "an OpenDocument file";
    return {};
}

}  // namespace

ZipStream::ZipStream(int fd, bool seekable, std::int64_t origin, std::string head,
                     std::string member, std::string name)
    : fd_(fd),
      seekable_(seekable),
      origin_(origin),
      head_(std::move(head)),
      member_(std::move(member)),
      name_(std::move(name)),
      buffer_(std::make_unique<char[]>(kZipBufferSize)) {}

ZipStream::~ZipStream() { CloseArchive(); }

void ZipStream::CloseArchive() {
    if (archive_ != nullptr) library_->read_free(archive_);
    archive_ = nullptr;
}

bool ZipStream::OpenArchive() {
    CloseArchive();
    if (library_ == nullptr) library_ = ArchiveLibrary::Get();
    if (library_ == nullptr) {
        return Refuse(DecodeError::Compressed,
                      "zip files cannot be read here (" + ArchiveLibrary::LoadError() +
                          "): install libarchive13, or unpack it first with unzip");
    }
    archive_ = library_->read_new();
    if (archive_ == nullptr) return Refuse(DecodeError::Damaged, "cannot read zip data");
    library_->read_support_format_zip(archive_);
    library_->read_set_callback_data(archive_, this);
    library_->read_set_read_callback(archive_, &ZipCallbacks::Read);
    if (seekable_) {
        // The central directory at the end lists the members.
        if (::lseek(fd_, origin_, SEEK_SET) < 0) {
            status_ = JobStatus::FromErrno(name_, "cannot read");
            done_ = true;
            return false;
        }
        head_given_ = true;
        library_->read_set_seek_callback(archive_, &ZipCallbacks::Seek);
        library_->read_set_skip_callback(archive_, &ZipCallbacks::Skip);
    }
    if (library_->read_open1(archive_) != ARCHIVE_OK) return Damaged();
    return true;
}

bool ZipStream::Refuse(DecodeError error, std::string detail) {
    status_ = JobStatus::Refusal(name_, DecodeErrorCode(error), std::move(detail));
    done_ = true;
    CloseArchive();
    return false;
}

bool ZipStream::Damaged() {
    const char* reason = archive_ != nullptr ? library_->error_string(archive_) : nullptr;
    if (read_errno_ != 0) {
        // The system's failure (reading the file), not the data's.
        errno = read_errno_;
        status_ = JobStatus::FromErrno(name_, "cannot read");
        done_ = true;
        CloseArchive();
        return false;
    }
    std::string detail = "zip data is damaged";
    if (reason != nullptr) detail += std::string(" (") + reason + ")";
    return Refuse(DecodeError::Damaged, std::move(detail));
}

bool ZipStream::RefuseFromNames(const std::vector<std::string>& names) {
    if (const std::string_view kind = SpreadsheetKind(names); !kind.empty()) {
        return Refuse(DecodeError::Workbook,
                      std::string(kind) + ", not a text file: save it as CSV and read that");
    }
    if (!member_.empty()) {
        return Refuse(DecodeError::NoSuchMember,
                      "the zip file has no member " + member_ +
                          (names.empty() ? std::string(" (it holds none)")
                                         : " (it holds " + ListNames(names) + ")"));
    }
    if (names.empty()) return Refuse(DecodeError::NotText, "the zip file holds no file");
    return Refuse(DecodeError::SeveralMembers,
                  "a zip file of " + std::to_string(names.size()) + " members (" +
                      ListNames(names) + "): choose one with --member NAME, or unpack it");
}

bool ZipStream::BeginSeekable() {
    if (!OpenArchive()) return false;
    // The members, from the central directory; then the archive again, to
    // the chosen entry.
    std::vector<std::string> names;
    std::vector<int> entries;  // the entry number of each member
    archive_entry* entry = nullptr;
    int result = ARCHIVE_OK;
    for (int number = 0; (result = library_->read_next_header(archive_, &entry)) == ARCHIVE_OK ||
                         result == ARCHIVE_WARN;
         ++number) {
        std::string name = EntryName(*library_, entry);
        if (!IsMember(*library_, entry, name) && !(!member_.empty() && name == member_)) continue;
        names.push_back(std::move(name));
        entries.push_back(number);
    }
    if (result != ARCHIVE_EOF) return Damaged();
    std::size_t chosen = names.size();
    if (!member_.empty()) {
        chosen = static_cast<std::size_t>(std::find(names.begin(), names.end(), member_) -
                                          names.begin());
    } else if (names.size() == 1) {
        chosen = 0;
    }
    if (chosen == names.size()) return RefuseFromNames(names);
    if (!OpenArchive()) return false;
    for (int number = 0; number <= entries[chosen]; ++number) {
        result = library_->read_next_header(archive_, &entry);
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) return Damaged();
    }
    const std::string taken = names[chosen];
    names_ = std::move(names);
    return Take(entry, taken);
}

bool ZipStream::BeginStreamed() {
    if (!OpenArchive()) return false;
    archive_entry* entry = nullptr;
    int result = ARCHIVE_OK;
    while ((result = library_->read_next_header(archive_, &entry)) == ARCHIVE_OK ||
           result == ARCHIVE_WARN) {
        std::string name = EntryName(*library_, entry);
        const bool chosen = !member_.empty() && name == member_;
        if (!IsMember(*library_, entry, name) && !chosen) continue;
        names_.push_back(name);
        if (!member_.empty() && !chosen) continue;
        if (member_.empty() && (name == "[Content_Types].xml" || name == "mimetype")) {
            // An Office or OpenDocument file: its members say which.
            while ((result = library_->read_next_header(archive_, &entry)) == ARCHIVE_OK ||
                   result == ARCHIVE_WARN) {
                name = EntryName(*library_, entry);
                if (IsMember(*library_, entry, name)) names_.push_back(name);
            }
            return RefuseFromNames(names_);
        }
        return Take(entry, name);
    }
    if (result != ARCHIVE_EOF) return Damaged();
    return RefuseFromNames(names_);
}

bool ZipStream::Take(archive_entry* entry, const std::string& name) {
    if (library_->entry_is_data_encrypted(entry) != 0) {
        return Refuse(DecodeError::Compressed,
                      "the zip member " + name + " is encrypted: unpack it first with unzip");
    }
    return true;
}

bool ZipStream::Begin() {
    begun_ = true;
    return seekable_ ? BeginSeekable() : BeginStreamed();
}

bool ZipStream::CheckNoMoreMembers() {
    archive_entry* entry = nullptr;
    int result = ARCHIVE_OK;
    const std::size_t read = names_.size();
    while ((result = library_->read_next_header(archive_, &entry)) == ARCHIVE_OK ||
           result == ARCHIVE_WARN) {
        std::string name = EntryName(*library_, entry);
        if (IsMember(*library_, entry, name)) names_.push_back(std::move(name));
    }
    if (result != ARCHIVE_EOF) return Damaged();
    if (names_.size() > read) return RefuseFromNames(names_);
    return true;
}

std::size_t ZipStream::Read(char* into, std::size_t size) {
    if (done_) return 0;
    if (!begun_ && !Begin()) return 0;
    const la_ssize_t got = library_->read_data(archive_, into, size);
    if (got > 0) return static_cast<std::size_t>(got);
    if (got < 0) {
        Damaged();
        return 0;
    }
    // The end of the member: from a stream without a member chosen, make
    // sure it was the only one.
    if (!seekable_ && member_.empty()) CheckNoMoreMembers();
    done_ = true;
    CloseArchive();
    return 0;
}

}  // namespace varn
