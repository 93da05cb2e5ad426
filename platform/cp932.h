#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// True when the byte starts a two-byte cp932 character (0x81-0x9F, 0xE0-0xFC).
// Inline: the readers ask it of every byte of every line.
inline bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The text cut to at most `limit` bytes, never in the middle of a two-byte
// character (a lead byte that would lose its second byte is dropped too).
std::string cutCp932(std::string_view text, size_t limit);

// Converts cp932 bytes to UTF-8. A byte sequence that is not cp932 comes out
// as U+FFFD and conversion goes on with the next byte.
std::string cp932ToUtf8(std::string_view cp932);

// Converts UTF-8 to cp932. A character that cp932 lacks, or an invalid UTF-8
// sequence, comes out as "?".
std::string utf8ToCp932(std::string_view utf8);

// Converts UTF-8 to cp932 only when every character has a cp932 form:
// nothing for a character cp932 lacks or an invalid UTF-8 sequence, so that
// text from outside is refused rather than written with "?" in it.
std::optional<std::string> utf8ToCp932Exact(std::string_view utf8);

// The cp932 text of a literal written in the UTF-8 source: messages, labels
// and texts that go into data files.
inline std::string cp932Literal(std::string_view utf8) { return utf8ToCp932(utf8); }

// printf into cp932 text: the format is a UTF-8 literal (converted first), the
// arguments are cp932 text and numbers.
std::string cp932Printf(const char* utf8Format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tavik
