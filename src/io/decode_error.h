#pragma once
// Why an input was not read as text: the error codes the decoding reader
// gives when it refuses a file (its JobStatus then tells the reason in words
// of its own, naming what to do) or finds its compressed data damaged.
//
//   status.error == DecodeErrorCode(DecodeError::NotText)   a binary file

#include <system_error>

namespace varn {

enum class DecodeError {
    NotText = 1,       // a binary file, or text in a form not read (UTF-32)
    Utf16WithoutMark,  // UTF-16 with no byte order mark to say which
    Compressed,        // compressed or archived in a form not read here
    SeveralMembers,    // a zip file of several files and no member chosen
    NoSuchMember,      // the member asked for is not in the zip file
    Workbook,          // a spreadsheet, not a text file
    Damaged,           // compressed data or UTF-16 text that does not decode
};

std::error_code DecodeErrorCode(DecodeError error);

}  // namespace varn
