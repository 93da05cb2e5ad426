#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tavik {

// UTF-8 as the programs read it (downloads, boundary data): code points out of bytes and
// back, and how much of a text is valid.

// Appends the UTF-8 form of a code point (at most U+10FFFF).
void appendUtf8(std::string& out, std::uint32_t code);

// The code point of the UTF-8 sequence at the start of text and its length
// in bytes; a length of 0 when the bytes are no valid sequence (overlong
// forms, surrogates and code points above U+10FFFF included).
std::pair<std::uint32_t, size_t> firstCodePoint(std::string_view text);

// The length of the longest prefix of text that is valid UTF-8. `incomplete`
// tells whether the rest is the start of a sequence that more bytes could
// complete (rather than invalid bytes). ASCII is passed eight bytes at a time.
size_t validUtf8Length(std::string_view text, bool& incomplete);

// The text without the spaces and tabs at either end (the blanks a download's
// fields and a settings value may carry).
inline std::string_view trimmedBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace tavik
