#include "tools/samvel/samvel.h"

#include "common/csv_writer.h"
#include "common/database_lock.h"
#include "common/literature_table.h"
#include "common/species_code_table.h"
#include "common/tool_area_table.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/directory_search.h"
#include "platform/file_replacement.h"
#include "tools/samvel/fact_store.h"
#include "tools/samvel/fact_table_reader.h"
#include "tools/samvel/input_table_import.h"
#include "tools/samvel/samvel_command_line.h"

#include <memory>
#include <new>

namespace tavik {
namespace {

// The message of a fact table that cannot be replaced: the file or folder
// at fault, and why (cp932).
bool replacementFault(
    const FileReplacement& file, const char* label, const std::string& path, bool opening, ToolError& error)
{
    const char* format = opening ? "%s %s に書き込めません (%s)." : "%s %s を書き込めませんでした (%s).";
    return error.set(file.failurePath(),
        cp932Printf(format, cp932Literal(label).c_str(), path.c_str(), utf8ToCp932(file.errorText()).c_str()));
}

// The two fact tables are written to temporary files side by side, each
// flushed and synced, and put in place only when both were written whole:
// a fault with either leaves both as they were. Each table's arrow is
// printed once it is in place.
bool writeFactTables(FactStore& store, const ToolSettings& settings, std::FILE* progress, ToolError& error)
{
    struct Table {
        const std::string& path;
        const char* label;
        bool (FactStore::*write)(CsvWriter&, std::string_view, ToolError&);
        FileReplacement file;
    } tables[] = {
        {settings.taVikDb, "種別分布テーブル", &FactStore::writeDistribution, FileReplacement(settings.taVikDb)},
        {settings.spLitDb, "種別文献テーブル", &FactStore::writeSpeciesLiterature, FileReplacement(settings.spLitDb)},
    };
    // Both targets are checked before either is written.
    for (Table& table : tables)
        if (!table.file.open())
            return replacementFault(table.file, table.label, table.path, true, error);
    for (Table& table : tables) {
        CsvWriter writer(table.file.stream());
        if (!(store.*table.write)(writer, table.path, error)) {
            table.file.finish(); // for the reason
            return replacementFault(table.file, table.label, table.path, false, error);
        }
    }
    if (!commitTogether({&tables[0].file, &tables[1].file})) {
        for (Table& table : tables)
            if (table.file.failure() != FileReplacement::Failure::None)
                return replacementFault(table.file, table.label, table.path, false, error);
        return error.set("", cp932Literal("種別分布テーブルと種別文献テーブルを置き換えられませんでした."));
    }
    for (const Table& table : tables)
        printCp932(progress, cp932Printf("--> %s\n", table.path.c_str()));
    return true;
}

bool runImport(const SamvelCommandLine& commandLine, std::FILE* progress, ToolError& error)
{
    ToolSettings settings;
    if (!ToolSettings::load(settings, error))
        return false;
    // Under the lock the fact tables are read, merged and replaced by this
    // run alone; temporary files of a killed run go first.
    DatabaseLock lock;
    if (!lock.acquire(error))
        return false;
    removeLeftoverTemporaries(settings.taVikDb);
    removeLeftoverTemporaries(settings.spLitDb);
    if (commandLine.rebuild)
        printCp932(progress, cp932Literal("Rebuild 指定されました.しばらくお待ち下さい.\n"));

    SpeciesCodeTable species;
    ToolAreaTable areas;
    LiteratureTable literature;
    if (!species.load(settings.speciesTable, settings.speciesMax, error)
        || !areas.load(settings.areaTable, settings.areaMax, error)
        || !literature.load(settings.literaTable, settings.literaMax, error))
        return false;

    FactStore store(species.codes());
    if (!commandLine.rebuild) {
        FactTableReader factTables(species, areas, literature, store);
        if (!factTables.readDistribution(settings.taVikDb, error)
            || !factTables.readSpeciesLiterature(settings.spLitDb, error))
            return false;
    }

    std::vector<std::string> inputTables = findFiles(commandLine.inputPattern);
    if (inputTables.empty())
        return error.set("", cp932Literal("入力テーブルは１つもありません."));
    InputTableImport import(species, areas, literature, store);
    for (const std::string& path : inputTables)
        if (!import.import(path, progress, error))
            return false;

    return writeFactTables(store, settings, progress, error);
}

} // namespace

bool Samvel::run(const SamvelCommandLine& commandLine, std::FILE* progress, ToolError& error)
{
    try {
        return runImport(commandLine, progress, error);
    } catch (const std::bad_alloc&) {
        return error.set("", cp932Literal("メモリが足りません."));
    }
}

} // namespace tavik
