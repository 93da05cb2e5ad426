#include "common/table_rows.h"

#include "common/csv_fields.h"

#include "platform/cp932.h"
#include "platform/huge_pages.h"

#include <algorithm>

namespace tavik {

Cp932Text csvLineFaultMessage(CsvStatus status, std::string_view path, long line)
{
    const std::string file(path);
    switch (status) {
    case CsvStatus::FieldTooLong:
        return cp932Printf("%s\n %ld 行目: トークンの長さが %d を越えました。", file.c_str(), line,
            static_cast<int>(CsvReader::viewerFieldBytes));
    case CsvStatus::TooManyFields:
        return cp932Printf("%s\n %ld 行目: トークン数が %d を越えました。", file.c_str(), line,
            static_cast<int>(CsvReader::viewerFields));
    case CsvStatus::LineTooLong:
        return cp932Printf("%s\n %ld 行目が長すぎます。メモリが足りません。", file.c_str(), line);
    case CsvStatus::UnterminatedQuote:
        return cp932Printf("%s\n %ld 行目: 構文エラー。文字列が \"\" で囲まれていません。", file.c_str(), line);
    case CsvStatus::ReadError:
        return cp932Printf("%s\n %ld 行目を読めません。ファイルを読み込み中にエラーが起きました。", file.c_str(), line);
    case CsvStatus::Ok:
    case CsvStatus::EndOfFile:
    case CsvStatus::MisplacedQuote:
        break;
    }
    return cp932Printf("%s\n %ld 行目: ２重引用符の使い方が間違っています。", file.c_str(), line);
}

CsvStatus splitViewerLine(std::string& line, std::vector<std::string_view>& fields, size_t maxFields)
{
    fields.clear();
    dropTrailingLineEnd(line);
    if (line.empty())
        return CsvStatus::Ok;

    // Room for a field at every comma: a distribution line of a common
    // species holds millions, and growing the list would copy them again and
    // again.
    fields.reserve(std::min<size_t>(static_cast<size_t>(std::count(line.begin(), line.end(), ',')), maxFields) + 1);
    preferHugePages(fields);
    CsvFieldRules rules = CsvReader::viewerTables.fields;
    rules.maxFields = maxFields;
    const CsvFieldSplit split = splitCsvFields(line.data(), line.size(), rules,
        [&](size_t start, size_t length) { fields.emplace_back(line.data() + start, length); });
    const CsvStatus status = csvStatusOf(split.fault);
    // A quote fault keeps no field; a long field or too many keep those before.
    if (status == CsvStatus::MisplacedQuote || status == CsvStatus::UnterminatedQuote)
        fields.clear();
    return status;
}

} // namespace tavik
