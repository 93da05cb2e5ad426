#include "common/literature_table.h"

#include "common/csv_reader.h"
#include "common/name_collation.h"
#include "common/table_columns.h"
#include "common/text_helpers.h"
#include "common/tool_table_rows.h"
#include "platform/byte_compare.h"
#include "platform/cp932.h"

#include <algorithm>
#include <cstring>

namespace tavik {
namespace {

// Compares two padded codes in the byte order of their texts.
template <typename Padded> int comparePadded(const Padded& a, const Padded& b)
{
    return compareBigEndianWords(a.bytes, b.bytes, sizeof a.bytes);
}

} // namespace

LiteratureRow LiteratureRow::read(const CsvReader& reader)
{
    constexpr size_t authorBytes = 127, shortBytes = 23;
    constexpr size_t codeBytes = LiteratureTable::codeBytes, textBytes = LiteratureTable::textBytes;
    LiteratureRow row;
    row.code = LiteratureTable::codeOf(reader.field(literatureColumn::code));
    row.author = keptField(reader, literatureColumn::author, authorBytes);
    row.year = keptField(reader, literatureColumn::year, shortBytes);
    row.title = keptField(reader, literatureColumn::title, textBytes);
    row.bookCode = keptField(reader, literatureColumn::bookCode, codeBytes);
    for (size_t i = 0; i < 3; ++i)
        row.particulars[i] = keptField(reader, literatureColumn::firstParticular + i, shortBytes);
    row.note = keptField(reader, literatureColumn::note, shortBytes);
    row.author1 = keptField(reader, literatureColumn::author1, authorBytes);
    row.title1 = keptField(reader, literatureColumn::title1, textBytes);
    row.author2 = keptField(reader, literatureColumn::author2, authorBytes);
    row.title2 = keptField(reader, literatureColumn::title2, textBytes);
    return row;
}

std::string_view LiteratureTable::codeOf(std::string_view field) { return cutText(trimmedText(field), codeBytes); }

bool LiteratureTable::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    names_.clear();
    CsvReader reader;
    bool read = readToolTableRows(reader, path, "文献テーブル", error, [&] {
        if (reader.fieldCount() == 0)
            return true;
        if (codes_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("文献テーブルの文献数が多すぎます.上限は %d 文献です.", capacity));
        LiteratureRow row = LiteratureRow::read(reader);
        if (row.code.empty()) {
            std::string text(reader.field(literatureColumn::code));
            return error.set(path,
                cp932Printf("文献テーブル %ld 行目の文献コードが異常です [%s]", reader.lineNumber(), text.c_str()));
        }
        auto rowIndex = static_cast<std::int32_t>(codes_.size());
        PaddedCode padded{};
        std::memcpy(padded.bytes, row.code.data(), row.code.size());
        codes_.push_back(padded);
        names_.push_back({std::move(row.title), std::move(row.code), rowIndex});
        return true;
    });
    if (!read)
        return false;
    std::sort(
        codes_.begin(), codes_.end(), [](const PaddedCode& a, const PaddedCode& b) { return comparePadded(a, b) < 0; });
    sortByName(names_, &LiteratureName::text);
    return true;
}

bool LiteratureTable::containsCode(std::string_view code) const
{
    code = cutText(code, codeBytes);
    if (codes_.empty() || code.find('\0') != std::string_view::npos)
        return false;
    PaddedCode wanted{};
    std::memcpy(wanted.bytes, code.data(), code.size());
    // Binary search without branches on the comparison.
    const PaddedCode* base = codes_.data();
    for (size_t n = codes_.size(); n > 1;) {
        size_t half = n / 2;
        base = comparePadded(base[half], wanted) <= 0 ? base + half : base;
        n -= half;
    }
    return comparePadded(*base, wanted) == 0;
}

const LiteratureName* LiteratureTable::findText(std::string_view text) const
{
    std::string_view key = cutText(text, textBytes);
    return key.empty() ? nullptr : findByName(names_, &LiteratureName::text, key);
}

} // namespace tavik
