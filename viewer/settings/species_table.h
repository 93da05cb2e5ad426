#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/species_record.h"
#include "viewer/settings/settings.h"

namespace tavik {

class MessageSink;
class PhyleticTable;

// The name of a species that a name mode selects.
const std::string& speciesName(const SpeciesRecord& species, NameMode mode);

// The species table: rows in file order and a list sorted by the name that
// SpNameMode selects, empty names last.
class SpeciesTable {
public:
    enum class LoadResult {
        Loaded, // rows beyond `capacity` are ignored without notice
        CannotOpen, // the table is empty
        FaultyLine, // reported: a line that cannot be read whole; the rows before it are kept
    };

    // Reads the table. A line the reader refuses (a broken quote, a field
    // longer than 256 bytes among the columns read) would leave out that
    // species and every one after it: it is reported with the file and the
    // line, and loading ends there.
    LoadResult load(std::string_view path, int capacity, NameMode sortMode, MessageSink& messages);

    // Gives every species without a group code the code of the group whose
    // names it carries, creating groups as needed. False after the overflow
    // message (later species keep their codes).
    bool assignPhyleticCodes(PhyleticTable& groups, MessageSink& messages);

    // Sorts the name list by the name of a mode.
    void sortByName(NameMode mode);

    // The species of a code, or null.
    const SpeciesRecord* find(std::int64_t code) const;

    const std::vector<SpeciesRecord>& rows() const { return rows_; }
    // Indices into rows() in name order.
    const std::vector<size_t>& byName() const { return byName_; }

private:
    std::vector<SpeciesRecord> rows_;
    std::vector<size_t> byName_;
};

} // namespace tavik
