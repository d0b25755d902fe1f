#pragma once
// Splitting the lines of delimited files (CSV and its cousins) into fields:
// one separator character, quoted fields with doubled quotes, and empty
// fields kept, so that a column is the same column on every line. With
// Separator::Spaces, runs of blanks and tabs separate and there are no empty
// fields.
//
//   SplitSeparated("a;\"b;\"\"c\"\";;d", Separator::Semicolon, fields, scratch)
//     gives "a", "b;\"c\"", "" and "d"
//
// FindSeparator looks at the first lines of a file and tells which separator
// they share: "02.01.2019;10.586,70;10.823,42" is Semicolon, although every
// line holds commas too.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varn {

enum class Separator : int { Spaces = 0, Comma = 1, Semicolon = 2, Tab = 3, Pipe = 4 };

// "spaces", "comma", "semicolon", "tab", "pipe".
std::string_view SeparatorName(Separator separator);
// The character of a one-character separator; ' ' for Spaces.
char SeparatorChar(Separator separator);

// Replaces fields by the fields of line. A field is trimmed of blanks around
// it; a field that then begins with a double quote runs to the closing quote,
// a doubled quote inside standing for one (such fields are unquoted into
// scratch, which must outlive the views). A quote that is never closed runs
// to the end of the line.
void SplitSeparated(std::string_view line, Separator separator,
                    std::vector<std::string_view>& fields, std::string& scratch);

// The separator the lines share: the one of tab, semicolon and pipe that
// stands, outside quotes, the same number of times (at least once) on at least
// four in five of the non-blank lines, the most often when several do; else
// comma by the same rule; else Spaces.
Separator FindSeparator(std::span<const std::string_view> lines);

}  // namespace varn
