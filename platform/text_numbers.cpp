#include "platform/text_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tavik {

std::int64_t parseInteger64(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        // Below 10^18 one more digit still fits in 64 unsigned bits.
        if (magnitude < 1000000000000000000ULL)
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        else
            magnitude = limit + 1;
    }
    if (magnitude > limit + 1)
        magnitude = limit + 1;
    if (negative)
        return magnitude > limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    return magnitude > limit ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
}

int parseInteger(std::string_view text)
{
    std::int64_t value = parseInteger64(text);
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

double parseReal(std::string_view text)
{
    // from_chars, unlike strtod, does not follow the locale that the windowed
    // program sets, so "10.5" means the same everywhere.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size() || !((text[i] >= '0' && text[i] <= '9') || text[i] == '.'))
        return 0.0;
    double value = 0.0;
    auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return negative ? -value : value;
}

bool isNonFiniteReal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    auto startsWith = [&](std::string_view word) {
        if (text.size() - i < word.size())
            return false;
        for (size_t k = 0; k < word.size(); ++k)
            if ((text[i + k] | 0x20) != word[k])
                return false;
        return true;
    };
    if (startsWith("nan") || startsWith("inf"))
        return true;
    if (i >= text.size() || !((text[i] >= '0' && text[i] <= '9') || text[i] == '.'))
        return false;
    double value = 0.0;
    auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc::result_out_of_range)
        return result.ec == std::errc() && !std::isfinite(value);
    // Out of range is too large or too small, and a tiny value is no fault.
    // As that happens only beyond 1e308 or below 1e-307, the sign of the
    // number's decimal order tells them apart.
    long order = 0;
    bool seenDigit = false, afterPoint = false;
    size_t k = i;
    for (; k < text.size(); ++k) {
        char c = text[k];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        if (!afterPoint && (seenDigit || c != '0')) {
            seenDigit = true;
            ++order;
        } else if (afterPoint && !seenDigit) {
            if (c == '0')
                --order;
            else
                seenDigit = true;
        }
    }
    if (k < text.size() && (text[k] == 'e' || text[k] == 'E'))
        order += static_cast<long>(std::clamp<std::int64_t>(parseInteger64(text.substr(k + 1)), -1000000, 1000000));
    return order > 0;
}

} // namespace tavik
