#include "tools/dwcimport/term_columns.h"

#include <cctype>

namespace tavik {
namespace {

constexpr std::array<std::string_view, occurrenceTermCount> termNames = {
    "species",
    "scientificName",
    "scientificNameAuthorship",
    "occurrenceStatus",
    "basisOfRecord",
    "decimalLatitude",
    "decimalLongitude",
    "geodeticDatum",
    "coordinateUncertaintyInMeters",
    "stateProvince",
    "county",
    "issue",
    "genus",
    "specificEpithet",
    "eventDate",
    "year",
};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::optional<OccurrenceTerm> occurrenceTermOf(std::string_view name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r'))
        name.remove_suffix(1);
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    size_t cut = name.find_last_of("/#:");
    if (cut != std::string_view::npos)
        name.remove_prefix(cut + 1);
    for (size_t i = 0; i < termNames.size(); ++i)
        if (equalsIgnoringCase(name, termNames[i]))
            return static_cast<OccurrenceTerm>(i);
    return std::nullopt;
}

std::string_view occurrenceTermName(OccurrenceTerm term) { return termNames[static_cast<size_t>(term)]; }

TermColumns TermColumns::fromHeader(const std::vector<std::string_view>& names)
{
    TermColumns columns;
    for (size_t i = 0; i < names.size(); ++i)
        if (std::optional<OccurrenceTerm> term = occurrenceTermOf(names[i]))
            columns.setColumn(*term, i);
    return columns;
}

void TermColumns::setColumn(OccurrenceTerm term, size_t column)
{
    size_t& at = columns_[static_cast<size_t>(term)];
    if (at == none)
        at = column;
}

void TermColumns::setDefault(OccurrenceTerm term, std::string value)
{
    defaults_[static_cast<size_t>(term)] = std::move(value);
}

bool TermColumns::has(OccurrenceTerm term) const
{
    auto i = static_cast<size_t>(term);
    return columns_[i] != none || !defaults_[i].empty();
}

std::string_view TermColumns::value(OccurrenceTerm term, const std::vector<std::string_view>& fields) const
{
    auto i = static_cast<size_t>(term);
    if (columns_[i] != none && columns_[i] < fields.size() && !fields[columns_[i]].empty())
        return fields[columns_[i]];
    return defaults_[i];
}

} // namespace tavik
