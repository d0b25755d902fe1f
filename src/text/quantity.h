#pragma once
// Volumes and open interest as text: a whole number without decimals, any
// other value with up to eight decimals and no trailing zeros, "." as the
// separator in every locale. 123456 is "123456", 1.25 "1.25", 0.1 + 0.2
// "0.3", 1e-9 "0".

#include <string>

namespace varn {

// Appends value to text: a whole value (of any size) in plain decimal digits;
// any other rounded to 8 decimals (ties as the exact binary value lies, so
// never a second rounding) with trailing zeros and a bare "." dropped. A value
// that rounds to zero is "0", without "-". NaN and infinities give "nan",
// "inf" and "-inf".
void AppendQuantity(std::string& text, double value);

// The same as a new string.
std::string FormatQuantity(double value);

}  // namespace varn
