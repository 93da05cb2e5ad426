#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

// Writes CSV lines in the form the tools' reader reads back: fields separated
// by commas, lines ending in CR LF, a field holding a comma or a double quote
// enclosed in double quotes with each double quote doubled. Output is
// buffered: flush() hands it to the stream, and text not flushed when the
// writer goes is dropped (the stream may be closed by then).
class CsvWriter {
public:
    static constexpr size_t unlimited = static_cast<size_t>(-1);

    // stream: an open stream, not owned.
    explicit CsvWriter(std::FILE* stream);
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // Writes one field, cut to maxLength - 1 bytes (on a character boundary)
    // and quoted when needed, preceded by a comma unless it is the first field
    // of the line. False when the stream is in error.
    bool putField(std::string_view text, size_t maxLength = unlimited);

    // Ends the line with CR LF. False when the stream is in error.
    bool endLine();

    // Writes a whole line whose fields were joined by appendField, and its
    // line end. False when the stream is in error.
    bool putLine(std::string_view fields);

    // Writes the buffered text to the stream and flushes it; false on error.
    bool flush();

    bool failed() const { return failed_; }

    // Appends one field to a line held in memory: a comma first unless
    // `first`, then the text, quoted when needed.
    static void appendField(std::string& line, std::string_view text, bool first);

private:
    bool writeOut();

    std::FILE* stream_;
    std::string buffer_;
    bool lineStarted_ = false;
    bool failed_ = false;
};

} // namespace tavik
