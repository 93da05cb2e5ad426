#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// The last maxBytes bytes of cp932 text, starting on a character boundary.
std::string tailCp932(std::string_view text, std::size_t maxBytes);

// A real written as printf's "%<width>.<precision>f" writes it in the C locale:
// right-aligned in at least width characters, with a full stop whatever locale
// the program runs in.
std::string formatFixed(double value, int width, int precision);

} // namespace tavik
