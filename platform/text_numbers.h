#pragma once

#include <cstdint>
#include <string_view>

namespace tavik {

// Decimal integer as the C library's atoi reads it: leading blanks skipped, an
// optional sign, digits up to the first non-digit; no digits give 0. Values
// beyond the type's range saturate instead of overflowing.
std::int64_t parseInteger64(std::string_view text);
int parseInteger(std::string_view text);

// Decimal real as strtod reads it from the start of the text; none gives 0,
// and so do "nan", "inf" and a value beyond the range of a double.
double parseReal(std::string_view text);

// True when the text begins with a real that has no finite value: "nan",
// "inf" or "infinity" (any case, after blanks and a sign), or a number too
// large for a double ("1e400"). Text that is no number at all is not such a
// real.
bool isNonFiniteReal(std::string_view text);

} // namespace tavik
