#include "common/tool_error.h"

#include "common/csv_reader.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "platform/report_text.h"

namespace tavik {

bool ToolError::set(std::string_view atPath, Cp932Text text)
{
    path.assign(atPath);
    message = std::move(text);
    return false;
}

void printToolError(const ToolError& error, std::FILE* stream)
{
    printReport(cp932ToUtf8(error.path), cp932ToUtf8(error.message), stream);
}

void printCp932(std::FILE* stream, std::string_view cp932)
{
    std::fputs(cp932ToUtf8(withControlsEscaped(cp932)).c_str(), stream);
    std::fflush(stream);
}

bool openToolTable(CsvReader& reader, std::string_view path, const char* label, ToolError& error)
{
    if (reader.open(path))
        return true;
    std::string where(path);
    const FileReadResult& result = reader.openResult();
    if (result.status == FileReadStatus::Missing)
        return error.set("", cp932Printf("%s %s が見つかりません.", cp932Literal(label).c_str(), where.c_str()));
    return error.set("",
        cp932Printf("%s %s が読めませんでした (%s).", cp932Literal(label).c_str(), where.c_str(),
            utf8ToCp932(fileReadFailureText(result)).c_str()));
}

} // namespace tavik
