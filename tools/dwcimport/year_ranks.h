#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavik {

// Ranks by the date of a record, for maps that draw old and recent records
// with different marks: a list of YEAR:LETTER entries separated by commas,
// each saying that records of that year or later take that rank, and "*"
// for the records no year takes, those without a date among them:
// "2000:A,1980:B,*:C" ranks a record of 2003 A, one of 1985 B, one of 1950
// or of no date C. The year of a record is the first year of its eventDate
// (ISO 8601: "2003-06-01", "2003-06", "1998/2002" gives 1998, the earliest
// it may be), else its year.
class YearRanks {
public:
    // Reads a list; false with the entry at fault in `error` (UTF-8) when an
    // entry is not YEAR:LETTER or *:LETTER with a capital letter A to Z, or
    // when "*" is missing.
    static bool parse(std::string_view list, YearRanks& ranks, std::string& error);

    // The rank of a record of that eventDate and year.
    char rankOf(std::string_view eventDate, std::string_view year) const;

    // The year of a record, or nothing when neither text gives one.
    static std::optional<int> yearOf(std::string_view eventDate, std::string_view year);

    // The list as parse() reads it, latest year first.
    std::string text() const;

private:
    std::vector<std::pair<int, char>> fromYear_; // latest first
    char otherwise_ = 'C';
};

} // namespace tavik
