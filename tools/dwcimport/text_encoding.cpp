#include "tools/dwcimport/text_encoding.h"

#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/utf8_text.h"

#include <algorithm>

namespace tavik {
namespace {

bool isCp932Trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

} // namespace

bool looksLikeUtf16(std::string_view text, bool& littleEndian)
{
    size_t pairs = std::min(text.size(), size_t{4096}) / 2;
    size_t evenNul = 0, oddNul = 0;
    for (size_t i = 0; i < pairs; ++i) {
        bool first = text[2 * i] == 0, second = text[2 * i + 1] == 0;
        evenNul += first && !second;
        oddNul += second && !first;
    }
    littleEndian = oddNul >= evenNul;
    size_t nul = std::max(evenNul, oddNul);
    return pairs >= 2 && nul * 10 >= pairs * 3;
}

std::optional<TextEncoding> textEncodingOf(std::string_view name)
{
    std::string key;
    for (char c : name)
        if (c != '-' && c != '_' && c != ' ')
            key += asciiLower(c);
    if (key == "utf8")
        return TextEncoding::Utf8;
    if (key == "cp932" || key == "shiftjis" || key == "sjis" || key == "windows31j" || key == "ms932"
        || key == "mskanji" || key == "csshiftjis" || key == "xsjis")
        return TextEncoding::Cp932;
    if (key == "utf16" || key == "utf16le" || key == "ucs2" || key == "unicode")
        return TextEncoding::Utf16LittleEndian;
    if (key == "utf16be")
        return TextEncoding::Utf16BigEndian;
    if (key == "latin1" || key == "iso88591" || key == "l1" || key == "windows1252" || key == "cp1252"
        || key == "isolatin1" || key == "us" || key == "usascii" || key == "ascii")
        return TextEncoding::Latin1;
    return std::nullopt;
}

std::string_view textEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Cp932:
        return "cp932 (Shift_JIS)";
    case TextEncoding::Utf16LittleEndian:
        return "UTF-16 (リトルエンディアン)";
    case TextEncoding::Utf16BigEndian:
        return "UTF-16 (ビッグエンディアン)";
    case TextEncoding::Latin1:
        return "Latin-1 (windows-1252)";
    }
    return "";
}

std::string_view textEncodingOption(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return "utf-8";
    case TextEncoding::Cp932:
        return "cp932";
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian:
        return "utf-16";
    case TextEncoding::Latin1:
        return "latin1";
    }
    return "";
}

TextEncoding likelyEncoding(std::string_view sample)
{
    bool littleEndian = true;
    if (looksLikeUtf16(sample, littleEndian))
        return littleEndian ? TextEncoding::Utf16LittleEndian : TextEncoding::Utf16BigEndian;
    bool incomplete = false;
    if (validUtf8Length(sample, incomplete) == sample.size() || incomplete)
        return TextEncoding::Utf8;
    // cp932 when every byte reads as cp932 and most two-byte characters have
    // a lead byte of 0x81 to 0x9F (kana and the common kanji) or two high
    // bytes; Latin-1 text has single high bytes between ASCII letters.
    size_t japanese = 0, latin = 0;
    for (size_t i = 0; i < sample.size(); ++i) {
        auto c = static_cast<unsigned char>(sample[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
            continue;
        if (!isCp932LeadByte(c))
            return TextEncoding::Latin1;
        if (i + 1 == sample.size())
            break;
        auto trail = static_cast<unsigned char>(sample[i + 1]);
        if (!isCp932Trail(trail))
            return TextEncoding::Latin1;
        if (c <= 0x9F || trail >= 0x80)
            ++japanese;
        else
            ++latin;
        ++i;
    }
    return japanese > latin ? TextEncoding::Cp932 : TextEncoding::Latin1;
}

} // namespace tavik
