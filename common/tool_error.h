#pragma once

#include "platform/cp932_text.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace tavik {

class CsvReader;

// The fault that ends a tool's run: the table at fault (a cp932 path, empty
// when none applies) and the message. The tool prints them as two lines.
struct ToolError {
    std::string path;
    Cp932Text message;

    // Sets both and returns false, so loaders can `return error.set(...)`.
    bool set(std::string_view atPath, Cp932Text message);
};

// Prints the two-line report in UTF-8: the path, then the message, with
// control characters shown escaped (printReport).
void printToolError(const ToolError& error, std::FILE* stream = stderr);

// Prints cp932 text as UTF-8 (progress lines on the console), control
// characters but line feeds shown escaped.
void printCp932(std::FILE* stream, std::string_view cp932);

// Opens a table for reading. On failure leaves "<label> <path> が見つかりません."
// when no file of that name exists, else "<label> <path> が読めませんでした
// (<reason>)." (a folder, a FIFO, no permission), with an empty path line.
// label is UTF-8 ("種テーブル"), path cp932.
bool openToolTable(CsvReader& reader, std::string_view path, const char* label, ToolError& error);

} // namespace tavik
