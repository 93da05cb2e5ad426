#pragma once

#include "common/table_rows.h"

#include "common/phyletic_record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

enum class PhyleticTableStatus { Ok = 0, CannotOpen = -1, FaultyLine = -3 };

// The phyletic table: rows in file order (groups created from the species
// table are appended) and a list sorted by code for look-ups.
class PhyleticTable {
public:
    // Reads the table; rows beyond `capacity` are ignored without notice.
    // CannotOpen when the file cannot be opened (the table is then empty);
    // FaultyLine, with fault() saying where, at a line the reader refuses or
    // cannot read (the rows before it are kept).
    PhyleticTableStatus load(std::string_view path, int capacity);

    const CsvLineFault& fault() const { return fault_; }

    // Appends a group created from a species; false when the table is full.
    bool append(PhyleticRecord record);

    // Sorts the look-up list by code again (after appends).
    void sortByCode();

    // The group of a code, or null (binary search).
    const PhyleticRecord* find(std::int64_t code) const;

    // The group `level` steps up from the group of a code: level 1 (and any
    // level below it) is the group of that code itself, level k + 1 the group
    // whose code is the parent code of the group at level k. Null when a code
    // on the way is not in the table.
    const PhyleticRecord* groupAtLevel(std::int64_t code, int level) const;

    const std::vector<PhyleticRecord>& rows() const { return rows_; }
    int capacity() const { return capacity_; }
    bool full() const { return static_cast<int>(rows_.size()) >= capacity_; }

private:
    std::vector<PhyleticRecord> rows_;
    std::vector<size_t> byCode_; // indices into rows_
    int capacity_ = 0;
    CsvLineFault fault_;
};

} // namespace tavik
