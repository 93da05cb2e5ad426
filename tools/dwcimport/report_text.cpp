#include "tools/dwcimport/report_text.h"

#include <cstdint>
#include <cstdio>

namespace tavik {
namespace {

// The code point of the UTF-8 sequence at the start of text and its length;
// a length of 0 when the bytes are no valid sequence.
std::pair<std::uint32_t, size_t> decodeOne(std::string_view text)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || text.size() < length)
        return {0, 0};
    std::uint32_t code = lead & (0xFFu >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return {0, 0};
        code = (code << 6) | (byte(k) & 0x3Fu);
    }
    bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0, 0};
    return {code, length};
}

bool isWide(std::uint32_t code)
{
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E)
        || (code >= 0x3041 && code <= 0xA4CF) || (code >= 0xAC00 && code <= 0xD7A3)
        || (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFE30 && code <= 0xFE4F)
        || (code >= 0xFF00 && code <= 0xFF60) || (code >= 0xFFE0 && code <= 0xFFE6)
        || (code >= 0x20000 && code <= 0x3FFFD);
}

std::string escaped(std::uint32_t code)
{
    switch (code) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    case 0:
        return "\\0";
    default:
        break;
    }
    char text[16];
    std::snprintf(text, sizeof text, code < 0x80 ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(code));
    return text;
}

} // namespace

std::string shownText(std::string_view text, size_t maxBytes)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        auto [code, length] = decodeOne(text.substr(i));
        std::string piece;
        if (length == 0) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(text[i])));
            piece = hex;
            length = 1;
        } else if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0)) {
            piece = escaped(code);
        } else {
            piece.assign(text.substr(i, length));
        }
        if (out.size() + piece.size() > maxBytes) {
            out += "\xE2\x80\xA6"; // …
            return out;
        }
        out += piece;
        i += length;
    }
    return out;
}

size_t displayWidth(std::string_view utf8)
{
    size_t width = 0;
    for (size_t i = 0; i < utf8.size();) {
        auto [code, length] = decodeOne(utf8.substr(i));
        width += length != 0 && isWide(code) ? 2 : 1;
        i += length == 0 ? 1 : length;
    }
    return width;
}

std::string paddedText(std::string text, size_t width)
{
    size_t used = displayWidth(text);
    if (used < width)
        text.append(width - used, ' ');
    return text;
}

} // namespace tavik
