#pragma once

#include "common/grid_square.h"
#include "tools/dwcimport/basis_ranks.h"
#include "tools/dwcimport/event_index.h"
#include "tools/dwcimport/year_ranks.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavik {

class AreaNameIndex;
class DatumShiftTable;
class TermColumns;

// Why a record is not written. Each skipped record counts once, under the
// first reason in this order.
enum class SkipReason {
    FieldCount, // more or fewer fields than the header (or meta.xml) has: its columns would be shifted
    Absent, // occurrenceStatus "absent": a search that did not find the species
    NoName, // neither species nor scientificName (nor genus and specificEpithet)
    EpithetOnly, // a species column holding an epithet alone, and no genus to go with it
    ControlInName, // a name holding a control character (line feed, tab, NUL, ESC, ...)
    NotCp932, // a name that cp932 cannot hold
    FlaggedCoordinates, // a GBIF issue flag that marks the coordinates as wrong
    NoPlace, // no coordinates, and no stateProvince or county names an area
    BadCoordinates, // not a number, or beyond ±90 / ±180 degrees
    ZeroCoordinates, // exactly 0, 0
    BadUncertainty, // with a limit: a coordinateUncertaintyInMeters that is not a number of metres ("20 km", "inf")
    Uncertain, // coordinateUncertaintyInMeters above the limit
    UnknownDatum, // a geodeticDatum that is neither the world datum nor the Tokyo datum
    OutsideGrid, // with --grid: a point outside the national grid square system
};
constexpr size_t skipReasonCount = 14;

// The reason in words, for the summary (UTF-8).
std::string_view skipReasonText(SkipReason reason);

// One row of an input table, cp932, before ludric fills its species code.
struct InputRow {
    std::string name; // field 0: the scientific name
    std::string area; // field 3: an area code, for a record placed by its area
    char rank = 'C'; // field 5
    std::string latitude; // field 6: decimal degrees, "-" for south
    std::string longitude; // field 7: decimal degrees, "-" for west
    std::string grid; // field 8: the digits of a grid square
};

// The species name of a record: `species` when it is given, else
// `scientificName` without its authorship (the scientificNameAuthorship text
// when the name ends with it; else the words from the first one that is not
// a lower-case epithet or a rank word: "Papilio xuthus Linnaeus, 1767" gives
// "Papilio xuthus", "Eurema mandarina (de l'Orza, 1869)" "Eurema mandarina").
std::string speciesNameOf(std::string_view species, std::string_view scientificName, std::string_view authorship);

// A name with its blanks made plain: no-break, full-width (ideographic) and
// the other Unicode spaces become ASCII spaces, runs of them one, and none
// is left at either end (UTF-8).
std::string withPlainBlanks(std::string_view name);

// True when UTF-8 text holds a control character: C0 (line feed, carriage
// return, tab, NUL, ESC, ...), DEL or C1.
bool holdsControlCharacter(std::string_view text);

// Turns occurrence records into input-table rows, or says why a record is
// not written.
class OccurrenceMapper {
public:
    struct Rules {
        BasisRanks ranks;
        std::optional<YearRanks> yearRanks; // when set, ranks come from the date instead of basisOfRecord
        std::optional<double> maxUncertainty; // metres; none: no limit
        std::optional<GridOrder> grid; // none: coordinates are written
        bool squaresOnTokyoDatum = false; // MeshGeodetic is not WGS
        std::vector<std::string> refusedIssues; // GBIF issue flags, upper case
    };

    // How the written records are placed, and what was done to them.
    struct Counts {
        long atCoordinates = 0;
        long atSquares = 0;
        long atAreas = 0;
        long fromTokyoDatum = 0; // coordinates shifted from the Tokyo datum to the world datum
        long fromEvent = 0; // records placed, or ranked by date, by their event (sampling-event datasets)
    };

    // areas and shifts stay owned by the caller; shifts may be null when the
    // datum-shift table is not at hand (Tokyo-datum records are then skipped).
    OccurrenceMapper(Rules rules, const AreaNameIndex& areas, const DatumShiftTable* shifts);

    // Maps one record (its fields, found through columns; with the values of
    // its event, for an occurrence of a sampling-event dataset, taken where
    // the record has none of its own: its coordinates with their datum and
    // uncertainty, its state and county, its date, each group whole).
    // Nothing when the row was filled, else the reason it is skipped.
    std::optional<SkipReason> map(const TermColumns& columns, const std::vector<std::string_view>& fields,
        InputRow& row, const EventValues* event = nullptr);

    // The species name of the record last mapped, UTF-8 (for the report of
    // names cp932 cannot hold).
    const std::string& lastName() const { return name_; }

    const Counts& counts() const { return counts_; }

private:
    void collect(const TermColumns& columns, const std::vector<std::string_view>& fields, const EventValues* event);
    std::string_view value(OccurrenceTerm term) const { return values_[static_cast<size_t>(term)]; }
    std::optional<SkipReason> nameRecord();
    std::optional<SkipReason> place(InputRow& row);
    bool flagged(std::string_view issues) const;

    Rules rules_;
    const AreaNameIndex& areas_;
    const DatumShiftTable* shifts_;
    std::array<std::string_view, occurrenceTermCount> values_; // the record's values, trimmed
    std::array<std::string, occurrenceTermCount> cleaned_; // values whose control characters became spaces
    // Which groups of values the record took from its event.
    bool coordinatesFromEvent_ = false;
    bool areaFromEvent_ = false;
    bool dateFromEvent_ = false;
    std::string name_;
    std::unordered_map<std::string, std::optional<std::string>> cp932Names_; // UTF-8 name → cp932 form
    Counts counts_;
};

} // namespace tavik
