#include "tools/ludric/ludric.h"

#include "common/csv_reader.h"
#include "common/csv_writer.h"
#include "common/database_lock.h"
#include "common/species_name_table.h"
#include "common/text_helpers.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/directory_search.h"
#include "platform/file_replacement.h"
#include "platform/paths.h"
#include "platform/report_text.h"
#include "platform/tuning.h"

#include <new>

namespace tavik {
namespace {

// Fields of an input table row that are read and written back.
constexpr size_t rowFields = 9;

const char* const kCannotReplace = "新しいファイルを作れませんでした.";

// The Part's message for a table that cannot be replaced, with the reason.
bool cannotReplace(const FileReplacement& replacement, ToolError& error)
{
    return error.set(replacement.failurePath(), utf8ToCp932(kCannotReplace + (" (" + replacement.errorText() + ")")));
}

bool cannotOpen(std::string_view path, const CsvReader& reader, ToolError& error)
{
    return error.set(
        path, cp932Printf("open error. (%s)", utf8ToCp932(fileReadFailureText(reader.openResult())).c_str()));
}

} // namespace

std::string Ludric::usage()
{
    return cp932Literal("使用法\n"
                        "    ludric  入力テーブル\n"
                        "    例： ludric  ..\\list\\*.csv\n"
                        "    入力テーブルのパス名にはワイルドカードが使えます.\n"
                        "    このプログラムは種テーブルを参照しますが、そのパス名は tavik.ini から引用します\n");
}

bool Ludric::fillTable(std::string_view path, const SpeciesNameTable& species, std::FILE* progress, ToolError& error)
{
    std::string where(path);
    FileReplacement replacement(path);
    if (!replacement.open()) {
        if (replacement.failure() != FileReplacement::Failure::CreateTemporary)
            return cannotReplace(replacement, error);
        return error.set(replacement.failurePath(),
            cp932Printf("テンポラリファイル %s%s が開けません (%s)", where.c_str(), FileReplacement::temporarySuffix,
                utf8ToCp932(replacement.errorText()).c_str()));
    }
    CsvReader reader(CsvReader::ludricTables);
    if (!reader.open(path))
        return cannotOpen(path, reader, error);
    printCp932(progress, cp932Printf("入力テーブル [%s]\n", where.c_str()));

    CsvWriter writer(replacement.stream());
    std::string code;
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            break;
        long row = reader.lineNumber();
        // A row the reader rejects would be lost from the copy: the table stays as it is.
        if (status != CsvStatus::Ok)
            return error.set(path, csvSyntaxMessage(status, row, reader.errorText()));

        std::string_view name = trimmedText(reader.field(0));
        std::string_view mark = reader.field(1);
        std::string_view codeField = reader.field(2);
        if (mark.empty()) {
            std::string shown = quotedForReport(name);
            auto first = static_cast<unsigned char>(name.empty() ? '\0' : name[0]);
            const SpeciesName* found = nullptr;
            if (first < 0x7F) {
                found = species.findScientific(name);
                if (!found)
                    return error.set(
                        path, cp932Printf("%ld行目の学名[%s]は種テーブルに見あたりません.", row, shown.c_str()));
            } else if (isCp932LeadByte(first)) {
                found = species.findJapanese(name);
                if (!found)
                    return error.set(
                        path, cp932Printf("%ld行目の和名[%s]は種テーブルに見あたりません.", row, shown.c_str()));
            } else {
                return error.set(path,
                    cp932Printf("%ld行目の種名[%s]が異常です. 半角アルファベットか全角カタカナで書いて下さい", row,
                        shown.c_str()));
            }
            code = std::to_string(found->speciesCode);
            codeField = code;
        }
        writer.putField(name);
        writer.putField(mark);
        writer.putField(codeField);
        for (size_t i = 3; i < rowFields; ++i)
            writer.putField(reader.field(i));
        writer.endLine();
    }
    reader.close();
    writer.flush();
    if (!replacement.commit())
        return cannotReplace(replacement, error);
    return true;
}

bool Ludric::checkTable(std::string_view path, ToolError& error)
{
    if (isWriteProtected(path))
        return error.set(path, cp932Literal(kCannotReplace) + cp932Literal(" (書き込み禁止のファイルです)"));
    CsvReader reader(CsvReader::ludricTables);
    if (!reader.open(path))
        return cannotOpen(path, reader, error);
    for (;;) {
        CsvStatus status = reader.nextLine();
        if (status == CsvStatus::EndOfFile)
            return true;
        long row = reader.lineNumber();
        if (status != CsvStatus::Ok)
            return error.set(path, csvSyntaxMessage(status, row, reader.errorText()));
        // Fields beyond the ninth are not written back: text in one means the
        // file is no input table (a pattern that matched a reference table),
        // and rewriting it would destroy that text.
        for (size_t i = rowFields; i < reader.fieldCount(); ++i) {
            if (reader.field(i).empty())
                continue;
            std::string shown = quotedForReport(reader.field(i));
            return error.set(path,
                cp932Printf("%ld行目の %zu 番目の項目[%s]は入力テーブルにない項目です.入力テーブルの項目は %zu 個です.",
                    row, i + 1, shown.c_str(), rowFields));
        }
    }
}

size_t Ludric::tableLimit()
{
    return static_cast<size_t>(
        tuningValue("TAVIK_LUDRIC_MAX_TABLES", static_cast<long>(maxTables), 1, static_cast<long>(maxTables)));
}

bool Ludric::run(std::string_view pattern, std::FILE* progress, ToolError& error)
{
    try {
        ToolSettings settings;
        if (!ToolSettings::load(settings, error, ToolSettings::ludricValueBytes))
            return false;
        SpeciesNameTable species;
        if (!species.load(settings.speciesTable, settings.speciesMax, error))
            return false;
        // Under the lock the tables are read and rewritten by this run alone.
        // Temporary files a killed run left beside them go first; the
        // pattern may have matched those too.
        DatabaseLock lock;
        if (!lock.acquire(error))
            return false;
        std::vector<std::string> tables = findFiles(pattern);
        for (const std::string& table : tables)
            removeLeftoverTemporaries(table);
        std::erase_if(tables, [](const std::string& table) { return !fileExists(table); });
        if (tables.empty())
            return error.set("", cp932Literal("入力テーブルは１つもありません."));
        if (tables.size() > tableLimit())
            return error.set("", cp932Literal("入力テーブルが多すぎます.処理出来ません."));
        // Every table is checked before any is rewritten, so that a pattern
        // that matched other files changes nothing.
        for (const std::string& table : tables)
            if (!checkTable(table, error))
                return false;
        for (const std::string& table : tables)
            if (!fillTable(table, species, progress, error))
                return false;
        return true;
    } catch (const std::bad_alloc&) {
        return error.set("", cp932Literal("メモリが足りません."));
    }
}

} // namespace tavik
