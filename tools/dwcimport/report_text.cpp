#include "tools/dwcimport/report_text.h"

#include "tools/dwcimport/utf8_text.h"

#include <cstdint>
#include <cstdio>

namespace tavik {
namespace {

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
        auto [code, length] = firstCodePoint(text.substr(i));
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
        auto [code, length] = firstCodePoint(utf8.substr(i));
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
