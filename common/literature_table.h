#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

class CsvReader;
struct ToolError;

// One row of the literature table as samvel and norbek read it: every column
// trimmed and cut to its bound at a character, the code trimmed before its
// cut (LiteratureTable::codeOf), so that a code samvel stores is one norbek
// finds.
struct LiteratureRow {
    std::string code; // column 0, 27 bytes; empty: the row is faulty
    std::string author; // column 1, 127 bytes
    std::string year; // column 2, 23 bytes
    std::string title; // column 3, 255 bytes
    std::string bookCode; // column 4, 27 bytes
    std::string particulars[3]; // columns 5, 6, 7, 23 bytes each
    std::string note; // column 8, 23 bytes, not shown
    std::string author1; // column 9, alias-1 author, 127 bytes
    std::string title1; // column 10, alias-1 title, 255 bytes
    std::string author2; // column 11, alias-2 author, 127 bytes
    std::string title2; // column 12, alias-2 title, 255 bytes

    // The row the reader is on.
    static LiteratureRow read(const CsvReader& reader);
};

// One literature row as samvel finds it by its text.
struct LiteratureName {
    std::string text; // column 3 (the title), trimmed, at most textBytes bytes
    std::string code; // column 0, trimmed, at most codeBytes bytes
    std::int32_t rowIndex = 0; // row among the literature read (0-based)
};

// samvel's literature table: the literature codes sorted by byte comparison
// and the literature texts sorted by name.
class LiteratureTable {
public:
    static constexpr size_t codeBytes = 27;
    static constexpr size_t textBytes = 255;

    // The code of a literature row as samvel stores it and norbek finds it:
    // column 0 trimmed, then cut to codeBytes.
    static std::string_view codeOf(std::string_view field);

    // Loads the table at a cp932 path holding at most `capacity` rows
    // (LiteraMax). False with the table path and a message in `error`.
    bool load(std::string_view path, int capacity, ToolError& error);

    // True when a code (cut to codeBytes) is in the table.
    bool containsCode(std::string_view code) const;

    // The literature whose text is `text` (cut to textBytes); null when none
    // has it. An empty text names no literature.
    const LiteratureName* findText(std::string_view text) const;

    size_t size() const { return codes_.size(); }

private:
    // A code padded with zero bytes: the byte order of padded codes is the
    // byte order of the codes, and fixed-size keys compare quickly.
    struct PaddedCode {
        char bytes[32];
    };

    std::vector<PaddedCode> codes_;
    std::vector<LiteratureName> names_;
};

} // namespace tavik
