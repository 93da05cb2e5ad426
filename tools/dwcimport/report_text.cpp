#include "tools/dwcimport/report_text.h"

#include "platform/utf8_text.h"

#include <cstdint>

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

} // namespace

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
