#pragma once
// Splitting a line into fields by a set of delimiter characters.
//
// A field is a maximal run of characters outside the set: a run of delimiters
// counts as one separator, delimiters at either end make no field, and there
// are no empty fields. Fields are numbered from 1. With the set {","} the text
// ",,a,,b," has two fields: field 1 is "a", field 2 is "b" and starts at
// position 6.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/short_text.h"

namespace varn {

// The n-th field of a line of any length; empty when n < 1 or the line has
// fewer than n fields.
std::string ExtractField(std::int32_t n, std::string_view line, const CharSet& delimiters);

// Same field as a view into line (no copy, no allocation); empty when absent.
std::string_view FieldView(std::int32_t n, std::string_view line, const CharSet& delimiters);

// Stores the n-th field of the ShortText text (cut to 255 characters first) in
// field and returns its length, 0 to 255; field is empty when absent.
int ExtractShortField(std::int32_t n, std::string_view text, const CharSet& delimiters,
                      ShortText& field);

// The number of fields of text (cut to 255 characters), 0 to 255.
int CountFields(std::string_view text, const CharSet& delimiters);

// The 1-based position of the first character of field n of text (cut to 255
// characters); 0 when there is no such field.
int FieldStartPosition(std::int32_t n, std::string_view text, const CharSet& delimiters);

}  // namespace varn
