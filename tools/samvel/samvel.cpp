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

// The two fact tables are written to temporary files side by side and put in
// place only when both were written whole.
bool writeFactTables(FactStore& store, const ToolSettings& settings, std::FILE* progress, ToolError& error)
{
    struct Table {
        const std::string& path;
        bool (FactStore::*write)(CsvWriter&, std::string_view, ToolError&);
        std::unique_ptr<FileReplacement> file;
    } tables[] = {
        {settings.taVikDb, &FactStore::writeDistribution, nullptr},
        {settings.spLitDb, &FactStore::writeSpeciesLiterature, nullptr},
    };
    for (Table& table : tables) {
        table.file = std::make_unique<FileReplacement>(table.path);
        if (!table.file->open())
            return error.set(table.path, cp932Printf("can't open %s", table.path.c_str()));
        printCp932(progress, cp932Printf("--> %s\n", table.path.c_str()));
        CsvWriter writer(table.file->stream());
        if (!(store.*table.write)(writer, table.path, error))
            return false;
    }
    for (Table& table : tables)
        if (!table.file->commit())
            return error.set(table.path, cp932Printf("%s  write error", table.path.c_str()));
    return true;
}

bool runImport(const SamvelCommandLine& commandLine, std::FILE* progress, ToolError& error)
{
    ToolSettings settings = ToolSettings::load();
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
