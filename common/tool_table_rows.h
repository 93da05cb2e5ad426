#pragma once

#include "common/csv_reader.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"

#include <string>
#include <string_view>

namespace tavik {

// A column of the current row as the tools keep a table's text
// (TableTexts::Trimmed: cut to maxBytes, then trimmed), the reading the
// shared records take with that option.
inline std::string keptField(const CsvReader& reader, size_t column, size_t maxBytes)
{
    return tableText(reader.field(column), maxBytes, TableTexts::Trimmed);
}

// Opens a table and hands its rows to readRow() one by one, in file order.
// Reading stops at the end of the file (true), at a CSV syntax error (false,
// with a message naming the row), or when readRow returns false after
// setting error. label names the table in the open messages ("種テーブル").
template <typename ReadRow>
bool readToolTableRows(CsvReader& reader, std::string_view path, const char* label, ToolError& error, ReadRow readRow)
{
    if (!openToolTable(reader, path, label, error))
        return false;
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            return true;
        if (status != CsvStatus::Ok)
            return error.set(path, csvSyntaxMessage(status, reader.lineNumber(), reader.errorText()));
        if (!readRow())
            return false;
    }
}

} // namespace tavik
