#pragma once

#include "platform/cp932_text.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

class ToolAreaTable;
class CsvReader;
class FactLocation;
class FactStore;
class LiteratureTable;
class SpeciesCodeTable;
struct ToolError;

// Imports input tables into the store. A row holds: 0 species name (not
// read), 1 row mark ("IVD" skips the row), 2 species code, 3 area code or
// area name, 4 literature code or literature text, 5 reliability letter,
// 6 latitude, 7 longitude, 8 grid square (mesh) code. Every field is checked
// against the reference tables; the first fault ends the import with a
// message naming the row.
class InputTableImport {
public:
    InputTableImport(const SpeciesCodeTable& species, const ToolAreaTable& areas, const LiteratureTable& literature,
        FactStore& store);

    // Imports one table (cp932 path); prints "入力テーブル [path]" to progress
    // once it is open.
    bool import(std::string_view path, std::FILE* progress, ToolError& error);

private:
    struct InputRow;

    // Checks one row and adds its point and literature record; false with a
    // message (cp932) naming the row.
    bool importRow(const CsvReader& reader, long row, Cp932Text& message);
    // The steps of a row, each false with the message: the species by its
    // code, the location, the literature by its code or text.
    bool findSpecies(const InputRow& fields, long row, std::int64_t& code, Cp932Text& message);
    bool readLocation(const InputRow& fields, long row, FactLocation& location, Cp932Text& message) const;
    bool readArea(std::string_view field, long row, FactLocation& location, Cp932Text& message) const;
    bool findLiterature(const InputRow& fields, long row, Cp932Text& message);

    const SpeciesCodeTable& species_;
    const ToolAreaTable& areas_;
    const LiteratureTable& literature_;
    FactStore& store_;

    // Look-ups of consecutive rows are made once per change.
    bool haveSpecies_ = false;
    std::int64_t previousCode_ = 0;
    size_t previousSpecies_ = 0;
    bool haveLiterature_ = false;
    std::string previousLiteratureText_;
    std::string previousLiteratureCode_;
};

} // namespace tavik
