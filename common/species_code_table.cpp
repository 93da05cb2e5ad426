#include "common/species_code_table.h"

#include "common/text_helpers.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"

#include <algorithm>

namespace tavik {

bool SpeciesCodeTable::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    CsvReader reader;
    bool read = readToolTableRows(reader, path, "種テーブル", error, [&] {
        if (reader.fieldCount() == 0)
            return true;
        if (codes_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("種テーブルの種数が多すぎます.上限は %d 種です.", capacity));
        std::int64_t code = tableCode(reader.field(0));
        if (code <= 0) {
            std::string text(trimmedText(reader.field(0)));
            return error.set(
                path, cp932Printf("種テーブル %ld 行目: 種コードが異常です [%s]", reader.lineNumber(), text.c_str()));
        }
        codes_.push_back(code);
        return true;
    });
    if (!read)
        return false;
    // A code written twice is one species: its records go to one line.
    std::sort(codes_.begin(), codes_.end());
    codes_.erase(std::unique(codes_.begin(), codes_.end()), codes_.end());
    return true;
}

std::optional<size_t> SpeciesCodeTable::find(std::int64_t code) const
{
    // Binary search without branches on the comparison: every row of an
    // input table asks, so this keeps the import quick.
    if (codes_.empty())
        return std::nullopt;
    const std::int64_t* base = codes_.data();
    for (size_t n = codes_.size(); n > 1;) {
        size_t half = n / 2;
        base = base[half] <= code ? base + half : base;
        n -= half;
    }
    if (*base != code)
        return std::nullopt;
    return static_cast<size_t>(base - codes_.data());
}

} // namespace tavik
