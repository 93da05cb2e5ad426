#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

class SpeciesNameTable;
struct ToolError;

// Fills the species code column of input tables: for every row without a row
// mark, the species name (field 0) is looked up among the scientific names
// when it is written in ASCII and among the Japanese names when it is written
// in two-byte characters, and its code goes into field 2. Each table is
// rewritten through a temporary file renamed over it; a table with any fault
// is left as it was. A row with text beyond its nine fields means the file is
// not an input table: it is refused rather than cut.
class Ludric {
public:
    // Tables one run may take.
    static constexpr size_t maxTables = 5000;

    // maxTables, unless a test has set TAVIK_LUDRIC_MAX_TABLES (1 to
    // maxTables) to reach the limit with a few files.
    static size_t tableLimit();

    // Fills every table matching a cp932 pattern (wildcards in the file-name
    // part) in name order, holding the database lock. Every table is first
    // checked (checkTable), so that a file that is no input table changes
    // nothing; after that the first fault ends the run, tables done before it
    // keeping their new contents. Progress lines go to `progress`.
    static bool run(std::string_view pattern, std::FILE* progress, ToolError& error);

    // Whether a table may be rewritten: not write-protected, every line
    // readable, no text beyond the ninth field.
    static bool checkTable(std::string_view path, ToolError& error);

    // Fills one table (cp932 path).
    static bool fillTable(
        std::string_view path, const SpeciesNameTable& species, std::FILE* progress, ToolError& error);

    // The usage text (cp932).
    static std::string usage();
};

} // namespace tavik
