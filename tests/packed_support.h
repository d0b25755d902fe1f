#pragma once
// Test inputs in every form the readers decode or refuse, made here from
// plain text: gzip (zlib), zip and the other packers (libarchive's writer),
// UTF-16 with or without a byte order mark.

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varn::testing {

// text as one gzip member.
inline std::string Gzip(std::string_view text) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// text as gzip members of `piece` bytes each, one after another.
inline std::string GzipMembers(std::string_view text, std::size_t piece) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += piece) out += Gzip(text.substr(at, piece));
    return out;
}

namespace packed_detail {
inline la_ssize_t Append(archive*, void* out, const void* buffer, std::size_t size) {
    static_cast<std::string*>(out)->append(static_cast<const char*>(buffer), size);
    return static_cast<la_ssize_t>(size);
}
}  // namespace packed_detail

// An archive of the given format (ARCHIVE_FORMAT_ZIP, ARCHIVE_FORMAT_RAW)
// and filter holding the members in order; a name ending in "/" is a folder.
inline std::string Archive(const std::vector<std::pair<std::string, std::string>>& members,
                           int format = ARCHIVE_FORMAT_ZIP, int filter = ARCHIVE_FILTER_NONE) {
    std::string out;
    archive* a = archive_write_new();
    archive_write_set_format(a, format);
    archive_write_add_filter(a, filter);
    archive_write_set_bytes_in_last_block(a, 1);
    archive_write_open2(a, &out, nullptr, &packed_detail::Append, nullptr, nullptr);
    for (const auto& [name, bytes] : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        const bool folder = name.ends_with('/');
        archive_entry_set_filetype(entry, folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, folder ? 0 : static_cast<la_int64_t>(bytes.size()));
        EXPECT_EQ(archive_write_header(a, entry), ARCHIVE_OK) << archive_error_string(a);
        if (!folder) archive_write_data(a, bytes.data(), bytes.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return out;
}

inline std::string Zip(const std::vector<std::pair<std::string, std::string>>& members) {
    return Archive(members);
}

// text packed alone by one of libarchive's filters (ARCHIVE_FILTER_XZ, ...).
inline std::string Packed(const std::string& text, int filter) {
    return Archive({{"data", text}}, ARCHIVE_FORMAT_RAW, filter);
}

// text (valid UTF-8) in UTF-16 of the given order, after a byte order mark
// when asked for.
inline std::string Utf16(std::string_view text, bool big_endian, bool mark = true) {
    std::string out;
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>((unit >> 8) & 0xff);
        const char low = static_cast<char>(unit & 0xff);
        out += big_endian ? high : low;
        out += big_endian ? low : high;
    };
    if (mark) put(0xfeff);
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x3f >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3f);
        }
        i += length;
        if (code < 0x10000) {
            put(code);
        } else {
            put(0xd800 + ((code - 0x10000) >> 10));
            put(0xdc00 + ((code - 0x10000) & 0x3ff));
        }
    }
    return out;
}

}  // namespace varn::testing
