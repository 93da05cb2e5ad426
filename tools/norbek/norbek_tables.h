#pragma once

#include "common/literature_table.h"
#include "common/phyletic_record.h"
#include "common/species_record.h"
#include "platform/cp932_text.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

enum class CsvStatus;
struct FileReadResult;
enum class NameForm;
struct NorbekSettings;
struct ToolError;

// The species' name in the given form (scientific, alias 1 or alias 2).
const std::string& speciesName(const SpeciesRecord& species, NameForm form);

// An area and what its heading shows.
struct NorbekArea {
    std::int32_t code = 0; // column 0, above 0
    std::string name; // column 3, 63 bytes
    std::string alias1; // column 9, 63 bytes
    std::string alias2; // column 10, 63 bytes
    std::string latitude; // column 4, 15 bytes, as written
    std::string longitude; // column 5, 15 bytes
    std::string largeRegion; // column 12, 63 bytes
    std::string smallRegion; // column 13, 255 bytes
};

// A book (a journal or a series) that literature rows name by code.
struct NorbekBook {
    std::string code; // column 0, 27 bytes
    std::string title; // column 1, 127 bytes
    std::string title1; // column 2, alias 1
    std::string title2; // column 3, alias 2
};

// The reference tables of the literature writer, each sorted by code for
// binary search.
class NorbekTables {
public:
    // Species and phyletic tables, then the group assignment of species
    // without a phyletic code. False with the table and the message in error.
    bool loadSpecies(const NorbekSettings& settings, ToolError& error);
    // Area, literature and book tables, in that order; a missing book table
    // leaves the books empty.
    bool loadReferences(const NorbekSettings& settings, ToolError& error);

    // Gives each species whose phyletic code is 0 or less, and which names a
    // group, the code of the group of the same name and alias 1, appending
    // such a group when there is none; false when the table is full.
    bool assignGroups(int phyleticMax, std::string_view phyleticPath, ToolError& error);

    const std::vector<SpeciesRecord>& species() const { return species_; }
    const std::vector<LiteratureRow>& literature() const { return literature_; }

    // Index of a species in species(), or -1.
    int findSpecies(std::int64_t code) const;
    // Whether a species is in the species table beyond SpeciesMax rows.
    bool isSpeciesBeyondCapacity(std::int64_t code) const;
    const PhyleticRecord* findGroup(std::int64_t code) const;
    const NorbekArea* findArea(std::int32_t code) const;
    // Index of a literature row in literature(), or -1; the code is cut to 27 bytes.
    int findLiterature(std::string_view code) const;
    const NorbekBook* findBook(std::string_view code) const;

private:
    bool loadSpeciesTable(std::string_view path, int capacity, ToolError& error);
    bool loadPhyleticTable(std::string_view path, int capacity, ToolError& error);
    bool loadAreaTable(std::string_view path, int capacity, ToolError& error);
    bool loadLiteratureTable(std::string_view path, int capacity, ToolError& error);
    bool loadBookTable(std::string_view path, int capacity, ToolError& error);

    std::vector<SpeciesRecord> species_;
    std::set<std::int64_t> speciesBeyondCapacity_; // codes of the rows ignored
    std::vector<PhyleticRecord> groups_;
    std::vector<NorbekArea> areas_;
    std::vector<LiteratureRow> literature_;
    std::vector<NorbekBook> books_;
};

// The message norbek gives for a syntax code or a read error met on `row`
// (1-based) of any of its tables (cp932); errorText is the reader's.
Cp932Text norbekSyntaxMessage(CsvStatus status, long row, std::string_view errorText);

// The message for a table that cannot be opened: `missing` when there is no
// such file, else `unreadable` with the reason (UTF-8 literals in, cp932 out).
Cp932Text norbekOpenMessage(const FileReadResult& result, const char* missing, const char* unreadable);

} // namespace tavik
