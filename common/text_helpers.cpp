#include "common/text_helpers.h"

#include "platform/text_numbers.h"

namespace tavik {
namespace {

// Bytes taken by the character at `at`: 2 for a lead byte with a byte after
// it, else 1.
size_t characterLength(std::string_view text, size_t at)
{
    return isToolLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Bytes of the blank at `at` (1 for a space, 2 for a full-width space), or 0.
size_t blankLength(std::string_view text, size_t at)
{
    if (text[at] == ' ')
        return 1;
    if (at + 1 < text.size() && text[at] == '\x81' && text[at + 1] == '\x40')
        return 2;
    return 0;
}

} // namespace

std::string_view trimmedText(std::string_view text)
{
    // Most fields have no blank at either end: neither a space or 0x81 first
    // nor a space or 0x40 (the second byte of a full-width space) last.
    if (text.empty())
        return text;
    char first = text.front(), last = text.back();
    if (first != ' ' && first != '\x81' && last != ' ' && last != '\x40')
        return text;
    // One forward pass: a trailing 0x81 0x40 may be the end of another
    // character followed by "@", so blanks are only recognised at character
    // boundaries.
    size_t start = 0;
    size_t blank;
    while (start < text.size() && (blank = blankLength(text, start)) > 0)
        start += blank;
    size_t end = start;
    for (size_t i = start; i < text.size();) {
        size_t length = blankLength(text, i);
        if (length == 0) {
            length = characterLength(text, i);
            end = i + length;
        }
        i += length;
    }
    return text.substr(start, end - start);
}

std::int64_t tableCode(std::string_view field) { return parseInteger64(trimmedText(field)); }

std::int32_t areaCode(std::string_view field) { return parseInteger(trimmedText(field)); }

size_t trimText(std::string& text)
{
    std::string_view trimmed = trimmedText(text);
    size_t start = static_cast<size_t>(trimmed.data() - text.data());
    size_t length = trimmed.size();
    text.erase(start + length);
    text.erase(0, start);
    return text.size();
}

std::string_view cutText(std::string_view text, size_t maxBytes)
{
    // A text that fits and does not end in a byte that may be a lead byte is
    // whole: a last byte outside the lead range is never half a character.
    if (text.size() <= maxBytes && (text.empty() || !isToolLeadByte(static_cast<unsigned char>(text.back()))))
        return text;
    size_t end = 0;
    while (end < text.size()) {
        bool lead = isToolLeadByte(static_cast<unsigned char>(text[end]));
        size_t length = lead ? 2 : 1;
        if (end + length > text.size() || end + length > maxBytes)
            break;
        end += length;
    }
    return text.substr(0, end);
}

std::string tableText(std::string_view field, size_t maxBytes, TableTexts texts)
{
    if (texts == TableTexts::AsWritten)
        return cutCp932(field, maxBytes);
    return std::string(cutAndTrimmed(field, maxBytes));
}

void foldKana(std::string& text)
{
    // Hiragana run from 0x829F (small a) to 0x82F1 (n); the katakana of the
    // same sounds start at 0x8340 and skip 0x837F.
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (!isToolLeadByte(lead) || i + 1 >= text.size()) {
            ++i;
            continue;
        }
        auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) {
            unsigned katakana = 0x8340 + (trail - 0x9F);
            if (katakana >= 0x837F)
                ++katakana;
            text[i] = static_cast<char>(katakana >> 8);
            text[i + 1] = static_cast<char>(katakana & 0xFF);
        }
        i += 2;
    }
}

std::string extractDigits(std::string_view text)
{
    std::string digits;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= '0' && c <= '9')
            digits += static_cast<char>(c);
        else if (isToolLeadByte(c) || c <= ',')
            break;
    }
    return digits;
}

} // namespace tavik
