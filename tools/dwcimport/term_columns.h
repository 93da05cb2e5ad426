#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The Darwin Core (and GBIF) terms the converter reads from an occurrence.
enum class OccurrenceTerm {
    Species, // GBIF's interpreted binomial, without authorship
    ScientificName,
    ScientificNameAuthorship,
    OccurrenceStatus,
    BasisOfRecord,
    DecimalLatitude,
    DecimalLongitude,
    GeodeticDatum,
    CoordinateUncertaintyInMeters,
    StateProvince,
    County,
    Issue, // GBIF's interpretation flags, separated by ";"
    Genus,
    SpecificEpithet,
    EventDate, // ISO 8601: "2021-06-01", "2021-06", "1998/2002"
    Year,
};
constexpr size_t occurrenceTermCount = 16;

// The term a column is named by: a term name ("decimalLatitude"), a prefixed
// one ("dwc:decimalLatitude") or a term URI
// ("http://rs.tdwg.org/dwc/terms/decimalLatitude"); the name after the last
// "/", "#" or ":" counts, in any case. Nothing for the terms not read.
std::optional<OccurrenceTerm> occurrenceTermOf(std::string_view name);

// The term's name as Darwin Core writes it ("decimalLatitude").
std::string_view occurrenceTermName(OccurrenceTerm term);

// Where each term of a record is found: the column that names it (the first
// one, when several do) or, as a core file's description may give, a value
// every record has.
class TermColumns {
public:
    // Columns of a header row of term names.
    static TermColumns fromHeader(const std::vector<std::string_view>& names);

    // Sets the column of a term unless it has one.
    void setColumn(OccurrenceTerm term, size_t column);
    // Sets the value of a term that no column gives.
    void setDefault(OccurrenceTerm term, std::string value);

    // True when a column or a default gives the term.
    bool has(OccurrenceTerm term) const;

    // The term's value in a record: its column's, or the default when that
    // is empty or the record is shorter, else empty.
    std::string_view value(OccurrenceTerm term, const std::vector<std::string_view>& fields) const;

private:
    static constexpr size_t none = static_cast<size_t>(-1);
    std::array<size_t, occurrenceTermCount> columns_ = filled();
    std::array<std::string, occurrenceTermCount> defaults_;

    static constexpr std::array<size_t, occurrenceTermCount> filled()
    {
        std::array<size_t, occurrenceTermCount> all{};
        all.fill(none);
        return all;
    }
};

} // namespace tavik
