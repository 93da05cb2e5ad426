#include "common/angle_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tavik {
namespace {

enum class Unit { None, Degrees, Minutes, Seconds };

// The sign that a first character gives, 0 when it gives none.
int leadingSign(char c, AngleKind kind)
{
    if (c == '+')
        return 1;
    if (c == '-')
        return -1;
    switch (kind) {
    case AngleKind::Latitude:
        return c == 'N' ? 1 : c == 'S' ? -1 : 0;
    case AngleKind::Longitude:
        return c == 'E' ? 1 : c == 'W' ? -1 : 0;
    case AngleKind::Span:
        return 0;
    }
    return 0;
}

bool toNumber(const std::string& digits, double& value)
{
    if (digits.empty() || digits == ".") {
        value = 0.0;
        return true;
    }
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

} // namespace

double parseAngle(std::string_view text, AngleKind kind)
{
    std::string groups[3]; // degrees, minutes, seconds as digit text
    bool given[3] = {false, false, false};
    std::string current;
    Unit last = Unit::None;
    bool anyDigit = false;
    int sign = 1;

    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            current += c;
            anyDigit = true;
        } else if (c == '.') {
            // A second full stop, or one after minutes or seconds, is invalid.
            if (given[0] || given[1] || given[2])
                return kInvalidAngle;
            groups[0] = current;
            given[0] = true;
            last = Unit::Degrees;
            current.clear();
        } else if (c == '\'') {
            if (given[1] || given[2])
                return kInvalidAngle;
            groups[1] = current;
            given[1] = true;
            last = Unit::Minutes;
            current.clear();
        } else if (c == '"') {
            if (given[2])
                return kInvalidAngle;
            groups[2] = current;
            given[2] = true;
            last = Unit::Seconds;
            current.clear();
        } else if (c == ' ' || c == '\t') {
            if (!current.empty())
                return kInvalidAngle;
        } else if (i == 0 && leadingSign(c, kind) != 0) {
            sign = leadingSign(c, kind);
        } else {
            return kInvalidAngle;
        }
    }
    if (!anyDigit)
        return kInvalidAngle;

    // Digits after the last mark are the decimal fraction of that unit.
    if (!current.empty()) {
        switch (last) {
        case Unit::None:
            groups[0] = current;
            break;
        case Unit::Degrees:
            groups[0] += "." + current;
            break;
        case Unit::Minutes:
            groups[1] += "." + current;
            break;
        case Unit::Seconds:
            groups[2] += "." + current;
            break;
        }
    }
    double degrees, minutes, seconds;
    if (!toNumber(groups[0], degrees) || !toNumber(groups[1], minutes) || !toNumber(groups[2], seconds))
        return kInvalidAngle;
    return (degrees + minutes / 60.0 + seconds / 3600.0) * sign;
}

} // namespace tavik
