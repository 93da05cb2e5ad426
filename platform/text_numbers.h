#pragma once

#include <cstdint>
#include <string_view>

namespace tavik {

// Decimal integer as the C library's atoi reads it: leading blanks skipped, an
// optional sign, digits up to the first non-digit; no digits give 0. Values
// beyond the type's range saturate instead of overflowing.
std::int64_t parseInteger64(std::string_view text);
int parseInteger(std::string_view text);

// Decimal real as strtod reads it from the start of the text; none gives 0.
double parseReal(std::string_view text);

} // namespace tavik
