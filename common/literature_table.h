#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

struct ToolError;

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
