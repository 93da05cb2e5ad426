#include "tools/samvel/input_table_import.h"

#include "common/csv_reader.h"
#include "common/grid_square.h"
#include "common/literature_table.h"
#include "common/species_code_table.h"
#include "common/text_helpers.h"
#include "common/tool_area_table.h"
#include "common/tool_error.h"
#include "platform/cp932.h"
#include "platform/report_text.h"
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
Cp932Text rowReason(long row, const char* reason)
{
    return cp932Printf("%ld 行目  %s", row, cp932Literal(reason).c_str());
}

bool readGridSquare(std::string_view field, long row, FactLocation& location, Cp932Text& message)
{
    std::string digits = extractDigits(field);
    if (digits.size() > meshDigits) {
        std::string shown = quotedForReport(field);
        message = cp932Printf(
            "%ld 行目のメッシュコード[%s]が長すぎます.数字は %zu 桁までです.", row, shown.c_str(), meshDigits);
        return false;
    }
    if (digits.size() < meshDigitsMin) {
        std::string shown = quotedForReport(field);
        message = cp932Printf(
            "%ld 行目のメッシュコード[%s]が短すぎます.数字は %zu 桁以上です.", row, shown.c_str(), meshDigitsMin);
        return false;
    }
    // A code the maps would draw coarser or elsewhere than it says (a fifth
    // digit, a digit out of its level's range) is refused, as the maps read it.
    const SquareCodeCheck check = checkSquareCode(digits);
    if (check.fault != SquareCodeCheck::Fault::None) {
        std::string shown = quotedForReport(field);
        if (check.fault == SquareCodeCheck::Fault::Count)
            message = cp932Printf(
                "%ld 行目のメッシュコード[%s]は数字が %zu 桁です.地域メッシュのコードは 4 桁か 6 から 11 桁です.", row,
                shown.c_str(), digits.size());
        else
            message = cp932Printf(
                "%ld 行目のメッシュコード[%s]の %zu 桁目の数字 %c は地域メッシュのコードとして範囲外です.", row,
                shown.c_str(), check.position + 1, digits[check.position]);
        return false;
    }
    location = FactLocation::grid("JP" + digits);
    return true;
}

bool readCoordinates(std::string_view latitudeField, std::string_view longitudeField, long row, FactLocation& location,
    Cp932Text& message)
{
    std::string_view latitude = cutText(latitudeField, latitudeBytes);
    std::string_view longitude = cutText(longitudeField, longitudeBytes);
    if (latitude.empty()) {
        message = rowReason(row, "緯度が記述されていません");
        return false;
    }
    if (longitude.empty()) {
        CoordinateError fault = checkCoordinate(latitude, CoordinateAxis::Latitude);
        message = fault == CoordinateError::None ? rowReason(row, "経度が記述されていません")
                                                 : coordinateErrorMessage(row, latitude, fault) + cp932Literal("\n")
                + rowReason(row, "経度が記述されていません");
        return false;
    }
    if (!checkCoordinatePair(latitude, longitude, row, message))
        return false;
    location = FactLocation::coordinates(
        storedCoordinate(latitude, CoordinateAxis::Latitude), storedCoordinate(longitude, CoordinateAxis::Longitude));
    return true;
}

} // namespace

// The fields of one row of an input table, each trimmed and cut to the bytes
// that are read.
struct InputTableImport::InputRow {
    // The columns of an input table, from 0.
    enum Column : size_t {
        SpeciesName, // not read
        Mark,
        SpeciesCode,
        Area,
        Literature,
        Reliability,
        Latitude,
        Longitude,
        Mesh,
    };

    std::string_view mark; // "IVD" skips the row
    std::string_view speciesCode;
    std::string_view area; // area code or area name
    std::string_view literature; // literature code or literature text
    std::string_view reliability; // a capital letter
    std::string_view latitude;
    std::string_view longitude;
    std::string_view mesh; // grid square code

    static InputRow of(const CsvReader& reader)
    {
        auto field = [&reader](Column column) { return cutAndTrimmed(reader.field(column), inputFieldBytes); };
        return {field(Mark), field(SpeciesCode), field(Area), field(Literature), field(Reliability), field(Latitude),
            field(Longitude), field(Mesh)};
    }
};

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
    if (!reader.open(path)) {
        // The Part's "open error.", with the reason (a folder, a FIFO, no permission).
        return error.set(
            path, cp932Printf("open error. (%s)", utf8ToCp932(fileReadFailureText(reader.openResult())).c_str()));
    }
    std::string where(path);
    printCp932(progress, cp932Printf("入力テーブル [%s]\n", where.c_str()));
    Cp932Text message;
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            return true;
        long row = reader.lineNumber();
        if (status == CsvStatus::LineTooLong || status == CsvStatus::ReadError)
            return error.set(path, csvSyntaxMessage(status, row, reader.errorText()));
        if (status != CsvStatus::Ok) {
            const std::string text = quotedForReport(reader.errorText());
            return error.set(path, cp932Printf("%ld 行目: CSV syntax error  \n%s", row, text.c_str()));
        }
        if (!importRow(reader, row, message))
            return error.set(path, message);
    }
}

