#pragma once

#include "common/csv_fields.h"
#include "common/text_line_source.h"
#include "platform/cp932_text.h"
#include "platform/file_reading.h"

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

// Reads a cp932 CSV table line by line and splits each line into fields:
// the one reader of the database's tables for the viewer and the tools. Lines
// end in LF, CR LF, or a CR alone outside quotes (LineEndScanner) and are
// read whole however long they are (up to the reader's limit and the memory
// there is); a two-byte character is never taken for a comma or a quote. What
// the programs' readings differ in is named in Options. The fields point into
// the reader's line buffer and stay valid until the next line is read.
class CsvReader {
public:
    // Lines of any length that memory holds, to the 4 GiB a field's offset
    // reaches; a longer line, or one memory cannot hold, is LineTooLong.
    static constexpr size_t anyLineBytes = 0xFFFFFFFEu;
    static constexpr size_t anyFields = static_cast<size_t>(-1);
    static constexpr size_t toolFieldBytes = 512;
    static constexpr size_t viewerFieldBytes = 256;
    static constexpr size_t viewerFields = 60000; // the room of the reference tables' reader

    struct Options {
        size_t maxLineBytes; // bytes of a line before its line end
        CsvFieldRules fields; // the bound of a field, the fields kept, the lead bytes
        // A line holding only the end-of-file mark (0x1A) ends the file, as
        // the text streams the tools' tables came from did; the viewer passes
        // it over as a blank line.
        bool endMarkEndsFile;
        size_t blockBytes; // bytes read at a time
    };
    // samvel and norbek: lines of any length with any number of fields (a
    // species' line of the distribution table holds two a record).
    static constexpr Options toolTables{
        anyLineBytes, {toolFieldBytes, anyFields, LeadBytes::ConsoleTools}, true, size_t{1} << 20};
    // ludric's reader: lines of any length, 12,000 fields.
    static constexpr Options ludricTables{
        anyLineBytes, {toolFieldBytes, 12000, LeadBytes::ConsoleTools}, true, size_t{1} << 20};
    // The viewer's tables: 256-byte fields, 60,000 kept, the code page's lead
    // bytes; small blocks, since a map reads one line of a large table.
    static constexpr Options viewerTables{
        anyLineBytes, {viewerFieldBytes, viewerFields, LeadBytes::CodePage}, false, size_t{64} << 10};

    explicit CsvReader(const Options& options = toolTables);

    // Opens a cp932 path for reading; false when it cannot be opened or is
    // no regular file (openResult() says which).
    bool open(std::string_view path);
    // Reads from a stream opened elsewhere (a test's failing stream).
    void open(FilePtr stream);
    const FileReadResult& openResult() const { return openResult_; }
    void close();
    bool isOpen() const { return lines_.isOpen(); }

    // Reads and splits the next line. A failed read is ReadError, never the
    // end of the file, and so is every call after it.
    CsvStatus nextLine();

    // Lines read so far, the current one included (its 1-based number).
    long lineNumber() const { return lineNumber_; }

    // Byte offset in the file where the current line begins, and where the
    // next line will begin.
    std::int64_t lineOffset() const { return lineOffset_; }
    std::int64_t nextOffset() const { return lines_.nextOffset(); }
    // Goes back (or ahead) to a line start met before: the next line read
    // begins at `offset` and is numbered `lineNumber`. False when the file
    // cannot be positioned there.
    bool seek(std::int64_t offset, long lineNumber);

    size_t fieldCount() const { return fields_.size(); }
    bool hasField(size_t index) const { return index < fields_.size(); }

    // Field `index` of the current line; empty when it does not exist.
    std::string_view field(size_t index) const;

    // After a syntax code: the current line from the start of the offending
    // field to its end (for a line that is too long, its first bytes); after
    // ReadError, the reason in Japanese.
    const std::string& errorText() const { return errorText_; }

    // Splits one line held in memory (without its line feed) as nextLine does.
    CsvStatus splitLine(std::string_view line);

    enum class Row { Held, End, Fault };
    // Reads on to the next line holding a whole row of a table read up to
    // column `columns` - 1, passing blank lines over: a line that was split,
    // or one whose too long or too many fields lie beyond those columns.
    // Fault: the line the reader refused, kept in rowFault().
    Row nextRow(size_t columns);
    const CsvLineFault& rowFault() const { return rowFault_; }

private:
    struct Span {
        std::uint32_t start;
        std::uint32_t length;
    };

    CsvStatus split();
    CsvStatus fail(CsvStatus status, size_t fieldStart);
    bool holdsRow(CsvStatus status, size_t columns) const;

    Options options_;
    TextLineSource lines_;
    std::int64_t lineOffset_ = 0;
    long readErrorLine_ = 0; // the line a failed read fell in
    FileReadResult openResult_;
    std::string line_;
    std::vector<Span> fields_;
    std::string errorText_;
    CsvLineFault rowFault_;
    long lineNumber_ = 0;
};

// The message the tools show for a syntax code or a read error met in a
// table: row is the 1-based line number, errorText the reader's error text
// (cp932), quoted cut and with its control characters escaped.
Cp932Text csvSyntaxMessage(CsvStatus status, long row, std::string_view errorText);

} // namespace tavik
