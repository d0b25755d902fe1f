#pragma once
// Telling the form of an input from its first bytes, never from its name.
// The forms, looked for in this order:
//
//   EF BB BF                          UTF-8 text with a byte order mark (dropped)
//   FF FE 00 00, 00 00 FE FF          UTF-32: refused
//   FF FE, FE FF                      UTF-16 LE, BE with a mark
//   1F 8B                             gzip
//   PK 03 04, PK 05 06                zip (one with no member too)
//   bzip2, xz, zstd, lz4, lzip, .Z,   refused, naming the command that unpacks
//   7z, RAR                           them
//   ELF, PDF, PNG, GIF, JPEG, SQLite  refused: not a text file
//   old Office (D0 CF 11 E0 ...)      refused: save it as CSV
//   a NUL every other byte            UTF-16 without a mark: refused
//   control bytes                     8 or more, and a sixteenth or more of
//                                     the bytes: not a text file
//   anything else                     text, read as it is
//
// Control bytes are those below 32 other than tab, LF, VT, FF, CR and Ctrl-Z,
// and DEL; a few of them in a line (a NUL, an escape) leave a file text.
//
//   SniffInput("\xef\xbb\xbf" "01/02/2024,1.5")  -> {Utf8, mark 3}
//   SniffInput("\xfd" "7zXZ" + ...)              -> {Refused, Compressed,
//                                                   "xz-compressed: unpack it first with unxz -k"}

#include <cstddef>
#include <string>
#include <string_view>

#include "io/decode_error.h"

namespace varn {

enum class InputForm { Text, Utf8, Utf16Le, Utf16Be, Gzip, Zip, Refused };

struct InputSniff {
    InputForm form = InputForm::Text;
    std::size_t mark = 0;                        // bytes of a byte order mark at the start, to drop
    DecodeError refusal = DecodeError::NotText;  // when Refused
    std::string reason;                          // when Refused: what it is, what to do
};

// What head, the first bytes of an input (all of it when shorter), holds.
InputSniff SniffInput(std::string_view head);

// Whether more bytes could change what SniffInput makes of head: head is
// shorter than, and the start of, a mark or magic number it knows.
bool MayBeginMagic(std::string_view head);

}  // namespace varn
