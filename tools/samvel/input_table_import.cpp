#include "tools/samvel/input_table_import.h"

#include "common/csv_reader.h"
#include "common/literature_table.h"
#include "common/species_code_table.h"
#include "common/text_helpers.h"
#include "common/tool_area_table.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/text_numbers.h"
#include "tools/samvel/coordinate.h"
#include "tools/samvel/fact_store.h"

namespace tavik {
namespace {

// Bytes of an input field that are read.
constexpr size_t inputFieldBytes = 255;
// Digits a mesh text may hold after "JP" (the stored text keeps 15 bytes):
// at least those of a first-order square, which maps draw, at most 13.
constexpr size_t meshDigitsMin = 4;
constexpr size_t meshDigits = 13;

// "<row> 行目  <reason>" with a UTF-8 reason.
std::string rowReason(long row, const char* reason)
{
    return cp932Printf("%ld 行目  %s", row, cp932Literal(reason).c_str());
}

} // namespace

InputTableImport::InputTableImport(
    const SpeciesCodeTable& species, const ToolAreaTable& areas, const LiteratureTable& literature, FactStore& store)
    : species_(species)
    , areas_(areas)
    , literature_(literature)
    , store_(store)
{
}

bool InputTableImport::import(std::string_view path, std::FILE* progress, ToolError& error)
{
    CsvReader reader;
    if (!reader.open(path))
        return error.set(path, cp932Literal("open error."));
    std::string where(path);
    printCp932(progress, cp932Printf("入力テーブル [%s]\n", where.c_str()));
    std::string message;
    for (;;) {
        CsvReaderStatus status = reader.nextLine();
        if (status == CsvReaderStatus::EndOfFile)
            return true;
        long row = reader.lineNumber();
        if (status == CsvReaderStatus::LineTooLong)
            return error.set(path, csvSyntaxMessage(status, row, reader.errorText()));
        if (status != CsvReaderStatus::Ok) {
            const std::string& text = reader.errorText();
            return error.set(path, cp932Printf("%ld 行目: CSV syntax error  \n%s", row, text.c_str()));
        }
        if (!importRow(reader, row, message))
            return error.set(path, message);
    }
}

bool InputTableImport::importRow(const CsvReader& reader, long row, std::string& message)
{
    std::string_view field[9];
    for (size_t i = 0; i < 9; ++i)
        field[i] = trimmedText(cutText(reader.field(i), inputFieldBytes));

    if (field[1] == "IVD")
        return true;

    // Species code.
    std::int64_t code = parseInteger64(field[2]);
    if (!haveSpecies_ || code != previousCode_) {
        std::optional<size_t> species = species_.find(code);
        if (!species) {
            std::string shown(field[2]);
            message = cp932Printf("%ld 行目の種コード[%s]は種テーブルに登録されていません", row, shown.c_str());
            return false;
        }
        haveSpecies_ = true;
        previousCode_ = code;
        previousSpecies_ = *species;
    }

    // Location: a grid square first, then latitude and longitude, then an area.
    FactLocation location;
    if (!field[8].empty()) {
        std::string digits = extractDigits(field[8]);
        if (digits.size() > meshDigits) {
            std::string shown(field[8]);
            message = cp932Printf(
                "%ld 行目のメッシュコード[%s]が長すぎます.数字は %zu 桁までです.", row, shown.c_str(), meshDigits);
            return false;
        }
        if (digits.size() < meshDigitsMin) {
            std::string shown(field[8]);
            message = cp932Printf(
                "%ld 行目のメッシュコード[%s]が短すぎます.数字は %zu 桁以上です.", row, shown.c_str(), meshDigitsMin);
            return false;
        }
        location = FactLocation::grid("JP" + digits);
    } else if (!field[6].empty() || !field[7].empty()) {
        std::string_view latitude = cutText(field[6], latitudeBytes);
        std::string_view longitude = cutText(field[7], longitudeBytes);
        if (latitude.empty()) {
            message = rowReason(row, "緯度が記述されていません");
            return false;
        }
        if (longitude.empty()) {
            CoordinateError fault = checkCoordinate(latitude, CoordinateAxis::Latitude);
            message = fault == CoordinateError::None
                ? rowReason(row, "経度が記述されていません")
                : coordinateErrorMessage(row, latitude, fault) + "\n" + rowReason(row, "経度が記述されていません");
            return false;
        }
        if (!checkCoordinatePair(latitude, longitude, row, message))
            return false;
        location = FactLocation::coordinates(storedCoordinate(latitude, CoordinateAxis::Latitude),
            storedCoordinate(longitude, CoordinateAxis::Longitude));
    } else if (!field[3].empty()) {
        std::string digits = extractDigits(field[3]);
        if (!digits.empty()) {
            int areaCode = parseInteger(digits);
            if (areaCode <= 0 || !areas_.containsCode(areaCode)) {
                message
                    = cp932Printf("%ld 行目の地域コード[%s]は地域テーブルに登録されていません.", row, digits.c_str());
                return false;
            }
            location = FactLocation::area(areaCode);
        } else {
            std::string shown(field[3]);
            const AreaName* area = areas_.findName(field[3]);
            if (!area) {
                message = cp932Printf("%ld 行目の地域名[%s]は地域テーブルに登録されていません.", row, shown.c_str());
                return false;
            }
            if (area->duplicateCount != 0) {
                message = cp932Printf("%ld 行目の地域名[%s]は地域テーブルに複数(%d件)あるため地域を特定できません.",
                    row, shown.c_str(), area->duplicateCount);
                return false;
            }
            location = FactLocation::area(area->areaCode);
        }
    } else {
        message = rowReason(row, "地域名、緯度経度、メッシュコードいずれも記述されていません");
        return false;
    }

    // Literature: by code (its first 27 bytes), else by its text.
    if (!haveLiterature_ || field[4] != previousLiteratureText_) {
        std::string_view asCode = cutText(field[4], LiteratureTable::codeBytes);
        if (!asCode.empty() && literature_.containsCode(asCode)) {
            previousLiteratureCode_.assign(asCode);
        } else if (const LiteratureName* entry = literature_.findText(field[4])) {
            previousLiteratureCode_ = entry->code;
        } else {
            std::string shown(field[4]);
            message = cp932Printf("%ld 行目の文献[%s]は文献テーブルに登録されていません.", row, shown.c_str());
            haveLiterature_ = false;
            return false;
        }
        haveLiterature_ = true;
        previousLiteratureText_.assign(field[4]);
    }

    // Reliability: a capital letter.
    if (field[5].empty() || field[5][0] < 'A' || field[5][0] > 'Z') {
        std::string shown(field[5]);
        message = cp932Printf("%ld 行目 信頼度異常[%s]", row, shown.c_str());
        return false;
    }

    auto result = store_.addPoint(previousSpecies_, location, field[5][0]);
    if (result != FactStore::AddResult::Added) {
        message = FactStore::refusedMessage(result, row, code, false);
        return false;
    }
    result = store_.addLiterature(previousSpecies_, location, previousLiteratureCode_);
    if (result != FactStore::AddResult::Added) {
        message = FactStore::refusedMessage(result, row, code, true);
        return false;
    }
    return true;
}

} // namespace tavik
