#include "tools/dwcimport/year_ranks.h"

#include "platform/report_text.h"
#include "platform/utf8_text.h"

#include <algorithm>

namespace tavik {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Four digits at the start of the text, not followed by a fifth unless the
// date is written without separators ("20030601").
std::optional<int> leadingYear(std::string_view text)
{
    text = trimmedBlanks(text);
    size_t digits = 0;
    while (digits < text.size() && isDigit(text[digits]))
        ++digits;
    if (digits != 4 && digits != 6 && digits != 8)
        return std::nullopt;
    int year = (text[0] - '0') * 1000 + (text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');
    return year >= 1000 ? std::optional(year) : std::nullopt;
}

} // namespace

bool YearRanks::parse(std::string_view list, YearRanks& ranks, std::string& error)
{
    ranks = {};
    bool otherwiseGiven = false;
    while (!list.empty()) {
        size_t comma = list.find(',');
        std::string_view entry = trimmedBlanks(list.substr(0, comma));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
        if (entry.empty())
            continue;
        size_t colon = entry.find(':');
        std::string_view when = colon == std::string_view::npos ? "" : trimmedBlanks(entry.substr(0, colon));
        std::string_view letter = colon == std::string_view::npos ? "" : trimmedBlanks(entry.substr(colon + 1));
        std::optional<int> year = when.size() == 4 ? leadingYear(when) : std::nullopt;
        if ((!year && when != "*") || letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
            error = "\"" + quotedForReportUtf8(entry)
                + "\" は 年:文字 (4 桁の年か *、と A から Z の階級) ではありません.";
            return false;
        }
        if (!year) {
            ranks.otherwise_ = letter[0];
            otherwiseGiven = true;
            continue;
        }
        auto same = std::find_if(ranks.fromYear_.begin(), ranks.fromYear_.end(),
            [&](const std::pair<int, char>& e) { return e.first == *year; });
        if (same != ranks.fromYear_.end())
            same->second = letter[0];
        else
            ranks.fromYear_.emplace_back(*year, letter[0]);
    }
    if (!otherwiseGiven) {
        error = "日付のない記録と最も古い年より前の記録の階級を *:文字 で書いて下さい (例 2000:A,1980:B,*:C).";
        return false;
    }
    std::sort(ranks.fromYear_.begin(), ranks.fromYear_.end(), [](const auto& a, const auto& b) { return a > b; });
    return true;
}

std::optional<int> YearRanks::yearOf(std::string_view eventDate, std::string_view year)
{
    if (std::optional<int> fromDate = leadingYear(eventDate))
        return fromDate;
    std::string_view digits = trimmedBlanks(year);
    if (digits.size() == 4)
        return leadingYear(digits);
    return std::nullopt;
}

char YearRanks::rankOf(std::string_view eventDate, std::string_view year) const
{
    std::optional<int> when = yearOf(eventDate, year);
    if (when)
        for (const auto& [from, letter] : fromYear_)
            if (*when >= from)
                return letter;
    return otherwise_;
}

std::string YearRanks::text() const
{
    std::string out;
    for (const auto& [from, letter] : fromYear_)
        out += std::to_string(from) + ":" + letter + ",";
    return out + "*:" + otherwise_;
}

} // namespace tavik
