#pragma once

#include "common/csv_reader.h"
#include "platform/cp932_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The report of a line of a table the reader refused: the file, then the
// line and what is wrong with it (cp932).
Cp932Text csvLineFaultMessage(CsvStatus status, std::string_view path, long line);

// Splits one line held in memory (its trailing line end dropped) by the
// viewer's rules (CsvReader::viewerTables) with at most maxFields fields
// (CsvReader::anyFields for the distribution table, whose line holds two a
// record); the fields point into `line`, which is changed in place where
// doubled quotes are undone. A quote fault keeps no field.
CsvStatus splitViewerLine(
    std::string& line, std::vector<std::string_view>& fields, size_t maxFields = CsvReader::viewerFields);

// How reading a table's rows ended.
enum class TableRowsRead { Done, CannotOpen, FaultyLine, Stopped };

// Reads the rows of the table at `path` up to column `columns` - 1 (blank
// lines passed over), handing the reader to takeRow at each; takeRow returns
// false to stop there (Stopped). FaultyLine: a line the reader refused,
// described in `fault`.
template <typename TakeRow>
TableRowsRead readTableRows(std::string_view path, size_t columns, CsvLineFault& fault, TakeRow takeRow)
{
    fault = {};
    CsvReader reader(CsvReader::viewerTables);
    if (!reader.open(path))
        return TableRowsRead::CannotOpen;
    for (;;) {
        switch (reader.nextRow(columns)) {
        case CsvReader::Row::End:
            return TableRowsRead::Done;
        case CsvReader::Row::Fault:
            fault = reader.rowFault();
            return TableRowsRead::FaultyLine;
        case CsvReader::Row::Held:
            if (!takeRow(static_cast<const CsvReader&>(reader)))
                return TableRowsRead::Stopped;
            break;
        }
    }
}

} // namespace tavik
