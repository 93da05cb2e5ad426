#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavik {

// Text from a file quoted in a message (cp932 in and out): control
// characters shown escaped ("\t", "\r", "\x1B"), so that bytes of a table
// never reach the terminal as commands, and the text cut to at most maxBytes
// at a character boundary, with "…" after it when something was cut, so
// that a huge field makes a short message.
std::string quotedForReport(std::string_view cp932, std::size_t maxBytes = 80);

// A whole message or progress line (cp932) with its control characters
// shown escaped as quotedForReport shows them; line feeds, which separate
// its lines, stay. Nothing is cut.
std::string withControlsEscaped(std::string_view cp932);

} // namespace tavik
