#include "common/species_name_table.h"

#include "common/name_collation.h"
#include "common/table_columns.h"
#include "common/text_helpers.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"

#include <algorithm>

namespace tavik {
namespace {

std::string nameKey(std::string_view name) { return std::string(cutAndTrimmed(name, SpeciesNameTable::nameBytes)); }

const SpeciesName* findName(const std::vector<SpeciesName>& list, std::string_view name)
{
    std::string key = nameKey(name);
    return key.empty() ? nullptr : findByName(list, &SpeciesName::name, key);
}

} // namespace

bool SpeciesNameTable::load(std::string_view path, int capacity, ToolError& error)
{
    scientific_.clear();
    japanese_.clear();
    CsvReader reader(CsvReader::ludricTables);
    std::string where(path);
    bool read = readToolTableRows(reader, path, "種テーブル", error, [&] {
        if (scientific_.size() >= static_cast<size_t>(std::max(capacity, 0)))
            return error.set(path, cp932Printf("種テーブルの種数が多すぎます.上限は %d 種です.", capacity));
        std::string_view codeText = reader.field(speciesColumn::code);
        if (codeText.empty() || codeText[0] < '0' || codeText[0] > '9') {
            std::string text(codeText);
            return error.set(path,
                cp932Printf("種テーブル %s  %ld 行目の種コードが数字ではありません [%s]", where.c_str(),
                    reader.lineNumber(), text.c_str()));
        }
        std::int64_t code = parseInteger64(codeText);
        auto rowIndex = static_cast<std::int32_t>(scientific_.size());
        scientific_.push_back({nameKey(reader.field(speciesColumn::scientificName)), code, rowIndex});
        japanese_.push_back({nameKey(reader.field(speciesColumn::alias1)), code, rowIndex});
        return true;
    });
    if (!read)
        return false;
    sortByName(scientific_, &SpeciesName::name);
    sortByName(japanese_, &SpeciesName::name);
    return true;
}

const SpeciesName* SpeciesNameTable::findScientific(std::string_view name) const { return findName(scientific_, name); }

const SpeciesName* SpeciesNameTable::findJapanese(std::string_view name) const { return findName(japanese_, name); }

} // namespace tavik