bool InputTableImport::importRow(const CsvReader& reader, long row, Cp932Text& message)
{
    const InputRow fields = InputRow::of(reader);
    if (fields.mark == "IVD")
        return true;
    std::int64_t code = 0;
    FactLocation location;
    if (!findSpecies(fields, row, code, message) || !readLocation(fields, row, location, message)
        || !findLiterature(fields, row, message))
        return false;
    // Reliability: a capital letter.
    if (fields.reliability.empty() || fields.reliability[0] < 'A' || fields.reliability[0] > 'Z') {
        std::string shown = quotedForReport(fields.reliability);
        message = cp932Printf("%ld 行目 信頼度異常[%s]", row, shown.c_str());
        return false;
    }

    auto result = store_.addPoint(previousSpecies_, location, fields.reliability[0]);
    if (result != FactStore::AddResult::Added) {
        message = FactStore::poolFullMessage();
        return false;
    }
    result = store_.addLiterature(previousSpecies_, location, previousLiteratureCode_);
    if (result != FactStore::AddResult::Added) {
        message = FactStore::poolFullMessage();
        return false;
    }
    return true;
}

bool InputTableImport::findSpecies(const InputRow& fields, long row, std::int64_t& code, Cp932Text& message)
{
    code = parseInteger64(fields.speciesCode);
    if (haveSpecies_ && code == previousCode_)
        return true;
    std::optional<size_t> species = species_.find(code);
    if (!species) {
        std::string shown = quotedForReport(fields.speciesCode);
        message = cp932Printf("%ld 行目の種コード[%s]は種テーブルに登録されていません", row, shown.c_str());
        return false;
    }
    haveSpecies_ = true;
    previousCode_ = code;
    previousSpecies_ = *species;
    return true;
}

bool InputTableImport::readLocation(const InputRow& fields, long row, FactLocation& location, Cp932Text& message) const
{
    // A grid square first, then latitude and longitude, then an area.
    if (!fields.mesh.empty())
        return readGridSquare(fields.mesh, row, location, message);
    if (!fields.latitude.empty() || !fields.longitude.empty())
        return readCoordinates(fields.latitude, fields.longitude, row, location, message);
    if (!fields.area.empty())
        return readArea(fields.area, row, location, message);
    message = rowReason(row, "地域名、緯度経度、メッシュコードいずれも記述されていません");
    return false;
}

bool InputTableImport::readArea(std::string_view field, long row, FactLocation& location, Cp932Text& message) const
{
    // An area code when the field holds digits, else an area name.
    std::string digits = extractDigits(field);
    if (!digits.empty()) {
        int areaCode = parseInteger(digits);
        if (areaCode <= 0 || !areas_.containsCode(areaCode)) {
            message = cp932Printf(
                "%ld 行目の地域コード[%s]は地域テーブルに登録されていません.", row, quotedForReport(digits).c_str());
            return false;
        }
        location = FactLocation::area(areaCode);
        return true;
    }
    std::string shown = quotedForReport(field);
    const AreaName* area = areas_.findName(field);
    if (!area) {
        message = cp932Printf("%ld 行目の地域名[%s]は地域テーブルに登録されていません.", row, shown.c_str());
        return false;
    }
    if (area->duplicateCount != 0) {
        message = cp932Printf("%ld 行目の地域名[%s]は地域テーブルに複数(%d件)あるため地域を特定できません.", row,
            shown.c_str(), area->duplicateCount);
        return false;
    }
    location = FactLocation::area(area->areaCode);
    return true;
}

bool InputTableImport::findLiterature(const InputRow& fields, long row, Cp932Text& message)
{
    // By code (its first 27 bytes), else by its text; consecutive rows of
    // one literature look it up once.
    if (haveLiterature_ && fields.literature == previousLiteratureText_)
        return true;
    std::string_view asCode = cutText(fields.literature, LiteratureTable::codeBytes);
    if (!asCode.empty() && literature_.containsCode(asCode)) {
        previousLiteratureCode_.assign(asCode);
    } else if (const LiteratureName* entry = literature_.findText(fields.literature)) {
        previousLiteratureCode_ = entry->code;
    } else {
        std::string shown = quotedForReport(fields.literature);
        message = cp932Printf("%ld 行目の文献[%s]は文献テーブルに登録されていません.", row, shown.c_str());
        haveLiterature_ = false;
        return false;
    }
    haveLiterature_ = true;
    previousLiteratureText_.assign(fields.literature);
    return true;
}

} // namespace tavik
