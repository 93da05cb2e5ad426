#pragma once

#include <optional>
#include <string_view>

namespace tavik {

// The encodings a download's text may be in. Latin-1 is read as Windows
// writes it (windows-1252: the bytes 0x80 to 0x9F are letters and signs).
enum class TextEncoding { Utf8, Cp932, Utf16LittleEndian, Utf16BigEndian, Latin1 };

// The encoding a name gives: the option's and Encoding='s "utf-8", "cp932",
// "utf-16", "latin1", and the names meta.xml and other programs write
// ("UTF-8", "Shift_JIS", "windows-31j", "UTF-16LE", "ISO-8859-1",
// "windows-1252", ...), in any case. Nothing for a name not known.
std::optional<TextEncoding> textEncodingOf(std::string_view name);

// The encoding in words, for reports ("UTF-8", "cp932 (Shift_JIS)").
std::string_view textEncodingName(TextEncoding encoding);

// The value of --encoding and Encoding= that names the encoding ("cp932").
std::string_view textEncodingOption(TextEncoding encoding);

// The encoding some bytes most likely are in, for the advice given when text
// is not valid in the encoding in force: UTF-16 when every other byte is
// NUL, UTF-8 when the bytes are valid UTF-8, cp932 when they are valid cp932
// with pairs of high bytes, else Latin-1.
TextEncoding likelyEncoding(std::string_view sample);

// True when the bytes look like UTF-16 without a byte-order mark: one byte
// of most pairs is NUL (ASCII text in two bytes a character). littleEndian
// tells which byte is NUL.
bool looksLikeUtf16(std::string_view text, bool& littleEndian);

} // namespace tavik
