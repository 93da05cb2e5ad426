#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// The columns a UTF-8 text takes on a terminal: two for the wide (East Asian)
// characters, one for the others.
size_t displayWidth(std::string_view utf8);

// The text with blanks after it up to `width` columns.
std::string paddedText(std::string text, size_t width);

} // namespace tavik
