#pragma once

#include "platform/cp932.h"

#include <cstdint>
#include <string>
#include <string_view>

// Text helpers of the console tools. All text is cp932: a byte in 0x81-0x9F
// or 0xE0-0xFF starts a two-byte character, whose second byte is never taken
// for a blank, a digit or a separator.

namespace tavik {

// True when the byte starts a two-byte character in the tools' reading
// (0xFD-0xFF too: LeadBytes::ConsoleTools).
inline bool isToolLeadByte(unsigned char byte) { return isLeadByte(byte, LeadBytes::ConsoleTools); }

// The text without leading and trailing blanks; a blank is the ASCII space or
// the full-width space (0x81 0x40).
std::string_view trimmedText(std::string_view text);

// The number in a code column (of species, groups, areas) as every program
// reads it: the blanks around it dropped, then a sign and the digits; 0 when
// it starts with neither. A code typed after a full-width blank is the same
// code to the viewer and to the tools.
std::int64_t tableCode(std::string_view field);
// An area code: tableCode held within the 32 bits an area code has.
std::int32_t areaCode(std::string_view field);

// Trims the text in place; returns the new length in bytes.
size_t trimText(std::string& text);

// The longest prefix of at most maxBytes bytes that ends on a character
// boundary: a two-byte character is never split, and a lead byte left alone at
// the end is dropped, so a cut text always reads back as the same characters.
std::string_view cutText(std::string_view text, size_t maxBytes);

// How a program keeps the texts of a table's row. The maps keep a text as
// it is written, cut at the code page's characters; the console tools cut it
// at their own lead bytes (0xFD-0xFF too) and drop the blanks around it, as
// they have always matched names. tests/agreement pins both.
enum class TableTexts { AsWritten, Trimmed };

// A text of a table's row kept as `texts` says, at most maxBytes bytes.
std::string tableText(std::string_view field, size_t maxBytes, TableTexts texts);

// A field as the tools keep a table's text: cut to maxBytes (cutText), then
// trimmed. The cut comes first, so a text that reaches its bound only through
// its leading blanks loses characters at its end.
inline std::string_view cutAndTrimmed(std::string_view field, size_t maxBytes)
{
    return trimmedText(cutText(field, maxBytes));
}

// Replaces every full-width hiragana character (small a to n, 83 characters)
// by the katakana character of the same sound, in place; other characters stay.
void foldKana(std::string& text);

// The ASCII digits of a code written with separators: runs of digits are
// joined across single-byte separators above the comma ("-", ".", "/",
// letters); a two-byte character or a byte at or below the comma (blanks,
// controls, punctuation up to ",") ends the scan. "5339-45-12" gives
// "53394512", "5339 45" gives "5339".
std::string extractDigits(std::string_view text);

} // namespace tavik
