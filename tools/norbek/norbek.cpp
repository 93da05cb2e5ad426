#include "tools/norbek/norbek.h"

#include "common/database_lock.h"
#include "common/tool_error.h"
#include "common/tool_settings.h"
#include "platform/cp932.h"
#include "platform/file_replacement.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "tools/norbek/image_lists.h"
#include "tools/norbek/literature_writer.h"
#include "tools/norbek/norbek_command_line.h"
#include "tools/norbek/norbek_settings.h"
#include "tools/norbek/norbek_tables.h"

#include <new>

namespace tavik {
namespace {

// Asks a Yes / No question; true when the answer begins with "Y" or "y".
bool confirm(const char* question, std::FILE* in, std::FILE* out)
{
    printCp932(out, cp932Literal(question));
    char answer[256];
    if (!std::fgets(answer, sizeof answer, in))
        return false;
    return answer[0] == 'Y' || answer[0] == 'y';
}

int stopWithUsage(std::FILE* err, const std::string& complaint = {})
{
    printCp932(err, complaint + NorbekCommandLine::usage());
    return 1;
}

bool writePages(const NorbekCommandLine& commandLine, const NorbekSettings& settings, std::FILE* out, ToolError& error)
{
    WriterOptions options;
    options.naming = commandLine.naming;
    options.byArea = commandLine.wants(LiteratureList::ByArea);
    options.allAreas = commandLine.wants(LiteratureList::AllAreas);
    options.allAreasFirst = commandLine.allAreasFirst();
    options.geo = commandLine.geo;
    options.templateIndex = commandLine.templateIndex;
    options.outputDirectory = Norbek::outputDirectory(commandLine.outputPath);
    bool withLiterature = !commandLine.lists.empty();
    // Pages without literature are HTML pages whatever was asked for.
    options.fileType = !withLiterature ? PageFileType::Html : commandLine.fileType.value_or(settings.defaultFileType);

    // Under the lock the species-literature table stays as it is while the
    // pages are made from it, and the temporary files of pages a killed run
    // left in the output folder can go.
    DatabaseLock lock;
    if (!lock.acquire(error))
        return false;
    removeLeftoverTemporariesIn(options.outputDirectory, [](std::string_view name) {
        return name.ends_with(".html") || name.ends_with(".hdr") || name.ends_with(".lit") || name == "_text.css";
    });

    NorbekTables tables;
    ImageLists images;
    if (!tables.loadSpecies(settings, error)
        || !images.load(settings.imageLists, options.outputDirectory, tables.species(), error)
        || !tables.loadReferences(settings, error))
        return false;
    LiteratureWriter writer(settings, tables, images, options, out);
    return withLiterature ? writer.writePagesWithLiterature(error) : writer.writePagesWithoutLiterature(error);
}

} // namespace

std::string Norbek::outputDirectory(std::string_view outputPath)
{
    if (outputPath.empty())
        return {};
    // The last character decides; a two-byte character ending in 0x5C is not a separator.
    size_t last = 0;
    for (size_t i = 0; i < outputPath.size(); ++i) {
        last = i;
        if (isCp932LeadByte(static_cast<unsigned char>(outputPath[i])) && i + 1 < outputPath.size())
            ++i;
    }
    char c = outputPath[last];
    bool separator = last + 1 == outputPath.size() && (c == '\\' || c == '/');
    return std::string(outputPath) + (separator ? "" : "/");
}

int Norbek::run(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err)
{
    // Memory that runs out anywhere is reported like any fault.
    try {
        return runNorbek(arguments, in, out, err);
    } catch (const std::bad_alloc&) {
        std::fflush(out);
        printToolError({"", cp932Literal("メモリが足りません.")}, err);
        return 1;
    }
}

int Norbek::runNorbek(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* err)
{
    NorbekCommandLine commandLine = NorbekCommandLine::parse(arguments);
    if (!commandLine.pathFault.empty()) {
        printToolError({"", commandLine.pathFault}, err);
        return 1;
    }
    if (!commandLine.badOption.empty())
        return stopWithUsage(err, cp932Printf(" [%s] %s !\n", commandLine.badOption.c_str(), "parameter error"));
    if (commandLine.naming == NamingMode::None)
        return stopWithUsage(err, "require \"-sci\",\"-alias1\",\"-alias2\" or \"-code\" parameter\n");
    if (commandLine.lists.empty()) {
        if (!confirm("地域指定なし、文献は省略、HTML出力します。Yes / No :", in, out))
            return stopWithUsage(err);
    } else if (!commandLine.outputPath.empty()) {
        const std::string& path = commandLine.outputPath;
        if (!fileExists(path))
            return stopWithUsage(err, cp932Printf("%s   %s !\n", path.c_str(), "no such directory"));
        if (!isDirectory(path))
            return stopWithUsage(err, cp932Printf("%s   %s !\n", path.c_str(), "not directory"));
    } else if (!confirm("カレントディレクトリに出力します。Yes / No :", in, out)) {
        return stopWithUsage(err);
    }

    const std::string iniPath = toolIniPath();
    IniFile ini = IniFile::load(iniPath);
    if (ini.loadResult().status == FileReadStatus::Missing) {
        printCp932(
            err, cp932Printf("\n%s  %s\n", iniPath.c_str(), cp932Literal("初期設定ファイルが見つかりません").c_str()));
        return 1;
    }
    if (!ini.readWhole()) {
        printCp932(err, cp932Printf("\n%s  %s\n", iniPath.c_str(), settingsFileFault(ini).c_str()));
        return 1;
    }
    NorbekSettings settings;
    Cp932Text fault;
    if (!NorbekSettings::read(ini, iniPath, settings, fault)) {
        printCp932(err, fault);
        return 1;
    }

    ToolError error;
    bool written = false;
    try {
        written = writePages(commandLine, settings, out, error);
    } catch (const std::bad_alloc&) {
        error.set("", cp932Literal("メモリが足りません."));
    }
    if (!written) {
        std::fflush(out);
        printToolError(error, err);
        return 1;
    }
    return 0;
}

} // namespace tavik
