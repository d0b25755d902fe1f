#include "io/input_sniff.h"

#include <algorithm>
#include <array>

namespace varn {
namespace {

using namespace std::string_view_literals;

struct Magic {
    std::string_view bytes;
    InputForm form;
    DecodeError refusal;
    std::string_view reason;
};

// Longer marks before those they begin with (UTF-32 LE before UTF-16 LE).
constexpr std::array kMagics = {
    Magic{"\xef\xbb\xbf"sv, InputForm::Utf8, {}, {}},
    Magic{"\xff\xfe\0\0"sv, InputForm::Refused, DecodeError::NotText,
          "UTF-32 text: convert it first with iconv -f UTF-32 -t UTF-8"},
    Magic{"\0\0\xfe\xff"sv, InputForm::Refused, DecodeError::NotText,
          "UTF-32 text: convert it first with iconv -f UTF-32 -t UTF-8"},
    Magic{"\xff\xfe"sv, InputForm::Utf16Le, {}, {}},
    Magic{"\xfe\xff"sv, InputForm::Utf16Be, {}, {}},
    Magic{"\x1f\x8b"sv, InputForm::Gzip, {}, {}},
    Magic{"PK\x03\x04"sv, InputForm::Zip, {}, {}},
    Magic{"PK\x05\x06"sv, InputForm::Zip, {}, {}},
    Magic{"\xfd"
          "7zXZ\0"sv,
          InputForm::Refused, DecodeError::Compressed,
          "xz-compressed: unpack it first with unxz -k"},
    Magic{"\x28\xb5\x2f\xfd"sv, InputForm::Refused, DecodeError::Compressed,
          "zstd-compressed: unpack it first with unzstd"},
    Magic{"\x04\x22\x4d\x18"sv, InputForm::Refused, DecodeError::Compressed,
          "lz4-compressed: unpack it first with unlz4"},
    Magic{"LZIP\x01"sv, InputForm::Refused, DecodeError::Compressed,
          "lzip-compressed: unpack it first with lzip -d -k"},
    Magic{"\x1f\x9d"sv, InputForm::Refused, DecodeError::Compressed,
          "compressed with compress (.Z): unpack it first with gzip -d -k"},
    Magic{"7z\xbc\xaf\x27\x1c"sv, InputForm::Refused, DecodeError::Compressed,
          "a 7z archive: unpack it first with 7z x"},
    Magic{"Rar!\x1a\x07"sv, InputForm::Refused, DecodeError::Compressed,
          "a RAR archive: unpack it first with unrar x"},
    Magic{"\x7f"
          "ELF"sv,
          InputForm::Refused, DecodeError::NotText, "not a text file (a program)"},
    Magic{"%PDF-"sv, InputForm::Refused, DecodeError::NotText, "not a text file (a PDF document)"},
    Magic{"\x89PNG\r\n\x1a\n"sv, InputForm::Refused, DecodeError::NotText,
          "not a text file (a PNG image)"},
    Magic{"GIF87a"sv, InputForm::Refused, DecodeError::NotText, "not a text file (a GIF image)"},
    Magic{"GIF89a"sv, InputForm::Refused, DecodeError::NotText, "not a text file (a GIF image)"},
    Magic{"\xff\xd8\xff"sv, InputForm::Refused, DecodeError::NotText,
          "not a text file (a JPEG image)"},
    Magic{"SQLite format 3\0"sv, InputForm::Refused, DecodeError::NotText,
          "not a text file (an SQLite database)"},
    Magic{"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"sv, InputForm::Refused, DecodeError::Workbook,
          "an Office document (an Excel 97-2003 workbook?), not a text file: save it as CSV"},
};

// bzip2: "BZh", the block size digit, then the magic of a block or of the end.
constexpr std::string_view kBzip2Block = "1AY&SY";
constexpr std::string_view kBzip2End = "\x17rE8P\x90";
constexpr std::string_view kBzip2Reason = "bzip2-compressed: unpack it first with bunzip2 -k";

bool IsBzip2(std::string_view head) {
    if (head.size() < 10 || !head.starts_with("BZh") || head[3] < '1' || head[3] > '9') {
        return false;
    }
    const std::string_view block = head.substr(4, 6);
    return block == kBzip2Block || block == kBzip2End;
}

bool MayBeginBzip2(std::string_view head) {
    if (head.size() >= 10) return false;
    const std::string_view bz = "BZh";
    if (head.size() <= 3) return bz.starts_with(head);
    if (!head.starts_with(bz) || head[3] < '1' || head[3] > '9') return false;
    const std::string_view rest = head.substr(4);
    return kBzip2Block.starts_with(rest) || kBzip2End.starts_with(rest);
}

// Control bytes that no text file holds many of.
constexpr bool IsBinaryControl(unsigned char c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' &&
            c != 0x1a) ||
           c == 0x7f;
}

constexpr std::size_t kUtf16Sample = 512;

// Whether the first bytes are ASCII in UTF-16 of the given order: of their
// byte pairs (4 at least), three in four are a character below 256 other
// than NUL.
bool LooksLikeUtf16(std::string_view head, bool big_endian) {
    const std::size_t pairs = std::min(head.size(), kUtf16Sample) / 2;
    if (pairs < 4) return false;
    std::size_t ascii = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const char high = head[2 * i + (big_endian ? 0 : 1)];
        const char low = head[2 * i + (big_endian ? 1 : 0)];
        if (high == '\0' && low != '\0') ++ascii;
    }
    return ascii * 4 >= pairs * 3;
}

InputSniff Refuse(DecodeError refusal, std::string_view reason) {
    InputSniff sniff;
    sniff.form = InputForm::Refused;
    sniff.refusal = refusal;
    sniff.reason = reason;
    return sniff;
}

}  // namespace

InputSniff SniffInput(std::string_view head) {
    for (const Magic& magic : kMagics) {
        if (!head.starts_with(magic.bytes)) continue;
        if (magic.form == InputForm::Refused) return Refuse(magic.refusal, magic.reason);
        InputSniff sniff;
        sniff.form = magic.form;
        if (magic.form == InputForm::Utf8 || magic.form == InputForm::Utf16Le ||
            magic.form == InputForm::Utf16Be) {
            sniff.mark = magic.bytes.size();
        }
        return sniff;
    }
    if (IsBzip2(head)) return Refuse(DecodeError::Compressed, kBzip2Reason);
    for (const bool big_endian : {false, true}) {
        if (LooksLikeUtf16(head, big_endian)) {
            return Refuse(DecodeError::Utf16WithoutMark,
                          big_endian ? "UTF-16 text without a byte order mark: convert it first "
                                       "with iconv -f UTF-16BE -t UTF-8"
                                     : "UTF-16 text without a byte order mark: convert it first "
                                       "with iconv -f UTF-16LE -t UTF-8");
        }
    }
    const auto controls =
        static_cast<std::size_t>(std::count_if(head.begin(), head.end(), [](char c) {
            return IsBinaryControl(static_cast<unsigned char>(c));
        }));
    if (controls >= 8 && controls * 16 >= head.size()) {
        return Refuse(DecodeError::NotText, "not a text file");
    }
    return {};
}

bool MayBeginMagic(std::string_view head) {
    for (const Magic& magic : kMagics) {
        if (head.size() < magic.bytes.size() && magic.bytes.starts_with(head)) return true;
    }
    return MayBeginBzip2(head);
}

}  // namespace varn
