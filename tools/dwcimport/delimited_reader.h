#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class ByteSource;

// How a delimited text file is laid out.
struct TextLayout {
    // The byte between fields; 0: found from the first line (the header row
    // of term names): a tab when the line holds one, else a semicolon when it
    // holds more of them than commas, else a comma. Comma- and
    // semicolon-separated fields may be quoted with '"'; tab-separated ones
    // are quoted only when every field of the first line is (GBIF's simple
    // downloads of some years), and a '"' is otherwise plain text in them.
    char delimiter = 0;
    // The byte that encloses a field holding delimiters, line ends or itself
    // (doubled); 0 when fields are never enclosed.
    char quote = 0;
    // The byte that ends a line; before a line feed a carriage return is
    // dropped. A file whose first line ends in a carriage return alone is
    // read with carriage returns as line ends, whatever is stated.
    char lineEnd = '\n';
};

// Reads a UTF-8 delimited text file (a Darwin Core core file, a GBIF simple
// download, a CSV of term names) record by record from a ByteSource, in
// blocks, so a file of any size takes the room of one block and one record.
// A byte-order mark at the start and blank lines are passed over. A source
// that fails is never taken for the end of the file: the records before the
// failure are read, then next() reports it.
class DelimitedReader {
public:
    // The longest record read, in bytes; a longer one is an error.
    static constexpr size_t maxRecordBytes = size_t{16} << 20;

    enum class Status { Record, End, Error };

    DelimitedReader(ByteSource& source, TextLayout layout);

    // Reads the next record. Error: the source failed or the record is
    // malformed; errorText() says why, lineNumber() where.
    Status next();

    // The fields of the record; valid until the next call of next().
    const std::vector<std::string_view>& fields() const { return fields_; }

    // The 1-based line on which the current record (or the fault) begins.
    long lineNumber() const { return recordLine_; }

    // Lines read whole so far.
    long linesRead() const { return line_; }

    // The layout, with the delimiter and quote found once the first record was read.
    const TextLayout& layout() const { return layout_; }

    const std::string& errorText() const { return errorText_; }

private:
    bool fill();
    void detectLayout();
    Status nextPlain();
    Status nextQuoted();
    Status fail(std::string reason);

    ByteSource& source_;
    TextLayout layout_;
    std::vector<char> buffer_;
    size_t position_ = 0;
    size_t end_ = 0;
    bool atEnd_ = false;
    bool started_ = false;
    long line_ = 0; // lines read completely
    long recordLine_ = 0;
    std::string record_; // the record's bytes (plain) or its field values (quoted)
    std::vector<size_t> fieldEnds_;
    std::vector<std::string_view> fields_;
    std::string errorText_;
    std::string sourceError_; // a failure of the source, reported once the bytes before it are read
};

} // namespace tavik
