#pragma once

#include "platform/cp932_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Which bytes start a two-byte character. The code page's table (0x81-0x9F,
// 0xE0-0xFC) is how the viewer, its reader and the conversions read text; the
// console tools' readers and text helpers take 0xFD-0xFF for lead bytes too,
// as they always have, so a byte 0xFD-0xFF before a comma or a quote splits a
// line differently in the tools and in the maps (tests/common/csv_test.cpp
// pins both).
enum class LeadBytes { CodePage, ConsoleTools };

// True when the byte starts a two-byte character under the rule. Inline: the
// readers ask it of every byte of every line.
inline bool isLeadByte(unsigned char byte, LeadBytes rule)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && (byte <= 0xFC || rule == LeadBytes::ConsoleTools));
}

// The code page's rule (0x81-0x9F, 0xE0-0xFC).
inline bool isCp932LeadByte(unsigned char byte) { return isLeadByte(byte, LeadBytes::CodePage); }

// The text cut to at most `limit` bytes, never in the middle of a two-byte
// character (a lead byte that would lose its second byte is dropped too).
std::string cutCp932(std::string_view text, size_t limit);

// Checks that the system can convert between two encodings (iconv names:
// "CP932", "UTF-8"). When it cannot (its conversion modules missing), the
// program stops with a message on standard error and exit status 1: text
// passed on unconverted would go into tables and maps as if converted. The
// conversions below stop the same way.
void requireConversion(const char* to, const char* from);

// Converts cp932 bytes to UTF-8. A byte sequence that is not cp932 comes out
// as U+FFFD and conversion goes on with the next byte.
std::string cp932ToUtf8(std::string_view cp932);

// Converts UTF-8 to cp932. A character that cp932 lacks, or an invalid UTF-8
// sequence, comes out as "?".
Cp932Text utf8ToCp932(std::string_view utf8);

// Converts UTF-8 to cp932 only when every character has a cp932 form:
// nothing for a character cp932 lacks or an invalid UTF-8 sequence, so that
// text from outside is refused rather than written with "?" in it.
std::optional<std::string> utf8ToCp932Exact(std::string_view utf8);

// Converts UTF-8 to cp932 only when the cp932 text converts back to the same
// UTF-8: nothing, beyond what utf8ToCp932Exact refuses, for a character cp932
// folds into another ("〜" U+301C comes back as "～" U+FF5E). For names that
// must find the same thing again: a file, a font family.
std::optional<std::string> utf8ToCp932RoundTrip(std::string_view utf8);

// The cp932 text of a literal written in the UTF-8 source: messages, labels
// and texts that go into data files.
inline Cp932Text cp932Literal(std::string_view utf8) { return utf8ToCp932(utf8); }

// printf into cp932 text: the format is a UTF-8 literal (converted first), the
// arguments are cp932 text and numbers.
Cp932Text cp932Printf(const char* utf8Format, ...) __attribute__((format(printf, 1, 2)));

} // namespace tavik
