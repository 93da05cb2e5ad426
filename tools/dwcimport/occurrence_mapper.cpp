#include "tools/dwcimport/occurrence_mapper.h"

#include "common/datum_shift_table.h"
#include "platform/ascii_case.h"
#include "platform/cp932.h"
#include "platform/utf8_text.h"
#include "tools/dwcimport/area_name_index.h"
#include "tools/dwcimport/term_columns.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tavik {
namespace {

constexpr std::int64_t degree = GeoPoint::unitsPerDegree;

// The terms a name is made of: their control characters skip the record
// rather than become spaces.
bool isNameTerm(OccurrenceTerm term)
{
    return term == OccurrenceTerm::Species || term == OccurrenceTerm::ScientificName
        || term == OccurrenceTerm::ScientificNameAuthorship || term == OccurrenceTerm::Genus
        || term == OccurrenceTerm::SpecificEpithet;
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

// A species value that is an epithet alone ("asplenioides"), as some older
// data sets fill the column: one word of lower-case letters and hyphens.
bool isLoneEpithet(std::string_view species)
{
    if (species.empty() || species[0] < 'a' || species[0] > 'z')
        return false;
    for (char c : species)
        if (!(c >= 'a' && c <= 'z') && c != '-')
            return false;
    return true;
}

// A geodeticDatum in the form compared: its ASCII letters and digits in upper case.
std::string datumKey(std::string_view datum)
{
    std::string key;
    for (char c : datum) {
        if (c >= 'a' && c <= 'z')
            key += static_cast<char>(c - 'a' + 'A');
        else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
            key += c;
    }
    return key;
}

enum class Datum { World, Tokyo, Other };

// The world datum: WGS84 in any of its spellings and realisations, the
// ITRF realisations (which agree with it within a metre or so), JGD2000 and
// JGD2011 (likewise); a datum not stated ("", "unknown", "not recorded") is
// taken as WGS84, as GBIF does. The Tokyo datum: Tokyo, EPSG:4301, 日本測地系.
Datum datumOf(std::string_view geodeticDatum)
{
    std::string_view text = trimmedBlanks(geodeticDatum);
    for (std::string_view japanese : {"世界測地系", "測地成果2000", "測地成果2011"})
        if (text.starts_with(japanese))
            return Datum::World;
    for (std::string_view japanese : {"日本測地系", "旧日本測地系", "東京測地系"})
        if (text.starts_with(japanese))
            return Datum::Tokyo;
    std::string key = datumKey(text);
    static constexpr std::array<std::string_view, 9> notStated
        = {"", "UNKNOWN", "NOTRECORDED", "NOTSTATED", "UNSPECIFIED", "NOTSPECIFIED", "NONE", "NA", "NODATA"};
    for (std::string_view name : notStated)
        if (key == name)
            return Datum::World;
    static constexpr std::array<std::string_view, 10> world
        = {"WGS84", "WGS1984", "WORLDGEODETICSYSTEM1984", "EPSG4326", "JGD2000", "JGD2011", "EPSG4612", "EPSG6668",
            "JAPANESEGEODETICDATUM2000", "JAPANESEGEODETICDATUM2011"};
    for (std::string_view name : world)
        if (key.starts_with(name) || key.ends_with(name))
            return Datum::World;
    if (key.starts_with("ITRF") && key.size() > 4 && key[4] >= '0' && key[4] <= '9')
        return Datum::World;
    if (key.starts_with("TOKYO") || key == "EPSG4301" || key.ends_with("EPSG4301"))
        return Datum::Tokyo;
    return Datum::Other;
}

enum class Metres { Fine, Above, NotANumber };

Metres checkMetres(std::string_view text, double limit)
{
    if (text.empty())
        return Metres::Fine; // not stated
    double value = 0;
    if (text.front() == '+')
        text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0)
        return Metres::NotANumber;
    return value > limit ? Metres::Above : Metres::Fine;
}

// The length of a Unicode blank at the start of UTF-8 text, 0 when none:
// the space, the no-break space, the ideographic (full-width) space and the
// spaces of U+2000 to U+200A, U+202F and U+205F.
size_t blankLength(std::string_view text)
{
    auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
    if (byte(0) == ' ')
        return 1;
    if (byte(0) == 0xC2 && byte(1) == 0xA0)
        return 2;
    if (byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80)
        return 3;
    if (byte(0) == 0xE2 && byte(1) == 0x80 && ((byte(2) >= 0x80 && byte(2) <= 0x8A) || byte(2) == 0xAF))
        return 3;
    if (byte(0) == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F)
        return 3;
    return 0;
}

} // namespace

