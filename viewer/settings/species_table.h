#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/settings/settings.h"

namespace tavik {

class MessageSink;
class PhyleticTable;

// A row of the species table.
struct SpeciesRecord {
    std::int64_t code = 0;
    std::string scientificName; // up to 63 bytes
    std::string author; // up to 47 bytes
    std::string year; // up to 7 bytes
    bool parenthesis = false; // author and year are printed in parentheses
    std::int64_t phyleticCode = 0; // 0 or negative: to be assigned from the group names
    std::string groupName; // up to 63 bytes
    std::string alias1; // first vernacular name, up to 63 bytes
    std::string groupAlias1; // up to 63 bytes
    std::string alias2; // up to 63 bytes
    std::string groupAlias2; // up to 63 bytes
    int row = 0; // position among the rows

    // The name that a name mode selects.
    const std::string& name(NameMode mode) const;
};

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
