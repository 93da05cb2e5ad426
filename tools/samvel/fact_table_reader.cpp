#include "tools/samvel/fact_table_reader.h"

#include "common/fact_location.h"
#include "common/literature_table.h"
#include "common/species_code_table.h"
#include "common/text_helpers.h"
#include "common/tool_area_table.h"
#include "common/tool_table_rows.h"
#include "platform/cp932.h"
#include "platform/report_text.h"
#include "platform/text_numbers.h"
#include "tools/samvel/coordinate.h"
#include "tools/samvel/fact_store.h"

namespace tavik {

FactTableReader::FactTableReader(
    const SpeciesCodeTable& species, const ToolAreaTable& areas, const LiteratureTable& literature, FactStore& store)
    : species_(species)
    , areas_(areas)
    , literature_(literature)
    , store_(store)
{
}

bool FactTableReader::parseLocation(
    std::string_view text, bool meshByJ, long row, FactLocation& location, Cp932Text& message)
{
    const LocationForm form = locationForm(text, meshByJ ? SquareMark::JFirstOrSecond : SquareMark::JFirstOrPSecond);
    if (form == LocationForm::GridSquare) {
        location = FactLocation::grid(text);
        return true;
    }
    if (form == LocationForm::Coordinates) {
        std::string latitude, longitude;
        if (!readCoordinateLocation(text, row, latitude, longitude, message))
            return false;
        location = FactLocation::coordinates(latitude, longitude);
        return true;
    }
    int code = parseInteger(text);
    if (code <= 0 || !areas_.containsCode(code)) {
        std::string shown = quotedForReport(text);
        message = cp932Printf("%ld 行目: 地域コード[%s]は地域テーブルに登録されていません.", row, shown.c_str());
        return false;
    }
    location = FactLocation::area(code);
    return true;
}

bool FactTableReader::readDistribution(std::string_view path, ToolError& error)
{
    CsvReader reader;
    Cp932Text message;
    return readToolTableRows(reader, path, "種別分布テーブル", error, [&] {
        long row = reader.lineNumber();
        if (reader.fieldCount() == 0)
            return error.set(path, cp932Printf("%ld 行目に種コードがありません", row));
        long long code = parseInteger64(reader.field(0));
        std::optional<size_t> species = species_.find(code);
        if (!species)
            return error.set(path, cp932Printf("%ld 行目: 種コード[%lld]は種テーブルに登録されていません", row, code));
        // A location without its reliability field is dropped.
        for (size_t k = 1; k + 1 < reader.fieldCount(); k += 2) {
            FactLocation location;
            if (!parseLocation(reader.field(k), false, row, location, message))
                return error.set(path, message);
            std::string_view reliability = reader.field(k + 1);
            auto result = store_.addPoint(*species, location, reliability.empty() ? '\0' : reliability[0]);
            if (result != FactStore::AddResult::Added)
                return error.set(path, FactStore::poolFullMessage());
        }
        return true;
    });
}

bool FactTableReader::readSpeciesLiterature(std::string_view path, ToolError& error)
{
    CsvReader reader;
    Cp932Text message;
    return readToolTableRows(reader, path, "種別文献テーブル", error, [&] {
        long row = reader.lineNumber();
        if (reader.fieldCount() == 0)
            return error.set(path, cp932Printf("%ld 行目: 種コードがありません", row));
        long long code = parseInteger64(reader.field(0));
        std::optional<size_t> species = species_.find(code);
        if (!species)
            return error.set(path, cp932Printf("%ld 行目: 種コード[%lld]は種テーブルに登録されていません", row, code));
        if (reader.fieldCount() < 2)
            return true;
        FactLocation location;
        if (!parseLocation(reader.field(1), true, row, location, message))
            return error.set(path, message);
        for (size_t k = 2; k < reader.fieldCount(); ++k) {
            // Read as the literature table reads its codes: trimmed, then cut.
            std::string_view literature = LiteratureTable::codeOf(reader.field(k));
            if (!literature_.containsCode(literature)) {
                std::string shown = quotedForReport(literature);
                return error.set(path,
                    cp932Printf("%ld 行目: 文献コード[%s]は文献テーブルに登録されていません.", row, shown.c_str()));
            }
            auto result = store_.addLiterature(*species, location, literature);
            if (result != FactStore::AddResult::Added)
                return error.set(path, FactStore::poolFullMessage());
        }
        return true;
    });
}

} // namespace tavik
