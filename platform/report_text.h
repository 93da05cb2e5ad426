#pragma once

#include <cstddef>
#include <cstdio>
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

// The same for UTF-8 text, with the same escapes; the C1 controls are shown
// as "\u0085" and bytes of no valid sequence as "\x80". Line feeds stay when
// keepLineFeeds is set (a message of several lines) and are shown as "\n"
// when not (a line that must stay one: a file name, a line of a report).
// Nothing is cut.
std::string withControlsEscapedUtf8(std::string_view utf8, bool keepLineFeeds = true);

// quotedForReport for UTF-8 text: control characters, line feeds included,
// shown escaped, and the text cut to at most maxBytes at a character
// boundary, with "…" after it when something was cut.
std::string quotedForReportUtf8(std::string_view utf8, std::size_t maxBytes = 80);

// Prints the two-line report every program prints on the console when it
// fails, from UTF-8 texts: the file at fault (empty when none applies), then
// the message. Control characters are shown escaped (withControlsEscapedUtf8),
// never sent to the terminal; the file line stays one line, the message keeps
// the line feeds that separate its lines.
void printReport(std::string_view utf8File, std::string_view utf8Message, std::FILE* stream);

} // namespace tavik
