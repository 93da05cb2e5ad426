#include "tools/dwcimport/occurrence_mapper.h"

#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/datum_shift_table.h"
#include "tools/dwcimport/term_columns.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace tavik {
namespace {

constexpr std::int64_t degree = GeoPoint::unitsPerDegree;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Words a name holds between its epithets: ranks and the hybrid sign.
bool isNameWord(std::string_view word)
{
    static constexpr std::array<std::string_view, 12> rankWords
        = {"subsp.", "ssp.", "var.", "f.", "fo.", "forma", "subvar.", "cf.", "aff.", "agg.", "x", "\xC3\x97"};
    for (std::string_view rankWord : rankWords)
        if (word == rankWord)
            return true;
    // An epithet: lower-case Latin letters, perhaps with hyphens.
    for (char c : word)
        if (!(c >= 'a' && c <= 'z') && c != '-')
            return false;
    // Particles of authors' names are no epithets ("de l'Orza", "van der Poorten").
    static constexpr std::array<std::string_view, 11> particles
        = {"de", "der", "den", "van", "von", "da", "du", "la", "le", "del", "zu"};
    for (std::string_view particle : particles)
        if (word == particle)
            return false;
    return !word.empty();
}

// A geodeticDatum in the form compared: upper case, without blanks, "-" and "_".
std::string datumKey(std::string_view datum)
{
    std::string key;
    for (char c : datum)
        if (c != ' ' && c != '-' && c != '_')
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

enum class Datum { World, Tokyo, Other };

// The world datum: WGS84, and JGD2000 and JGD2011, which agree with it within
// a metre; a datum not stated is taken as WGS84, as GBIF does.
Datum datumOf(std::string_view geodeticDatum)
{
    std::string key = datumKey(geodeticDatum);
    static constexpr std::array<std::string_view, 10> world = {"", "WGS84", "EPSG:4326", "JGD2000", "EPSG:4612",
        "JGD2011", "EPSG:6668", "UNKNOWN", "NOTRECORDED", "NOTSTATED"};
    for (std::string_view name : world)
        if (key == name)
            return Datum::World;
    if (key == "TOKYO" || key == "TOKYODATUM" || key == "EPSG:4301")
        return Datum::Tokyo;
    return Datum::Other;
}

std::optional<double> parseMetres(std::string_view text)
{
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::string_view skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::Absent:
        return "occurrenceStatus absent";
    case SkipReason::NoName:
        return "no species or scientificName";
    case SkipReason::NotCp932:
        return "a name cp932 cannot hold";
    case SkipReason::FlaggedCoordinates:
        return "coordinates flagged wrong by GBIF";
    case SkipReason::NoPlace:
        return "no coordinates, and no area of that name";
    case SkipReason::BadCoordinates:
        return "coordinates not numbers or beyond 90/180";
    case SkipReason::ZeroCoordinates:
        return "coordinates exactly 0,0";
    case SkipReason::Uncertain:
        return "coordinate uncertainty above the limit";
    case SkipReason::UnknownDatum:
        return "a geodetic datum not converted";
    case SkipReason::OutsideGrid:
        return "outside the grid square system";
    }
    return "";
}

std::string speciesNameOf(std::string_view species, std::string_view scientificName, std::string_view authorship)
{
    species = trimmed(species);
    if (!species.empty())
        return std::string(species);
    std::string_view name = trimmed(scientificName);
    authorship = trimmed(authorship);
    if (!authorship.empty() && name.size() > authorship.size()
        && name.substr(name.size() - authorship.size()) == authorship)
        return std::string(trimmed(name.substr(0, name.size() - authorship.size())));
    // The genus, then epithets and rank words up to the authorship.
    size_t end = name.find(' ');
    if (end == std::string_view::npos)
        return std::string(name);
    for (;;) {
        size_t start = name.find_first_not_of(' ', end);
        if (start == std::string_view::npos)
            break;
        size_t stop = name.find(' ', start);
        std::string_view word = name.substr(start, stop == std::string_view::npos ? stop : stop - start);
        if (!isNameWord(word))
            break;
        end = stop == std::string_view::npos ? name.size() : stop;
        if (stop == std::string_view::npos)
            break;
    }
    return std::string(name.substr(0, end));
}

OccurrenceMapper::OccurrenceMapper(Rules rules, const AreaNameIndex& areas, const DatumShiftTable* shifts)
    : rules_(std::move(rules))
    , areas_(areas)
    , shifts_(shifts)
{
}

bool OccurrenceMapper::flagged(std::string_view issues) const
{
    while (!issues.empty()) {
        size_t cut = issues.find_first_of(";,|");
        std::string_view flag = trimmed(issues.substr(0, cut));
        issues.remove_prefix(cut == std::string_view::npos ? issues.size() : cut + 1);
        for (const std::string& refused : rules_.refusedIssues)
            if (equalsIgnoringAsciiCase(flag, refused))
                return true;
    }
    return false;
}

std::optional<SkipReason> OccurrenceMapper::map(
    const TermColumns& columns, const std::vector<std::string_view>& fields, InputRow& row)
{
    auto value = [&](OccurrenceTerm term) { return trimmed(columns.value(term, fields)); };
    name_.clear();
    if (equalsIgnoringAsciiCase(value(OccurrenceTerm::OccurrenceStatus), "absent"))
        return SkipReason::Absent;
    name_ = speciesNameOf(value(OccurrenceTerm::Species), value(OccurrenceTerm::ScientificName),
        value(OccurrenceTerm::ScientificNameAuthorship));
    if (name_.empty())
        return SkipReason::NoName;
    auto known = cp932Names_.find(name_);
    if (known == cp932Names_.end())
        known = cp932Names_.emplace(name_, utf8ToCp932Exact(name_)).first;
    if (!known->second)
        return SkipReason::NotCp932;
    if (flagged(value(OccurrenceTerm::Issue)))
        return SkipReason::FlaggedCoordinates;

    row.name = *known->second;
    row.area.clear();
    row.latitude.clear();
    row.longitude.clear();
    row.grid.clear();
    row.rank = rules_.ranks.rankOf(value(OccurrenceTerm::BasisOfRecord));
    return place(columns, fields, row);
}

std::optional<SkipReason> OccurrenceMapper::place(
    const TermColumns& columns, const std::vector<std::string_view>& fields, InputRow& row)
{
    auto value = [&](OccurrenceTerm term) { return trimmed(columns.value(term, fields)); };
    std::string_view latitudeText = value(OccurrenceTerm::DecimalLatitude);
    std::string_view longitudeText = value(OccurrenceTerm::DecimalLongitude);
    if (latitudeText.empty() || longitudeText.empty()) {
        for (OccurrenceTerm term : {OccurrenceTerm::County, OccurrenceTerm::StateProvince}) {
            std::string_view name = value(term);
            if (std::optional<std::int32_t> code = name.empty() ? std::nullopt : areas_.find(name)) {
                row.area = std::to_string(*code);
                ++counts_.atAreas;
                return std::nullopt;
            }
        }
        return SkipReason::NoPlace;
    }

    std::optional<std::int64_t> latitude = parseDecimalDegrees(latitudeText);
    std::optional<std::int64_t> longitude = parseDecimalDegrees(longitudeText);
    if (!latitude || !longitude || std::abs(*latitude) > 90 * degree || std::abs(*longitude) > 180 * degree)
        return SkipReason::BadCoordinates;
    if (*latitude == 0 && *longitude == 0)
        return SkipReason::ZeroCoordinates;
    if (rules_.maxUncertainty) {
        std::optional<double> metres = parseMetres(value(OccurrenceTerm::CoordinateUncertaintyInMeters));
        if (metres && *metres > *rules_.maxUncertainty)
            return SkipReason::Uncertain;
    }
    GeoPoint point{*latitude, *longitude};
    Datum datum = datumOf(value(OccurrenceTerm::GeodeticDatum));
    if (datum == Datum::Other || (datum == Datum::Tokyo && !shifts_))
        return SkipReason::UnknownDatum;
    bool fromTokyo = datum == Datum::Tokyo;
    if (fromTokyo)
        point = shifts_->tokyoToWorld(point);

    if (rules_.grid) {
        GeoPoint square = rules_.squaresOnTokyoDatum ? shifts_->worldToTokyo(point) : point;
        std::optional<std::string> code = gridSquareCode(square, *rules_.grid);
        if (!code)
            return SkipReason::OutsideGrid;
        row.grid = std::move(*code);
        ++counts_.atSquares;
    } else {
        row.latitude = formatDecimalDegrees(point.latitude);
        row.longitude = formatDecimalDegrees(point.longitude);
        ++counts_.atCoordinates;
    }
    if (fromTokyo)
        ++counts_.fromTokyoDatum;
    return std::nullopt;
}

} // namespace tavik
