#include "common/geo_point.h"

#include <charconv>
#include <cmath>

namespace tavik {
namespace {

constexpr int decimals = 8;
constexpr std::int64_t limitUnits = 1000 * GeoPoint::unitsPerDegree;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The plain form: [sign] digits [. digits] (either digit run may be empty,
// not both). Nothing when the text has any other form.
std::optional<std::int64_t> parsePlain(std::string_view text)
{
    bool negative = false;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t whole = 0;
    size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > 1000)
            return std::nullopt;
    }
    std::int64_t fraction = 0;
    int kept = 0;
    bool roundUp = false;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) {
            if (kept < decimals) {
                fraction = fraction * 10 + (text[i] - '0');
                ++kept;
            } else if (kept == decimals) {
                roundUp = text[i] >= '5';
                ++kept;
            }
        }
    }
    if (i != text.size() || digits == 0)
        return std::nullopt;
    for (int k = std::min(kept, decimals); k < decimals; ++k)
        fraction *= 10;
    std::int64_t units = whole * GeoPoint::unitsPerDegree + fraction + (roundUp ? 1 : 0);
    return negative ? -units : units;
}

} // namespace

std::optional<std::int64_t> parseDecimalDegrees(std::string_view text)
{
    std::optional<std::int64_t> units = parsePlain(text);
    if (!units) {
        double value = 0;
        if (!text.empty() && text.front() == '+')
            text.remove_prefix(1);
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)
            || std::fabs(value) > 1000)
            return std::nullopt;
        units = std::llround(value * static_cast<double>(GeoPoint::unitsPerDegree));
    }
    if (*units > limitUnits || *units < -limitUnits)
        return std::nullopt;
    return units;
}

std::string formatDecimalDegrees(std::int64_t units)
{
    std::string text;
    if (units < 0) {
        text += '-';
        units = -units;
    }
    text += std::to_string(units / GeoPoint::unitsPerDegree);
    std::int64_t fraction = units % GeoPoint::unitsPerDegree;
    if (fraction == 0)
        return text;
    std::string digits = std::to_string(fraction);
    digits.insert(0, static_cast<size_t>(decimals) - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    return text + '.' + digits;
}

} // namespace tavik
