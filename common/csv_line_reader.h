#pragma once

#include "common/csv_fields.h"
#include "common/text_line_source.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// Where loading a table stopped: a line the reader refused, and why.
struct CsvLineFault {
    CsvStatus status = CsvStatus::Ok;
    long line = 0; // 1-based
};

// The report of a line of a table the reader refused: the file, then the
// line and what is wrong with it (cp932).
std::string csvLineFaultMessage(CsvStatus status, std::string_view path, long line);

// The viewer's reader of CSV tables in cp932: one line at a time (lines end
// in LF, CR LF, or a CR alone outside quotes: LineEndScanner), split into
// fields by commas with double-quote quoting, two-byte characters stepped over
// whole. A line is read whole however long it is, as far as memory holds it.
class CsvLineReader {
public:
    static constexpr size_t kMaxFields = 60000; // the room of the reference tables' reader
    static constexpr size_t kAnyFields = static_cast<size_t>(-1);
    static constexpr size_t kMaxFieldBytes = 256;

    // maxFields: fields kept of a line (kAnyFields for the distribution
    // table, whose line holds two a record).
    explicit CsvLineReader(size_t maxFields = kMaxFields);

    // Opens a cp932 path for reading; false when a file is already open or
    // the path cannot be opened as a regular file (a folder or a device holds
    // no table).
    bool open(std::string_view path);

    // Positions the reader at a byte offset; lineNumber is the 1-based number
    // of the line that starts there (used in messages).
    bool seek(std::uint64_t offset, long lineNumber = 1);

    // Reads and splits the next line.
    CsvStatus nextLine();

    // Copies at most `limit` bytes of a field into destination (a longer
    // field is cut); false, leaving destination empty, when there is no such
    // field or no line is held.
    bool field(size_t index, std::string& destination, size_t limit) const;

    // The field's text, empty when there is no such field.
    std::string_view field(size_t index) const;

    size_t fieldCount() const { return fields_.size(); }

    enum class Row { Held, End, Fault };
    // Reads on to the next line holding a whole row of a table read up to
    // column `columns` - 1, passing blank lines over. Fault: the
    // line the reader refused, kept in rowFault().
    Row nextRow(size_t columns);
    const CsvLineFault& rowFault() const { return rowFault_; }

    // 1-based number of the line last read.
    long lineNumber() const { return lineNumber_; }

    bool isOpen() const { return lines_.isOpen(); }
    void close();

    // Splits one line (without its line end handling beyond the trailing
    // characters rule) into fields; the fields point into `line`, which is
    // modified in place where doubled quotes are undone.
    static CsvStatus splitLine(std::string& line, std::vector<std::string_view>& fields, size_t maxFields = kMaxFields);

private:
    // Whether a line read with `status` gives a whole row of a table whose
    // rows are read up to column `columns` - 1: a line that was split, or one
    // whose too long or too many fields lie beyond those columns.
    bool holdsRow(CsvStatus status, size_t columns) const;

    size_t maxFields_;
    TextLineSource lines_;
    std::string line_;
    std::vector<std::string_view> fields_;
    bool holdsLine_ = false;
    CsvLineFault rowFault_;
    long lineNumber_ = 0;
};

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
    CsvLineReader reader;
    if (!reader.open(path))
        return TableRowsRead::CannotOpen;
    for (;;) {
        switch (reader.nextRow(columns)) {
        case CsvLineReader::Row::End:
            return TableRowsRead::Done;
        case CsvLineReader::Row::Fault:
            fault = reader.rowFault();
            return TableRowsRead::FaultyLine;
        case CsvLineReader::Row::Held:
            if (!takeRow(static_cast<const CsvLineReader&>(reader)))
                return TableRowsRead::Stopped;
            break;
        }
    }
}

} // namespace tavik