std::string_view skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::FieldCount:
        return "列の数が見出し (meta.xml) と合わない";
    case SkipReason::Absent:
        return "occurrenceStatus が absent (不在)";
    case SkipReason::NoName:
        return "名前がない (species も scientificName もない)";
    case SkipReason::EpithetOnly:
        return "species が種小名だけで属名がない";
    case SkipReason::ControlInName:
        return "名前に制御文字 (改行、タブなど) がある";
    case SkipReason::NotCp932:
        return "名前に cp932 で書けない文字がある";
    case SkipReason::FlaggedCoordinates:
        return "GBIF が座標に誤りの印 (issue) を付けた";
    case SkipReason::NoPlace:
        return "座標がなく、その名の地域もない";
    case SkipReason::BadCoordinates:
        return "座標が数でないか ±90/±180 を超える";
    case SkipReason::ZeroCoordinates:
        return "座標がちょうど 0,0";
    case SkipReason::BadUncertainty:
        return "座標の不確かさがメートルの数でない";
    case SkipReason::Uncertain:
        return "座標の不確かさが上限を超える";
    case SkipReason::UnknownDatum:
        return "換算できない測地系";
    case SkipReason::OutsideGrid:
        return "地域メッシュの範囲外";
    }
    return "";
}

std::string speciesNameOf(std::string_view species, std::string_view scientificName, std::string_view authorship)
{
    species = trimmedBlanks(species);
    if (!species.empty())
        return std::string(species);
    std::string_view name = trimmedBlanks(scientificName);
    authorship = trimmedBlanks(authorship);
    if (!authorship.empty() && name.size() > authorship.size()
        && name.substr(name.size() - authorship.size()) == authorship)
        return std::string(trimmedBlanks(name.substr(0, name.size() - authorship.size())));
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

std::string withPlainBlanks(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    bool blank = false;
    for (size_t i = 0; i < name.size();) {
        if (size_t length = blankLength(name.substr(i))) {
            blank = !out.empty();
            i += length;
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += name[i++];
    }
    return out;
}

bool holdsControlCharacter(std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            return true;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            return true;
    }
    return false;
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
        std::string_view flag = trimmedBlanks(issues.substr(0, cut));
        issues.remove_prefix(cut == std::string_view::npos ? issues.size() : cut + 1);
        for (const std::string& refused : rules_.refusedIssues)
            if (equalsIgnoringAsciiCase(flag, refused))
                return true;
    }
    return false;
}

void OccurrenceMapper::collect(
    const TermColumns& columns, const std::vector<std::string_view>& fields, const EventValues* event)
{
    for (size_t i = 0; i < occurrenceTermCount; ++i)
        values_[i] = trimmedBlanks(columns.value(static_cast<OccurrenceTerm>(i), fields));
    coordinatesFromEvent_ = areaFromEvent_ = dateFromEvent_ = false;
    if (event) {
        // Each group is taken whole from the event, where the record has none of it.
        auto take = [&](std::initializer_list<OccurrenceTerm> own, std::initializer_list<OccurrenceTerm> group) {
            for (OccurrenceTerm term : own)
                if (!value(term).empty())
                    return false;
            bool taken = false;
            for (OccurrenceTerm term : group) {
                auto i = static_cast<size_t>(term);
                values_[i] = trimmedBlanks((*event)[i]);
                taken = taken || !values_[i].empty();
            }
            return taken;
        };
        using T = OccurrenceTerm;
        coordinatesFromEvent_ = take({T::DecimalLatitude, T::DecimalLongitude},
            {T::DecimalLatitude, T::DecimalLongitude, T::GeodeticDatum, T::CoordinateUncertaintyInMeters});
        areaFromEvent_ = take({T::StateProvince, T::County}, {T::StateProvince, T::County});
        dateFromEvent_ = take({T::EventDate, T::Year}, {T::EventDate, T::Year});
    }
    // Control characters become spaces, except in the name, where they skip the record.
    for (size_t i = 0; i < occurrenceTermCount; ++i) {
        if (isNameTerm(static_cast<OccurrenceTerm>(i)) || !holdsControlCharacter(values_[i]))
            continue;
        std::string& clean = cleaned_[i];
        clean.assign(values_[i]);
        for (size_t k = 0; k < clean.size(); ++k) {
            auto c = static_cast<unsigned char>(clean[k]);
            if (c < 0x20 || c == 0x7F) {
                clean[k] = ' ';
            } else if (c == 0xC2 && k + 1 < clean.size() && static_cast<unsigned char>(clean[k + 1]) < 0xA0) {
                clean.replace(k, 2, " ");
            }
        }
        values_[i] = trimmedBlanks(clean);
    }
}

