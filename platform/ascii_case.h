#pragma once

#include <string>
#include <string_view>

namespace tavik {

// Case folding of the ASCII letters A to Z, byte by byte: keys, names and
// file extensions of the settings and definition files are compared without
// regard to case. Every other byte stays as it is.
char asciiLower(char c);
std::string asciiLower(std::string_view text);

// True when the texts are the same but for the case of ASCII letters.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace tavik
