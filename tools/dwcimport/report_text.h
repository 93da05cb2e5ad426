#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// Text from a download as dwcimport's reports show it (UTF-8): control
// characters written as escapes ("\n", "\t", "\0", "\x1B", "\u0085"), so that
// none reaches the terminal or ends the line; bytes that are not UTF-8 as
// "\xNN"; and the whole cut to about maxBytes bytes on a character boundary,
// with "…" where it was cut.
std::string shownText(std::string_view text, size_t maxBytes = 80);

// The columns a UTF-8 text takes on a terminal: two for the wide (East Asian)
// characters, one for the others.
size_t displayWidth(std::string_view utf8);

// The text with blanks after it up to `width` columns.
std::string paddedText(std::string text, size_t width);

} // namespace tavik
