#pragma once

#include "tools/dwcimport/occurrence_mapper.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tavik {

struct DwcImportCommandLine;
struct ToolError;

// What one conversion did, for the summary it prints.
struct DwcImportSummary {
    std::string download; // the data file read (UTF-8)
    std::string form; // the form and layout in words
    std::string inputTable; // the table written (UTF-8)
    long rowsRead = 0;
    long rowsWritten = 0;
    OccurrenceMapper::Counts placed;
    std::array<long, skipReasonCount> skipped{};
    std::vector<long> fieldCountLines; // the first lines skipped for their count of fields
    std::map<std::string, long> unknownNames; // names not in the species table (UTF-8) → rows
    std::map<std::string, long> unheldNames; // names cp932 cannot hold (UTF-8, shown as <U+XXXX>) → rows
    std::string notes; // the datum of what was written, the ranks, the events, in words

    // The summary as printed (UTF-8, lines ending in "\n").
    std::string text() const;
};

// Converts one occurrence download into an input table: reads tavik.ini
// (its [Dwc] section and the table paths), checks the literature code
// against the literature table, maps every record (OccurrenceMapper) and
// writes the rows, cp932 with CR LF, through a temporary file renamed over
// the input table. It holds the database lock (tavik.lock) while it writes,
// as ludric and samvel do, and under it removes the temporary files a killed
// run of its own left beside the table. Nothing is written when anything
// fails; a signal that stops it removes its temporary file.
class DwcImport {
public:
    // Records between two progress lines.
    static constexpr long progressRows = 100000;

    // Lines of records skipped for their count of fields that the summary names.
    static constexpr size_t shownLines = 5;

    // progress: where "N records read" lines go while converting, or null.
    // False with the fault in `error` (cp932).
    static bool run(const DwcImportCommandLine& line, std::FILE* progress, DwcImportSummary& summary, ToolError& error);
};

} // namespace tavik
