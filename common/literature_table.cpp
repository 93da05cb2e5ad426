#include "common/literature_table.h"

#include "common/csv_reader.h"
#include "common/name_collation.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "platform/cp932.h"

#include <algorithm>

namespace tavik {

bool LiteratureTable::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    names_.clear();
    CsvReader reader;
    if (!openToolTable(reader, path, "文献テーブル", error))
        return false;
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            break;
        if (status != CsvStatus::Ok)
            return error.set(path, csvSyntaxMessage(status, reader.lineNumber(), reader.errorText()));
        if (reader.fieldCount() == 0)
            continue;
        if (codes_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("文献テーブルの文献数が多すぎます.上限は %d 文献です.", capacity));
        std::string code(cutText(trimmedText(reader.field(0)), codeBytes));
        if (code.empty()) {
            std::string text(reader.field(0));
            return error.set(path, cp932Printf("文献テーブル %ld 行目の文献コードが異常です [%s]", reader.lineNumber(),
                                               text.c_str()));
        }
        auto rowIndex = static_cast<std::int32_t>(codes_.size());
        codes_.push_back(code);
        names_.push_back({std::string(trimmedText(cutText(reader.field(3), textBytes))), std::move(code), rowIndex});
    }
    std::sort(codes_.begin(), codes_.end(), nameLess);
    sortByName(names_, &LiteratureName::text);
    return true;
}

bool LiteratureTable::containsCode(std::string_view code) const
{
    return std::binary_search(codes_.begin(), codes_.end(), cutText(code, codeBytes), nameLess);
}

const LiteratureName* LiteratureTable::findText(std::string_view text) const
{
    std::string_view key = cutText(text, textBytes);
    return key.empty() ? nullptr : findByName(names_, &LiteratureName::text, key);
}

}  // namespace tavik
