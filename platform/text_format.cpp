#include "platform/text_format.h"

#include "platform/cp932.h"

#include <charconv>
#include <cmath>

namespace tavik {

std::string tailCp932(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    // Character boundaries are only known from the start of the text.
    std::size_t begin = 0;
    while (text.size() - begin > maxBytes) {
        bool pair = isCp932LeadByte(static_cast<unsigned char>(text[begin])) && begin + 1 < text.size();
        begin += pair ? 2 : 1;
    }
    return std::string(text.substr(begin));
}

std::string formatFixed(double value, int width, int precision)
{
    char buffer[400];
    std::string text;
    if (!std::isfinite(value)) {
        text = std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    } else {
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
        text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0");
    }
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

} // namespace tavik
