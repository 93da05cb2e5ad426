#include "common/tool_area_table.h"

#include "common/name_collation.h"
#include "common/table_columns.h"
#include "common/text_helpers.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"

#include <algorithm>

namespace tavik {

std::string ToolAreaTable::nameKey(std::string_view name)
{
    std::string key(cutAndTrimmed(name, nameBytes));
    foldKana(key);
    return key;
}

bool ToolAreaTable::load(std::string_view path, int capacity, ToolError& error)
{
    codes_.clear();
    names_.clear();
    CsvReader reader;
    bool read = readToolTableRows(reader, path, "地域テーブル", error, [&] {
        if (reader.fieldCount() == 0)
            return true;
        if (codes_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("地域テーブルの地域数が多すぎます.上限は %d 地域です.", capacity));
        std::string text(trimmedText(reader.field(areaColumn::code)));
        int code = areaCode(text);
        if (code <= 0)
            return error.set(path,
                cp932Printf("地域テーブル %ld 行目の地域コードが異常です [%s]", reader.lineNumber(), text.c_str()));
        auto entryIndex = static_cast<std::int32_t>(codes_.size());
        codes_.push_back(code);
        std::string name = nameKey(reader.field(areaColumn::alias1));
        std::string further = nameKey(reader.field(areaColumn::furtherName));
        // A further name equal to the first one names the same area, not a second one.
        bool secondName = !further.empty() && further != name;
        names_.push_back({std::move(name), code, 0, entryIndex});
        if (secondName)
            names_.push_back({std::move(further), code, 0, entryIndex});
        return true;
    });
    if (!read)
        return false;
    std::sort(codes_.begin(), codes_.end());
    sortByName(names_, &AreaName::name);
    for (size_t first = 0; first < names_.size();) {
        size_t end = first + 1;
        while (end < names_.size() && names_[end].name == names_[first].name)
            ++end;
        if (end - first > 1)
            for (size_t i = first; i < end; ++i)
                names_[i].duplicateCount = static_cast<std::int32_t>(end - first);
        first = end;
    }
    return true;
}

bool ToolAreaTable::containsCode(std::int32_t code) const
{
    return std::binary_search(codes_.begin(), codes_.end(), code);
}

const AreaName* ToolAreaTable::findName(std::string_view name) const
{
    std::string key = nameKey(name);
    return key.empty() ? nullptr : findByName(names_, &AreaName::name, key);
}

} // namespace tavik
