#include "viewer/basemap/angle_text.h"

#include <string>

namespace tavik {

namespace {

double parseAngle(std::string_view text, char positive, char negative)
{
    enum Unit { None, Degrees, Minutes, Seconds };
    double groups[4] = {0, 0, 0, 0};
    bool given[4] = {false, false, false, false};
    Unit last = None;
    std::string digits;
    bool anyDigit = false;
    double sign = 1.0;
    auto value = [](const std::string& d) {
        double v = 0;
        for (char c : d)
            v = v * 10 + (c - '0');
        return v;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            anyDigit = true;
            continue;
        }
        if (i == 0 && (c == '+' || c == '-' || (positive && c == positive) || (negative && c == negative))) {
            sign = (c == '-' || c == negative) ? -1.0 : 1.0;
            continue;
        }
        Unit unit = None;
        if (c == '.')
            unit = Degrees;
        else if (c == '\'')
            unit = Minutes;
        else if (c == '"')
            unit = Seconds;
        else if (c == ' ' || c == '\t') {
            if (!digits.empty())
                return InvalidAngle;
            continue;
        } else {
            return InvalidAngle;
        }
        // Units come in order, each once.
        if (given[unit] || last > unit)
            return InvalidAngle;
        groups[unit] = value(digits);
        given[unit] = true;
        last = unit;
        digits.clear();
    }
    if (!anyDigit)
        return InvalidAngle;
    if (!digits.empty()) {
        if (last == None) {
            groups[Degrees] = value(digits);
        } else {
            double fraction = 0;
            for (std::size_t k = digits.size(); k-- > 0;)
                fraction = (fraction + (digits[k] - '0')) / 10.0;
            groups[last] += fraction;
        }
    }
    return (groups[Degrees] + groups[Minutes] / 60.0 + groups[Seconds] / 3600.0) * sign;
}

} // namespace

double parseLatitudeText(std::string_view text) { return parseAngle(text, 'N', 'S'); }

double parseLongitudeText(std::string_view text) { return parseAngle(text, 'E', 'W'); }

double parseSpanText(std::string_view text) { return parseAngle(text, 0, 0); }

} // namespace tavik
