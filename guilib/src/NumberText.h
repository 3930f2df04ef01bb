// Numbers as the library's controls show and read them: always with "." as
// the decimal point, whatever the process locale.
#pragma once

#include <string>

namespace tmxnumber {

enum class ReadResult { Ok, Empty, Malformed, TooLarge };

// Fixed notation with `precision` decimals (0..400 digits kept sane by the
// caller). With removeTrailingZeros the zeros after the point go, then the
// point if it is last; a result that is zero loses its minus sign.
std::wstring FormatFixed(double value, int precision, bool removeTrailingZeros);

// The whole text as a real number: optional spaces, an optional sign,
// digits with at most one point, an optional exponent, optional spaces.
// TooLarge: the magnitude is beyond a double (value is then +-infinity).
ReadResult ReadReal(const std::wstring& text, double& value);

// The whole text as a whole number (optional sign and digits only).
// TooLarge: beyond 64 bits (value is then the nearer 64-bit limit).
ReadResult ReadInteger(const std::wstring& text, long long& value);

} // namespace tmxnumber
