#include "common/tool_error.h"

#include "common/csv_reader.h"
#include "platform/cp932.h"
#include "platform/paths.h"

namespace tavik {

bool ToolError::set(std::string_view atPath, std::string text)
{
    path.assign(atPath);
    message = std::move(text);
    return false;
}

void printToolError(const ToolError& error, std::FILE* stream)
{
    std::string text = cp932ToUtf8(error.path) + "\n" + cp932ToUtf8(error.message) + "\n";
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

void printCp932(std::FILE* stream, std::string_view cp932)
{
    std::fputs(cp932ToUtf8(cp932).c_str(), stream);
    std::fflush(stream);
}

bool openToolTable(CsvReader& reader, std::string_view path, const char* label, ToolError& error)
{
    if (reader.open(path))
        return true;
    std::string where(path);
    const char* format = fileExists(path) ? "%s %s が読めませんでした." : "%s %s が見つかりません.";
    return error.set("", cp932Printf(format, cp932Literal(label).c_str(), where.c_str()));
}

} // namespace tavik
