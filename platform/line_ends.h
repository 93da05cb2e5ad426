#pragma once

#include <cstddef>
#include <string_view>

namespace tavik {

// Finds where the lines of a table end as its bytes are read in blocks.
// Tables come from editors of every kind: a line ends at LF, CR LF, CR CR LF
// (a CR LF file converted once more), or at a CR that none of these follows
// (files saved with CR-only line ends). A CR inside double quotes is part of
// the text, as a comma there is; quotes are counted, so doubled quotes keep
// the count's parity. The second byte of a two-byte cp932 character is never
// a quote or a CR, so bytes need not be told apart by character.
class LineEndScanner {
public:
    enum class Result {
        End, // the line ends in this text
        Continues, // all of the text belongs to the line
        NeedMore, // the text ends in a CR whose meaning depends on what follows
    };

    struct Found {
        Result result = Result::Continues;
        size_t textBytes = 0; // bytes of the line's text (without its line end) in this text
        size_t endBytes = 0; // bytes of the line end: 1 to 3 with End, else 0
    };

    // Scans the next bytes of the current line. With NeedMore, textBytes
    // bytes belong to the line and the rest must be passed again, with the
    // bytes that follow it; atEndOfFile says that none follow. After End the
    // next call starts a new line.
    Found scan(std::string_view text, bool atEndOfFile);

    // Forgets the line begun (after a seek).
    void reset() { quotes_ = 0; }

private:
    size_t quotes_ = 0; // double quotes in the line's bytes passed so far
};

} // namespace tavik
