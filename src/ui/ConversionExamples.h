#pragma once
// The lines the Example box shows for each conversion: what its input looks
// like. Conversions 0 and 1 show the core's own examples; the others, which
// the core gives none for, lines of the input they read:
//
//   ExampleInput(Conversion::TruncatedJulian) -> {"52275.5 1.234", ...}

#include <span>
#include <string_view>

#include "convert/conversions.h"

namespace varn {

std::span<const std::string_view> ExampleInput(Conversion conversion);

}  // namespace varn