std::optional<SkipReason> OccurrenceMapper::nameRecord()
{
    using T = OccurrenceTerm;
    auto plain = [&](OccurrenceTerm term) { return withPlainBlanks(value(term)); };
    std::string species = plain(T::Species);
    if (isLoneEpithet(species)) {
        // An older layout: the column holds the epithet alone.
        std::string genus = plain(T::Genus);
        std::string epithet = plain(T::SpecificEpithet);
        if (!genus.empty())
            name_ = genus + " " + (epithet.empty() ? species : epithet);
        else if (!value(T::ScientificName).empty())
            name_ = speciesNameOf("", plain(T::ScientificName), plain(T::ScientificNameAuthorship));
        else
            return SkipReason::EpithetOnly;
    } else if (!species.empty()) {
        name_ = std::move(species);
    } else if (!value(T::ScientificName).empty()) {
        name_ = speciesNameOf("", plain(T::ScientificName), plain(T::ScientificNameAuthorship));
    } else if (!value(T::Genus).empty() && !value(T::SpecificEpithet).empty()) {
        name_ = plain(T::Genus) + " " + plain(T::SpecificEpithet);
    }
    if (holdsControlCharacter(name_))
        return SkipReason::ControlInName;
    if (name_.empty())
        return SkipReason::NoName;
    return std::nullopt;
}

std::optional<SkipReason> OccurrenceMapper::map(
    const TermColumns& columns, const std::vector<std::string_view>& fields, InputRow& row, const EventValues* event)
{
    name_.clear();
    collect(columns, fields, event);
    if (equalsIgnoringAsciiCase(value(OccurrenceTerm::OccurrenceStatus), "absent"))
        return SkipReason::Absent;
    if (std::optional<SkipReason> skip = nameRecord())
        return skip;
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
    row.rank = rules_.yearRanks
        ? rules_.yearRanks->rankOf(value(OccurrenceTerm::EventDate), value(OccurrenceTerm::Year))
        : rules_.ranks.rankOf(value(OccurrenceTerm::BasisOfRecord));
    std::optional<SkipReason> skip = place(row);
    bool placedByEvent = row.area.empty() ? coordinatesFromEvent_ : areaFromEvent_;
    if (!skip && (placedByEvent || (rules_.yearRanks && dateFromEvent_)))
        ++counts_.fromEvent;
    return skip;
}

std::optional<SkipReason> OccurrenceMapper::place(InputRow& row)
{
    std::string_view latitudeText = value(OccurrenceTerm::DecimalLatitude);
    std::string_view longitudeText = value(OccurrenceTerm::DecimalLongitude);
    if (latitudeText.empty() || longitudeText.empty()) {
        // The state or province names the area; a county only where no state
        // is given, or where it lies in the state's area (a ward of a city
        // may bear the name of another prefecture).
        std::string_view state = value(OccurrenceTerm::StateProvince);
        std::string_view county = value(OccurrenceTerm::County);
        std::optional<std::int32_t> stateArea = state.empty() ? std::nullopt : areas_.find(state);
        std::optional<std::int32_t> countyArea = county.empty() ? std::nullopt : areas_.find(county);
        std::optional<std::int32_t> area;
        if (!state.empty())
            area = stateArea && countyArea && areas_.liesIn(*countyArea, *stateArea) ? countyArea : stateArea;
        else
            area = countyArea;
        if (!area)
            return SkipReason::NoPlace;
        row.area = std::to_string(*area);
        ++counts_.atAreas;
        return std::nullopt;
    }

    std::optional<std::int64_t> latitude = parseDecimalDegrees(latitudeText);
    std::optional<std::int64_t> longitude = parseDecimalDegrees(longitudeText);
    if (!latitude || !longitude || std::abs(*latitude) > 90 * degree || std::abs(*longitude) > 180 * degree)
        return SkipReason::BadCoordinates;
    if (*latitude == 0 && *longitude == 0)
        return SkipReason::ZeroCoordinates;
    if (rules_.maxUncertainty) {
        Metres metres = checkMetres(value(OccurrenceTerm::CoordinateUncertaintyInMeters), *rules_.maxUncertainty);
        if (metres == Metres::NotANumber)
            return SkipReason::BadUncertainty;
        if (metres == Metres::Above)
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
